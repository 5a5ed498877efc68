// Portable: the text and number rules the environment class builds its values with.
#include "environment/ValueRules.h"

#include <limits>
#include <new>
#include <stdexcept>

#include "platform/WindowsPath.h"

namespace tlv::environment {

std::string trimBlanks(std::string_view text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(' ');
  return std::string(text.substr(first, last - first + 1));
}

std::string replaceNoCase(std::string_view text, std::string_view what, std::string_view with) {
  if (what.empty()) return std::string(text);
  std::string out;
  std::size_t from = 0;
  for (std::size_t at; (at = platform::findNoCase(text, what, from)) != std::string_view::npos;
       from = at + what.size()) {
    out.append(text.substr(from, at - from));
    out.append(with);
  }
  out.append(text.substr(from));
  return out;
}

bool containsNoCase(std::string_view text, std::string_view what) {
  return platform::findNoCase(text, what) != std::string_view::npos;
}

std::optional<std::int32_t> checkedAdd(std::int32_t a, std::int32_t b) {
  std::int32_t result = 0;
  if (__builtin_add_overflow(a, b, &result)) return std::nullopt;
  return result;
}

std::optional<std::int32_t> checkedSubtract(std::int32_t a, std::int32_t b) {
  std::int32_t result = 0;
  if (__builtin_sub_overflow(a, b, &result)) return std::nullopt;
  return result;
}

std::optional<std::int32_t> checkedMultiply(std::int32_t a, std::int32_t b) {
  std::int32_t result = 0;
  if (__builtin_mul_overflow(a, b, &result)) return std::nullopt;
  return result;
}

std::optional<std::int16_t> toInt16(std::int64_t value) {
  if (value < std::numeric_limits<std::int16_t>::min() || value > std::numeric_limits<std::int16_t>::max()) {
    return std::nullopt;
  }
  return static_cast<std::int16_t>(value);
}

logging::RunError runErrorFor(const std::exception& failure) {
  if (dynamic_cast<const std::bad_alloc*>(&failure)) return logging::runError(logging::errnum::kOutOfMemory);
  if (dynamic_cast<const std::overflow_error*>(&failure)) return logging::runError(logging::errnum::kOverflow);
  if (dynamic_cast<const std::out_of_range*>(&failure)) return logging::runError(9);  // subscript out of range
  return logging::runError(logging::errnum::kInvalidCall);
}

}  // namespace tlv::environment
