// Fuzz support: an input read as lines of text, each line one field of the call under test,
// so that seeds stay readable and the fuzzer can grow any field on its own.
#pragma once

#include <algorithm>
#include <charconv>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tlv::fuzz {

/// The input's fields: the text between LF characters (a field may hold CR, NUL and any
/// byte). Fields beyond the last line are empty.
inline std::vector<std::string> fieldsOf(const std::uint8_t* data, std::size_t size, std::size_t count) {
  std::vector<std::string> fields(count);
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  std::size_t from = 0;
  for (std::size_t i = 0; i < count && from <= input.size(); ++i) {
    const std::size_t end = std::min(input.find('\n', from), input.size());
    fields[i] = std::string(input.substr(from, end - from));
    from = end + 1;
  }
  return fields;
}

/// The decimal number at the start of a text, wrapped to 32 bits; 0 when there is none.
inline std::int32_t numberOf(std::string_view text) {
  std::int64_t value = 0;
  std::from_chars(text.data(), text.data() + text.size(), value);
  return static_cast<std::int32_t>(value);
}

/// The blank-separated numbers of a text, as many as asked for (missing ones are 0).
inline std::vector<std::int32_t> numbersOf(std::string_view text, std::size_t count) {
  std::vector<std::int32_t> numbers(count);
  std::size_t from = 0;
  for (std::size_t i = 0; i < count && from < text.size(); ++i) {
    const std::size_t end = std::min(text.find(' ', from), text.size());
    numbers[i] = numberOf(text.substr(from, end - from));
    from = end + 1;
  }
  return numbers;
}

}  // namespace tlv::fuzz
