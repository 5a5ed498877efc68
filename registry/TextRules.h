// Portable: the small text rules the registry class applies in several places.
#pragma once

#include <string_view>

#include "platform/WindowsPath.h"

namespace tlv::registry {

/// The text without leading and trailing spaces (spaces only; tabs and the rest stay).
inline std::string_view trimSpaces(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

/// True when the text starts with the prefix, without regard to ASCII letter case.
inline bool startsWithNoCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && platform::equalsNoCase(text.substr(0, prefix.size()), prefix);
}

/// The value of a hex digit of either case, or -1 for any other character.
inline int hexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  return -1;
}

}  // namespace tlv::registry
