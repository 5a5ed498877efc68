// Sim only: a simulated machine's system information.
#include "platform/sim/SimSystemInfo.h"

#include "platform/WindowsPath.h"

namespace tlv::platform::sim {

namespace {
constexpr std::size_t kServicePackField = 128;
constexpr Win32Error kBufferOverflow = 111;  // ERROR_BUFFER_OVERFLOW
constexpr Win32Error kProcNotFound = 127;    // ERROR_PROC_NOT_FOUND
constexpr std::uint32_t kProductProfessional = 0x30;
constexpr std::uint64_t kGiB = 1ull << 30;
}  // namespace

SimSystemInfo::SimSystemInfo(SimFaults& faults)
    : faults_(faults),
      version_{6, 1, 7601, 2, "Service Pack 1"},
      versionEx_{6, 1, 1, 0, 0x0100, product::kWorkstation},
      productType_(kProductProfessional),
      memory_{kGiB, kGiB / 2},
      memoryEx_{kGiB, kGiB / 2} {
  metrics_[metric::kMonitorCount] = 1;
}

Result<OsVersionInfo> SimSystemInfo::versionInfo() {
  OsVersionInfo answer = version_;
  if (answer.servicePack.size() < kServicePackField) {
    answer.servicePack += '\0';
    answer.servicePack.resize(kServicePackField, ' ');
  }
  answer.servicePack.resize(kServicePackField);
  return faults_.answer(Call::SysinfoVersionInfo, std::move(answer));
}

Result<std::uint32_t> SimSystemInfo::productInfo(std::uint32_t, std::uint32_t, std::uint32_t, std::uint32_t) {
  using R = Result<std::uint32_t>;
  if (Win32Error e = faults_.enter(Call::SysinfoProductInfo)) return R::failure(e);
  if (productType_ == 0) return R::failure(err::kInvalidParameter);
  return R::success(productType_);
}

Result<std::string> SimSystemInfo::computerName(std::uint32_t bufferLength) {
  using R = Result<std::string>;
  if (Win32Error e = faults_.enter(Call::SysinfoComputerName)) return R::failure(e);
  if (computerName_.size() + 1 > bufferLength) return R::failure(kBufferOverflow);
  return R::success(computerName_);
}

Result<NetworkUserName> SimSystemInfo::networkUserName(std::uint32_t bufferLength) {
  using R = Result<NetworkUserName>;
  if (Win32Error e = faults_.enter(Call::SysinfoNetworkUserName)) return R::failure(e);
  const auto needed = static_cast<std::uint32_t>(userName_.size() + 1);  // with its terminating NUL
  if (needed > bufferLength) return R{NetworkUserName{{}, needed}, err::kMoreData};
  return R::success(NetworkUserName{userName_, 0});
}

Result<std::int32_t> SimSystemInfo::systemMetric(std::int32_t index) {
  const auto it = metrics_.find(index);
  return faults_.answer(Call::SysinfoSystemMetric, it == metrics_.end() ? 0 : it->second);
}

std::uintptr_t SimSystemInfo::moduleHandle(const std::string& name) {
  if (faults_.enter(Call::SysinfoModuleHandle)) return 0;
  const bool kernel = equalsNoCase(name, "kernel32") || equalsNoCase(name, "kernel32.dll");
  return kernel ? kKernel32 : 0;
}

std::uintptr_t SimSystemInfo::procAddress(std::uintptr_t module, const std::string& name) {
  if (faults_.enter(Call::SysinfoProcAddress)) return 0;
  return module == kKernel32 && name == "IsWow64Process" ? wow64Entry_ : 0;
}

Result<bool> SimSystemInfo::isWow64Process(std::uintptr_t entry) {
  using R = Result<bool>;
  if (Win32Error e = faults_.enter(Call::SysinfoIsWow64Process)) return R::failure(e);
  if (entry == 0 || entry != wow64Entry_) return R::failure(kProcNotFound);
  return R::success(wow64_);
}

}  // namespace tlv::platform::sim
