// Portable: the text and number rules the environment class builds its values with.
#pragma once

#include <cstdint>
#include <exception>
#include <optional>
#include <string>
#include <string_view>

#include "logging/RunError.h"

namespace tlv::environment {

/// The text without leading and trailing blanks (spaces only; tabs and NULs stay).
std::string trimBlanks(std::string_view text);
/// Every occurrence of what, matched without regard to case, replaced by with.
std::string replaceNoCase(std::string_view text, std::string_view what, std::string_view with);
/// True when what occurs in text, matched without regard to case.
bool containsNoCase(std::string_view text, std::string_view what);

/// 32-bit signed arithmetic that reports an overflow as an empty result.
std::optional<std::int32_t> checkedAdd(std::int32_t a, std::int32_t b);
std::optional<std::int32_t> checkedSubtract(std::int32_t a, std::int32_t b);
std::optional<std::int32_t> checkedMultiply(std::int32_t a, std::int32_t b);
/// The value as a 16-bit signed number, or empty when it does not fit.
std::optional<std::int16_t> toInt16(std::int64_t value);

/// The run-time error that a step failing with this exception raises: out of memory for an
/// allocation failure, overflow and subscript errors for their kinds, else an invalid call.
logging::RunError runErrorFor(const std::exception& failure);

}  // namespace tlv::environment
