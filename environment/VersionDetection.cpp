// Portable: the version snapshot of jclass_WinEnviron, its properties and the version
// predicates, each of which asks the platform afresh.
#include <cctype>
#include <charconv>
#include <optional>
#include <string_view>

#include "environment/ValueRules.h"
#include "environment/jclass_WinEnviron.h"
#include "logging/ErrorForms.h"

namespace tlv::environment {

namespace {

constexpr char kModule[] = "jclass_WinEnvir";

// The 16-bit integer value of a short text such as "13" or "7"; empty when it is none.
std::optional<std::int16_t> shortIntegerOf(std::string_view text) {
  std::int16_t value = 0;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value);
  if (error != std::errc{} || end != text.data() + text.size()) return std::nullopt;
  return value;
}

}  // namespace

std::string jclass_WinEnviron::Title() {
  if (Title_.empty()) Title_ = DetectWindowsVersion();
  return Title_;
}

std::string jclass_WinEnviron::VersionNumberString() {
  if (VersionNumberString_.empty()) DetectWindowsVersion();
  return VersionNumberString_;
}

std::int16_t jclass_WinEnviron::intOS() {
  // 0 is both "no snapshot yet" and Windows 95's code, so Windows 95 asks at every read.
  if (intOS_ == 0) DetectWindowsVersion();
  return intOS_;
}

bool jclass_WinEnviron::isSmallBusiness() {
  if (VersionNumberString_.empty()) DetectWindowsVersion();
  return isSmallBusiness_;
}

bool jclass_WinEnviron::isHomeVersion() {
  if (VersionNumberString_.empty()) DetectWindowsVersion();
  return isHomeVersion_;
}

bool jclass_WinEnviron::isDomainController() {
  if (VersionNumberString_.empty()) DetectWindowsVersion();
  return isDomainController_;
}

bool jclass_WinEnviron::isServer() {
  if (VersionNumberString_.empty()) DetectWindowsVersion();
  return isServer_;
}

bool jclass_WinEnviron::isTerminalServer() {
  if (VersionNumberString_.empty()) DetectWindowsVersion();
  return isTerminalServer_;
}

std::int16_t jclass_WinEnviron::SuiteMask() {
  if (VersionNumberString_.empty()) DetectWindowsVersion();
  return SuiteMask_;
}

std::string jclass_WinEnviron::WinProductType() {
  if (VersionNumberString_.empty()) DetectWindowsVersion();
  return WinProductType_;
}

std::string jclass_WinEnviron::DetectWindowsVersion() {
  // A refused query leaves every number 0, which names an unrecognised platform.
  const platform::OsVersionInfo version = platform_.systemInfo.versionInfo().value;
  const std::string servicePack = TrimNonPrintable(version.servicePack);
  const std::string name = NameText(version, servicePack);

  // The name text starts with the family code, one or two characters.
  if (name.empty()) {
    Title_.clear();
  } else {
    const std::size_t codeLength = name.size() >= 2 && std::isdigit(static_cast<unsigned char>(name[1])) ? 2 : 1;
    if (const auto code = shortIntegerOf(std::string_view(name).substr(0, codeLength))) intOS_ = *code;
    Title_ = trimBlanks(std::string_view(name).substr(codeLength));
  }
  VersionNumberString_ = std::to_string(version.majorVersion) + "." + std::to_string(version.minorVersion) + "." +
                         std::to_string(version.buildNumber);

  isTerminalServer_ = IsTerminalSuite();
  isDomainController_ = IsDomainControllerProduct();
  isSmallBusiness_ = IsSmallBusinessSuite();
  isHomeVersion_ = isServer_ ? IsHomeServer() : !IsProfessional();
  SuiteMask_ = ReadSuiteMask();
  return Title_;
}

std::string jclass_WinEnviron::TrimNonPrintable(const std::string& text) {
  // The service-pack field comes back as the text, a NUL and filler; only that tail goes,
  // control characters inside the text stay.
  std::string working = trimBlanks(text);
  while (!working.empty()) {
    const auto last = static_cast<unsigned char>(working.back());
    if (last > 32 && last <= 126) break;
    working.pop_back();
    working = trimBlanks(working);
  }
  return working;
}

bool jclass_WinEnviron::IsServerProduct() {
  const auto version = platform_.systemInfo.versionInfoEx();
  return version.ok() && version.value.productType == platform::product::kServer;
}

bool jclass_WinEnviron::IsWorkstation() {
  if (IsServerProduct()) return false;
  const auto version = platform_.systemInfo.versionInfoEx();
  return version.ok() && (version.value.productType & 1) != 0;
}

bool jclass_WinEnviron::IsDomainControllerProduct() {
  const auto version = platform_.systemInfo.versionInfoEx();
  return version.ok() && version.value.productType == platform::product::kDomainController;
}

bool jclass_WinEnviron::IsEnterpriseServer() {
  const auto version = platform_.systemInfo.versionInfoEx();
  return version.ok() && version.value.productType == platform::product::kServer &&
         (version.value.suiteMask & platform::suite::kEnterprise) != 0;
}

bool jclass_WinEnviron::IsHomeServer() {
  const auto version = platform_.systemInfo.versionInfoEx();
  return version.ok() && version.value.productType == platform::product::kServer &&
         (version.value.suiteMask & platform::suite::kHomeServer) != 0;
}

bool jclass_WinEnviron::IsProfessional() {
  const auto version = platform_.systemInfo.versionInfoEx();
  return version.ok() && (version.value.suiteMask & platform::suite::kPersonal) == 0;
}

bool jclass_WinEnviron::IsTerminalSuite() {
  const auto version = platform_.systemInfo.versionInfoEx();
  return version.ok() && (version.value.suiteMask & platform::suite::kTerminal) != 0;
}

bool jclass_WinEnviron::IsSmallBusinessSuite() {
  const auto version = platform_.systemInfo.versionInfoEx();
  return version.ok() && (version.value.suiteMask & platform::suite::kSmallBusiness) != 0;
}

std::int16_t jclass_WinEnviron::ReadSuiteMask() {
  const auto version = platform_.systemInfo.versionInfoEx();
  return version.ok() ? static_cast<std::int16_t>(version.value.suiteMask) : 0;
}

std::string jclass_WinEnviron::ProductTypeText() {
  const auto version = platform_.systemInfo.versionInfoEx();
  if (!version.ok()) return {};
  const auto type = platform_.systemInfo.productInfo(version.value.majorVersion, version.value.minorVersion,
                                                     version.value.servicePackMajor, version.value.servicePackMinor);
  if (!type.ok()) return {};
  constexpr std::int16_t kStandardServer = 7, kEnterpriseServer = 10, kServerFoundation = 33;
  switch (const auto low = static_cast<std::int16_t>(type.value & 0xFFFF)) {
    case kStandardServer:
    case kEnterpriseServer:
      return {};
    case kServerFoundation:
      return " Foundation";
    default:
      return " [" + std::to_string(low) + "]";
  }
}

std::string jclass_WinEnviron::jFunc_Is2003R2() {
  logging::CaptureAndContinue guard(kModule, "jFunc_Is2003R2");
  std::string result;
  const auto r2 = platform_.systemInfo.systemMetric(platform::metric::kServerR2);
  if (!r2.ok()) {
    guard.fail(logging::runError(logging::errnum::kInvalidCall));
  } else if (r2.value != 0) {
    result = " R2";
  }
  return result;
}

}  // namespace tlv::environment
