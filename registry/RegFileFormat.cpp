// Portable: reading REGEDIT4 .reg text line by line.
#include "registry/RegFileFormat.h"

#include <optional>

#include "platform/WindowsPath.h"
#include "registry/TextRules.h"

namespace tlv::registry::regfile {

namespace {

// The hex number at the start of the text, read up to its first non-digit (no digit gives 0);
// nullopt when it does not fit in 32 bits.
std::optional<std::int32_t> leadingHexNumber(std::string_view text) {
  std::uint64_t value = 0;
  for (char c : text) {
    const int digit = hexDigitValue(c);
    if (digit < 0) break;
    value = value * 16 + static_cast<std::uint64_t>(digit);
    if (value > 0xFFFFFFFFu) return std::nullopt;
  }
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
}

RegLine keyLine(std::string_view cleaned) {
  RegLine line;
  if (cleaned.size() < 2) {
    line.kind = LineKind::Malformed;  // "[" alone names no path at all
    return line;
  }
  std::string_view path = cleaned.substr(1, cleaned.size() - 2);
  line.kind = LineKind::KeyBlock;
  if (!path.empty() && path.front() == '-') {
    line.kind = LineKind::KeyDeletion;
    path.remove_prefix(1);
  }
  line.path = std::string(path);
  return line;
}

RegLine valueLine(std::string_view cleaned, std::size_t equals) {
  RegLine line;
  line.name = std::string(cleaned.substr(0, equals));
  const std::string_view data = cleaned.substr(equals + 1);
  if (trimSpaces(data) == "-") {
    line.kind = LineKind::ValueDeletion;
  } else if (startsWithNoCase(data, "hex:")) {
    line.kind = LineKind::Binary;
    line.data = std::string(data.substr(4));
    for (char& c : line.data) {
      if (c == ',') c = ' ';
    }
  } else if (startsWithNoCase(data, "dword:")) {
    const auto number = leadingHexNumber(data.substr(6));
    line.kind = number ? LineKind::Dword : LineKind::Malformed;
    line.number = number.value_or(0);
  } else {
    line.kind = LineKind::String;
    line.data = std::string(data);
  }
  return line;
}

}  // namespace

std::vector<std::string_view> splitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  std::size_t start = 0;
  for (std::size_t end; (end = text.find("\r\n", start)) != std::string_view::npos; start = end + 2) {
    lines.push_back(text.substr(start, end - start));
  }
  lines.push_back(text.substr(start));
  return lines;
}

bool isHeader(std::string_view line) { return platform::upperCase(line) == kHeader; }

std::string cleanLine(std::string_view line) {
  std::string cleaned;
  for (char c : trimSpaces(line)) {
    if (c != '"') cleaned += c;
  }
  return cleaned;
}

RegLine parseLine(std::string_view cleaned) {
  if (cleaned.empty() || cleaned.front() == ';') return RegLine{};
  if (cleaned.front() == '[') return keyLine(cleaned);
  const std::size_t equals = cleaned.find('=');
  if (equals == std::string_view::npos) return RegLine{};
  return valueLine(cleaned, equals);
}

}  // namespace tlv::registry::regfile
