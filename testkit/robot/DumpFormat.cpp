// Portable: writing and reading the robot's output lines.
#include "testkit/robot/DumpFormat.h"

#include <charconv>
#include <cstdio>

namespace tlv::tools::robot {

namespace {

bool isKeyChar(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' || c == '_';
}

int hexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

// Reads a quoted text starting at line[pos] == '"'; leaves pos after the closing quote.
std::optional<std::string> readQuoted(std::string_view line, std::size_t& pos) {
  std::string out;
  for (++pos; pos < line.size(); ++pos) {
    const char c = line[pos];
    if (c == '"') {
      ++pos;
      return out;
    }
    if (c != '\\') {
      out += c;
      continue;
    }
    if (++pos >= line.size()) return std::nullopt;
    switch (line[pos]) {
      case '\\': out += '\\'; break;
      case '"': out += '"'; break;
      case 'r': out += '\r'; break;
      case 'n': out += '\n'; break;
      case 't': out += '\t'; break;
      case 'x': {
        if (pos + 2 >= line.size()) return std::nullopt;
        const int high = hexDigit(line[pos + 1]);
        const int low = hexDigit(line[pos + 2]);
        if (high < 0 || low < 0) return std::nullopt;
        out += static_cast<char>(high * 16 + low);
        pos += 2;
        break;
      }
      default: return std::nullopt;
    }
  }
  return std::nullopt;  // no closing quote
}

}  // namespace

std::string quoteText(std::string_view text) {
  std::string out = "\"";
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '\\': out += "\\\\"; break;
      case '"': out += "\\\""; break;
      case '\r': out += "\\r"; break;
      case '\n': out += "\\n"; break;
      case '\t': out += "\\t"; break;
      default:
        if (byte < 0x20 || byte == 0x7F) {
          char escaped[5];
          std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
          out += escaped;
        } else {
          out += c;
        }
    }
  }
  return out + "\"";
}

DumpLine& DumpLine::number(std::string key, std::int64_t value) {
  fields_.push_back({std::move(key), std::to_string(value), false});
  return *this;
}

DumpLine& DumpLine::hex(std::string key, std::uint32_t value) {
  char digits[11];
  std::snprintf(digits, sizeof digits, "0x%08X", static_cast<unsigned>(value));
  fields_.push_back({std::move(key), digits, false});
  return *this;
}

DumpLine& DumpLine::text(std::string key, std::string_view value) {
  fields_.push_back({std::move(key), std::string(value), true});
  return *this;
}

std::optional<std::string> DumpLine::field(std::string_view key) const {
  for (const auto& f : fields_) {
    if (f.key == key) return f.value;
  }
  return std::nullopt;
}

std::optional<std::int64_t> DumpLine::numberField(std::string_view key) const {
  const auto value = field(key);
  if (!value || value->empty()) return std::nullopt;
  std::string_view digits = *value;
  int base = 10;
  if (digits.size() > 2 && digits[0] == '0' && (digits[1] == 'x' || digits[1] == 'X')) {
    digits.remove_prefix(2);
    base = 16;
  }
  std::int64_t result = 0;
  const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), result, base);
  if (error != std::errc() || end != digits.data() + digits.size()) return std::nullopt;
  return result;
}

std::string DumpLine::format() const {
  std::string out = kind_;
  for (const auto& f : fields_) {
    out += ' ';
    out += f.key;
    out += '=';
    out += f.quoted ? quoteText(f.value) : f.value;
  }
  return out;
}

std::optional<DumpLine> DumpLine::parse(std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
  std::size_t pos = 0;
  while (pos < line.size() && isKeyChar(line[pos])) ++pos;
  if (pos == 0) return std::nullopt;
  DumpLine result{std::string(line.substr(0, pos))};

  while (pos < line.size()) {
    if (line[pos++] != ' ') return std::nullopt;
    const std::size_t keyStart = pos;
    while (pos < line.size() && isKeyChar(line[pos])) ++pos;
    if (pos == keyStart || pos >= line.size() || line[pos] != '=') return std::nullopt;
    Field f{std::string(line.substr(keyStart, pos - keyStart)), {}, false};
    ++pos;
    if (pos < line.size() && line[pos] == '"') {
      auto text = readQuoted(line, pos);
      if (!text) return std::nullopt;
      f.value = std::move(*text);
      f.quoted = true;
    } else {
      const std::size_t valueStart = pos;
      while (pos < line.size() && line[pos] != ' ') ++pos;
      f.value = std::string(line.substr(valueStart, pos - valueStart));
    }
    result.fields_.push_back(std::move(f));
  }
  return result;
}

}  // namespace tlv::tools::robot
