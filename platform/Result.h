// Portable: error values at the platform boundary. No exception crosses into or out of a port.
#pragma once

#include <cstdint>
#include <utility>

namespace tlv::platform {

/// A Win32 error code as GetLastError() or the registry calls report it; 0 is success.
using Win32Error = std::uint32_t;

/// The Win32 error codes that portable code and the sim platform name.
namespace err {
inline constexpr Win32Error kSuccess = 0;
inline constexpr Win32Error kFileNotFound = 2;
inline constexpr Win32Error kPathNotFound = 3;
inline constexpr Win32Error kAccessDenied = 5;
inline constexpr Win32Error kInvalidHandle = 6;
inline constexpr Win32Error kNotEnoughMemory = 8;
inline constexpr Win32Error kInvalidData = 13;
inline constexpr Win32Error kWriteProtect = 19;
inline constexpr Win32Error kNotReady = 21;
inline constexpr Win32Error kWriteFault = 29;
/// ERROR_GEN_FAILURE: a device (here a hash library) did not do what it was asked.
inline constexpr Win32Error kGenFailure = 31;
inline constexpr Win32Error kSharingViolation = 32;
inline constexpr Win32Error kNotSupported = 50;
inline constexpr Win32Error kHandleDiskFull = 39;
inline constexpr Win32Error kFileExists = 80;
inline constexpr Win32Error kInvalidParameter = 87;
inline constexpr Win32Error kDiskFull = 112;
inline constexpr Win32Error kCallNotImplemented = 120;
inline constexpr Win32Error kInvalidLevel = 124;
inline constexpr Win32Error kInvalidName = 123;
inline constexpr Win32Error kAlreadyExists = 183;
inline constexpr Win32Error kMoreData = 234;
inline constexpr Win32Error kNoMoreItems = 259;
inline constexpr Win32Error kDirectory = 267;
inline constexpr Win32Error kResourceTypeNotFound = 1813;
inline constexpr Win32Error kServiceDoesNotExist = 1060;
inline constexpr Win32Error kCancelled = 1223;
/// The program's own (bit 29: defined by an application): an event source's message file is
/// not registered, since the program lies in a folder that others than administrators may change.
inline constexpr Win32Error kMessageFileUnprotected = 0x20000001;
}  // namespace err

/// A value or the Win32 error that prevented it.
template <class T>
struct [[nodiscard]] Result {
  T value{};
  Win32Error error = err::kSuccess;

  static Result success(T v) { return Result{std::move(v), err::kSuccess}; }
  static Result failure(Win32Error e) {
    Result failed;
    failed.error = e;
    return failed;
  }

  bool ok() const { return error == err::kSuccess; }
  explicit operator bool() const { return ok(); }
};

}  // namespace tlv::platform
