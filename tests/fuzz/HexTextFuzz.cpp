// Fuzz target: the hex text conversions over any input, with their round trips checked.
#include <cstddef>
#include <cstdint>
#include <string>

#include "registry/HexText.h"

namespace {

bool isHexDigit(char c) { return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }

char upper(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tlv::registry;
  const std::string input(reinterpret_cast<const char*>(data), size);

  // Bytes to text and back give the bytes; the text has three characters per byte.
  const std::string text = bytesToHex(input);
  if (text.size() != 3 * input.size() || hexToBytes(text) != input) __builtin_trap();

  // Text to bytes: one byte per two digits, an odd last digit making one of its own.
  const std::string digits = withoutSpaces(input);
  const std::string bytes = hexToBytes(input);
  if (bytes.size() != (digits.size() + 1) / 2) __builtin_trap();

  // Valid text of an even digit count comes back as its pairs in upper case.
  bool allHex = !digits.empty();
  for (char c : digits) allHex = allHex && isHexDigit(c);
  if (isHexText(input) != allHex) __builtin_trap();
  if (allHex && digits.size() % 2 == 0) {
    std::string pairs;
    for (std::size_t i = 0; i < digits.size(); i += 2)
      pairs += std::string(" ") + upper(digits[i]) + upper(digits[i + 1]);
    if (bytesToHex(bytes) != pairs) __builtin_trap();
  }
  return 0;
}
