// Portable: the system-information port: Windows version, product, processor, memory,
// machine and user names, system metrics and the WOW64 question.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Result.h"

namespace tlv::platform {

/// The plain version record (OSVERSIONINFOA) as far as the program reads it.
struct OsVersionInfo {
  std::int32_t majorVersion = 0;
  std::int32_t minorVersion = 0;
  std::int32_t buildNumber = 0;
  std::int32_t platformId = 0;
  /// The whole 128-character service-pack field: the text, its terminating NUL and whatever
  /// stood behind it (blanks where the call wrote nothing).
  std::string servicePack;
};

/// The extended version record (OSVERSIONINFOEXA) as far as the program reads it.
struct OsVersionInfoEx {
  std::uint32_t majorVersion = 0;
  std::uint32_t minorVersion = 0;
  std::uint16_t servicePackMajor = 0;
  std::uint16_t servicePackMinor = 0;
  std::uint16_t suiteMask = 0;
  std::uint8_t productType = 0;
};

/// The memory-status record of GlobalMemoryStatus (MEMORYSTATUS): byte counts of the
/// program's SIZE_T, which is 32 bits in the x86 edition and 64 bits in the x64 one. Windows
/// caps or wraps the x86 edition's counts itself; reducedTo32Bits gives the x64 edition's the
/// same shape.
struct MemoryStatus {
  std::uint64_t totalPhys = 0;
  std::uint64_t availPhys = 0;
};

/// A GlobalMemoryStatus byte count as the 32-bit record holds it. A count beyond 32 bits
/// reads as 0xFFFFFFFF, the value Windows gives a 32-bit program on a machine with more than
/// 4 GiB ("-1 to indicate an overflow"): read as a signed number it is negative, so the
/// program asks the 64-bit record instead of trusting a count cut to its low 32 bits.
constexpr std::uint32_t reducedTo32Bits(std::uint64_t bytes) {
  return bytes > 0xFFFFFFFFull ? 0xFFFFFFFFu : static_cast<std::uint32_t>(bytes);
}

/// The 64-bit memory-status record (MEMORYSTATUSEX).
struct MemoryStatusEx {
  std::uint64_t totalPhys = 0;
  std::uint64_t availPhys = 0;
};

/// A network user name, or when the caller's buffer was too small (ERROR_MORE_DATA) the
/// buffer length in characters that the name needs.
struct NetworkUserName {
  std::string name;
  std::uint32_t requiredLength = 0;
};

/// Product types of the extended version record.
namespace product {
inline constexpr std::uint8_t kWorkstation = 1;
inline constexpr std::uint8_t kDomainController = 2;
inline constexpr std::uint8_t kServer = 3;
}  // namespace product

/// Suite-mask bits of the extended version record.
namespace suite {
inline constexpr std::uint16_t kSmallBusiness = 0x0001;
inline constexpr std::uint16_t kEnterprise = 0x0002;
inline constexpr std::uint16_t kTerminal = 0x0010;
inline constexpr std::uint16_t kPersonal = 0x0200;
inline constexpr std::uint16_t kHomeServer = 0x8000;
}  // namespace suite

/// System-metric indexes (GetSystemMetrics).
namespace metric {
inline constexpr std::int32_t kMonitorCount = 80;       // SM_CMONITORS
inline constexpr std::int32_t kServerR2 = 89;           // SM_SERVERR2
inline constexpr std::int32_t kShuttingDown = 0x2000;   // SM_SHUTTINGDOWN
inline constexpr std::int32_t kRemoteControl = 0x2001;  // SM_REMOTECONTROL
}  // namespace metric

class SystemInfo {
 public:
  virtual ~SystemInfo() = default;

  /// GetVersionExA with the plain record.
  [[nodiscard]] virtual Result<OsVersionInfo> versionInfo() = 0;
  /// GetVersionExA with the extended record; an error when the system refuses it.
  [[nodiscard]] virtual Result<OsVersionInfoEx> versionInfoEx() = 0;
  /// GetProductInfo: the product type for a version and service pack; an error when the
  /// call returns 0 or the system lacks it.
  [[nodiscard]] virtual Result<std::uint32_t> productInfo(std::uint32_t major, std::uint32_t minor, std::uint32_t servicePackMajor,
                                            std::uint32_t servicePackMinor) = 0;
  /// GetSystemInfo: the processor-architecture field.
  [[nodiscard]] virtual Result<std::uint16_t> processorArchitecture() = 0;
  /// GlobalMemoryStatus.
  [[nodiscard]] virtual Result<MemoryStatus> memoryStatus() = 0;
  /// GlobalMemoryStatusEx.
  [[nodiscard]] virtual Result<MemoryStatusEx> memoryStatusEx() = 0;
  /// GetComputerNameA with a buffer of bufferLength characters.
  [[nodiscard]] virtual Result<std::string> computerName(std::uint32_t bufferLength) = 0;
  /// WNetGetUserA for the logged-on user with a buffer of bufferLength characters. A buffer
  /// that is too small gives err::kMoreData with the needed length in requiredLength.
  [[nodiscard]] virtual Result<NetworkUserName> networkUserName(std::uint32_t bufferLength) = 0;
  /// GetSystemMetrics; the platform's 0 for a metric it does not know.
  [[nodiscard]] virtual Result<std::int32_t> systemMetric(std::int32_t index) = 0;
  /// GetModuleHandleA: the module's handle as a number, 0 when it is not loaded.
  virtual std::uintptr_t moduleHandle(const std::string& name) = 0;
  /// GetProcAddress: the entry's address as a number, 0 when the module has no such entry.
  virtual std::uintptr_t procAddress(std::uintptr_t module, const std::string& name) = 0;
  /// IsWow64Process for the current process, called through an entry that procAddress found.
  [[nodiscard]] virtual Result<bool> isWow64Process(std::uintptr_t entry) = 0;
  /// GetSystemWindowsDirectoryA: the system's own Windows folder, whatever the environment's
  /// WinDir says; no trailing backslash.
  [[nodiscard]] virtual Result<std::string> windowsFolder() = 0;
  /// GetSystemDirectoryA: the system folder of Windows; no trailing backslash.
  [[nodiscard]] virtual Result<std::string> systemFolder() = 0;
  /// The SID of the account the program runs as ("S-1-5-18"); empty when it cannot be read.
  virtual std::string runningAccount() = 0;
  /// The system's text for an error code, then " (error N)".
  virtual std::string errorText(Win32Error error) = 0;
};

}  // namespace tlv::platform
