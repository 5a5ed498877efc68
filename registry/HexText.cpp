// Portable: hex text conversions, and the class members that offer them.
#include "registry/HexText.h"

#include "registry/TextRules.h"
#include "registry/clsRegistryAccess.h"

namespace tlv::registry {

namespace {

constexpr char kUpperDigits[] = "0123456789ABCDEF";

// A piece of one or two characters read as a hex number up to its first non-digit.
char pieceValue(std::string_view piece) {
  int value = 0;
  for (char c : piece) {
    const int digit = hexDigitValue(c);
    if (digit < 0) break;
    value = value * 16 + digit;
  }
  return static_cast<char>(value);
}

}  // namespace

std::string withoutSpaces(std::string_view text) {
  std::string kept;
  kept.reserve(text.size());
  for (char c : text) {
    if (c != ' ') kept += c;
  }
  return kept;
}

std::string hexToBytes(std::string_view hexText) {
  const std::string digits = withoutSpaces(hexText);
  std::string bytes;
  bytes.reserve(digits.size() / 2 + 1);
  for (std::size_t at = 0; at < digits.size(); at += 2) {
    bytes += pieceValue(std::string_view(digits).substr(at, 2));
  }
  return bytes;
}

std::string bytesToHex(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size() * 3);
  for (char c : bytes) {
    const auto byte = static_cast<unsigned char>(c);
    text += ' ';
    text += kUpperDigits[byte >> 4];
    text += kUpperDigits[byte & 0x0F];
  }
  return text;
}

bool isHexText(std::string_view hexText) {
  const std::string digits = withoutSpaces(hexText);
  if (digits.empty()) return false;
  for (char c : digits) {
    if (hexDigitValue(c) < 0) return false;
  }
  return true;
}

std::string clsRegistryAccess::StrToBin(std::string& sBin) {
  sBin = withoutSpaces(sBin);
  return hexToBytes(sBin);
}

std::string clsRegistryAccess::BinToStr(const std::string& sStr) { return bytesToHex(sStr); }

bool clsRegistryAccess::isBinValid(const std::string& sBin) { return isHexText(sBin); }

}  // namespace tlv::registry
