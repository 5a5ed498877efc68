// Portable: machine and user names and the memory figures of jclass_WinEnviron.
#include "environment/ValueRules.h"
#include "environment/jclass_WinEnviron.h"
#include "platform/WindowsPath.h"

namespace tlv::environment {

namespace {

// Both memory figures are byte counts in this unit, about 1.00536 GiB, kept as the
// program has always reported them.
constexpr double kMemoryUnit = 1079491712.2649374;
// A 32-bit total beyond this many units may be capped or wrapped: ask the 64-bit record.
constexpr float kLargestTrusted32BitTotal = 1.8f;
// Byte counts beyond this cannot be converted exactly; such a figure is left as it was.
constexpr std::uint64_t kLargestConvertibleBytes = 922337203685477ull;

constexpr std::uint32_t kComputerNameBuffer = 255;
constexpr std::uint32_t kUserNameBuffer = 25;
// A name can grow between two questions; a few rounds of asking with the size the
// platform names are plenty.
constexpr int kUserNameRounds = 3;

}  // namespace

std::string jclass_WinEnviron::ComputerName() {
  if (ComputerName_.empty()) ComputerName_ = ReadComputerName();
  return ComputerName_;
}

std::string jclass_WinEnviron::UserName() {
  if (UserName_.empty()) UserName_ = ReadUserName();
  return UserName_;
}

std::string jclass_WinEnviron::DomainName() {
  if (DomainName_.empty()) DiscoverSpecialFolders();
  return DomainName_;
}

float jclass_WinEnviron::RAMTOTAL() {
  if (RAMTOTAL_ == 0) ReadMemoryStatus();
  return RAMTOTAL_;
}

float jclass_WinEnviron::RAMFREE() {
  if (RAMFREE_ == 0) ReadMemoryStatus();
  return RAMFREE_;
}

std::string jclass_WinEnviron::ReadComputerName() {
  const std::string name = platform::upperCase(platform_.systemInfo.computerName(kComputerNameBuffer).value);
  return trimBlanks(name).empty() ? "UNKNOWN" : name;
}

std::string jclass_WinEnviron::ReadUserName() {
  // A name longer than the first buffer is asked for again with the length the platform
  // says it needs, so long names are not lost.
  std::uint32_t bufferLength = kUserNameBuffer;
  std::string name;
  for (int round = 0; round < kUserNameRounds; ++round) {
    const auto answer = platform_.systemInfo.networkUserName(bufferLength);
    if (answer.ok()) {
      name = answer.value.name;
      break;
    }
    if (answer.error != platform::err::kMoreData || answer.value.requiredLength <= bufferLength) break;
    bufferLength = answer.value.requiredLength;
  }
  if (const std::size_t nul = name.find('\0'); nul != std::string::npos) name.resize(nul);
  return trimBlanks(name).empty() ? "UNKNOWN" : name;
}

void jclass_WinEnviron::ReadMemoryStatus() {
  // A refused query leaves the record as the last query filled it.
  if (const auto status = platform_.systemInfo.memoryStatus(); status.ok()) memoryStatus_ = status.value;
  RAMTOTAL_ = static_cast<float>(static_cast<std::int32_t>(platform::reducedTo32Bits(memoryStatus_.totalPhys)) / kMemoryUnit);
  RAMFREE_ = static_cast<float>(static_cast<std::int32_t>(platform::reducedTo32Bits(memoryStatus_.availPhys)) / kMemoryUnit);
  if (RAMTOTAL_ >= 0 && RAMTOTAL_ <= kLargestTrusted32BitTotal) return;
  ReadMemoryStatusEx(RAMTOTAL_, RAMFREE_);
}

void jclass_WinEnviron::ReadMemoryStatusEx(float& total, float& free) {
  if (const auto status = platform_.systemInfo.memoryStatusEx(); status.ok()) memoryStatusEx_ = status.value;
  if (memoryStatusEx_.totalPhys <= kLargestConvertibleBytes) {
    total = static_cast<float>(static_cast<double>(memoryStatusEx_.totalPhys) / kMemoryUnit);
  }
  if (memoryStatusEx_.availPhys <= kLargestConvertibleBytes) {
    free = static_cast<float>(static_cast<double>(memoryStatusEx_.availPhys) / kMemoryUnit);
  }
}

}  // namespace tlv::environment
