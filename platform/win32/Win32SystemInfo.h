// Win32 only: the system-information port over kernel32, user32 and mpr.
#pragma once

#include "platform/SystemInfo.h"

namespace tlv::platform::win32 {

class Win32SystemInfo final : public SystemInfo {
 public:
  Result<OsVersionInfo> versionInfo() override;
  Result<OsVersionInfoEx> versionInfoEx() override;
  Result<std::uint32_t> productInfo(std::uint32_t major, std::uint32_t minor, std::uint32_t servicePackMajor,
                                    std::uint32_t servicePackMinor) override;
  Result<std::uint16_t> processorArchitecture() override;
  Result<MemoryStatus> memoryStatus() override;
  Result<MemoryStatusEx> memoryStatusEx() override;
  Result<std::string> computerName(std::uint32_t bufferLength) override;
  Result<NetworkUserName> networkUserName(std::uint32_t bufferLength) override;
  Result<std::int32_t> systemMetric(std::int32_t index) override;
  std::uintptr_t moduleHandle(const std::string& name) override;
  std::uintptr_t procAddress(std::uintptr_t module, const std::string& name) override;
  Result<bool> isWow64Process(std::uintptr_t entry) override;
  Result<std::string> windowsFolder() override;
  Result<std::string> systemFolder() override;
  std::string errorText(Win32Error error) override;
};

}  // namespace tlv::platform::win32
