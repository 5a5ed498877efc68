// Portable: the program's run-time errors: a number and description in the classic
// run-time numbering that the log entries carry (53 file not found, 75 path/file access...).
#pragma once

#include <cstdint>
#include <string>

#include "platform/Result.h"

namespace tlv::logging {

/// Source name that run-time errors of the program carry.
inline constexpr char kErrorSource[] = "TlvAsService";

struct RunError {
  std::int32_t number = 0;
  std::string description;
  std::string source = kErrorSource;
};

/// The file operation that failed, which decides how a Win32 error is numbered.
enum class FileOperation { Open, Write, Close, Read, Copy, List, Inspect };

/// The standard description of a run-time error number ("File not found" for 53).
std::string runErrorDescription(std::int32_t number);
/// A run-time error by its number, with the standard description.
RunError runError(std::int32_t number);
/// The run-time error that a failed file operation raises for a Win32 error code.
RunError runErrorForFile(platform::Win32Error error, FileOperation operation);

/// Run-time error numbers the program names.
namespace errnum {
inline constexpr std::int32_t kInvalidCall = 5;
inline constexpr std::int32_t kOverflow = 6;
inline constexpr std::int32_t kOutOfMemory = 7;
inline constexpr std::int32_t kFileNotFound = 53;
inline constexpr std::int32_t kDeviceIo = 57;
inline constexpr std::int32_t kPermissionDenied = 70;
inline constexpr std::int32_t kPathFileAccess = 75;
inline constexpr std::int32_t kPathNotFound = 76;
}  // namespace errnum

}  // namespace tlv::logging
