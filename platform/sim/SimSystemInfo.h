// Sim only: a simulated machine's system information. Every answer but the folders (C:\Windows)
// can be set; every query announces itself to SimFaults as "sysinfo.<call>", so tests can count
// and fail them.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "platform/SystemInfo.h"
#include "platform/sim/SimFaults.h"

namespace tlv::platform::sim {

class SimSystemInfo final : public SystemInfo {
 public:
  /// Starts as a 32-bit Windows 7 Professional SP1 machine with 1 GiB and one monitor.
  explicit SimSystemInfo(SimFaults& faults);

  // Arranging the machine (no faults are injected into these).
  /// The plain record; servicePack is the text the system reports, which the answer carries
  /// as Windows does: the text, a NUL, and the caller's blanks up to 128 characters.
  void setVersion(const OsVersionInfo& version) { version_ = version; }
  void setVersionEx(const OsVersionInfoEx& version) { versionEx_ = version; }
  /// The product type GetProductInfo reports; 0 makes the call fail.
  void setProductType(std::uint32_t type) { productType_ = type; }
  void setProcessorArchitecture(std::uint16_t architecture) { architecture_ = architecture; }
  void setMemoryStatus(const MemoryStatus& status) { memory_ = status; }
  void setMemoryStatusEx(const MemoryStatusEx& status) { memoryEx_ = status; }
  void setComputerName(std::string name) { computerName_ = std::move(name); }
  void setUserName(std::string name) { userName_ = std::move(name); }
  /// A metric that was never set reads 0, as Windows answers for an unknown index.
  void setSystemMetric(std::int32_t index, std::int32_t value) { metrics_[index] = value; }
  /// Where kernel32's IsWow64Process entry lies; 0 for a system without it.
  void setWow64Entry(std::uintptr_t address) { wow64Entry_ = address; }
  void setRunsUnderWow64(bool wow64) { wow64_ = wow64; }

  /// The handle moduleHandle gives for kernel32.
  static constexpr std::uintptr_t kKernel32 = 0x7C800000;

  // SystemInfo
  Result<OsVersionInfo> versionInfo() override;
  Result<OsVersionInfoEx> versionInfoEx() override { return faults_.answer(Call::SysinfoVersionInfoEx, versionEx_); }
  Result<std::uint32_t> productInfo(std::uint32_t major, std::uint32_t minor, std::uint32_t servicePackMajor,
                                    std::uint32_t servicePackMinor) override;
  Result<std::uint16_t> processorArchitecture() override {
    return faults_.answer(Call::SysinfoProcessorArchitecture, architecture_);
  }
  Result<MemoryStatus> memoryStatus() override { return faults_.answer(Call::SysinfoMemoryStatus, memory_); }
  Result<MemoryStatusEx> memoryStatusEx() override { return faults_.answer(Call::SysinfoMemoryStatusEx, memoryEx_); }
  Result<std::string> computerName(std::uint32_t bufferLength) override;
  Result<NetworkUserName> networkUserName(std::uint32_t bufferLength) override;
  Result<std::int32_t> systemMetric(std::int32_t index) override;
  std::uintptr_t moduleHandle(const std::string& name) override;
  std::uintptr_t procAddress(std::uintptr_t module, const std::string& name) override;
  Result<bool> isWow64Process(std::uintptr_t entry) override;
  Result<std::string> windowsFolder() override {
    return faults_.answer<std::string>(Call::SysinfoWindowsFolder, "C:\\Windows");
  }
  Result<std::string> systemFolder() override {
    return faults_.answer<std::string>(Call::SysinfoSystemFolder, "C:\\Windows\\System32");
  }
  std::string runningAccount() override { return "S-1-5-21-1-2-3-500"; }  // the machine's Administrator
  /// Windows' own text of the one error the tests read (5), then " (error N)".
  std::string errorText(Win32Error error) override {
    return (error == err::kAccessDenied ? "Access is denied" : "Unknown error") + std::string(" (error ") +
           std::to_string(error) + ")";
  }

 private:
  SimFaults& faults_;
  OsVersionInfo version_;
  OsVersionInfoEx versionEx_;
  std::uint32_t productType_;
  std::uint16_t architecture_ = 0;
  MemoryStatus memory_;
  MemoryStatusEx memoryEx_;
  std::string computerName_ = "SIMPC";
  std::string userName_ = "user1";
  std::map<std::int32_t, std::int32_t> metrics_;
  std::uintptr_t wow64Entry_ = 0;
  bool wow64_ = false;
};

}  // namespace tlv::platform::sim
