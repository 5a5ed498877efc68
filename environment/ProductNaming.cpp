// Portable: the decision table that names the Windows product. The name text is the family
// code, a blank, the product name, on some rows an edition suffix, and the version numbers
// with the service-pack text; the snapshot splits it into intOS and Title.
#include <optional>

#include "environment/ValueRules.h"
#include "environment/jclass_WinEnviron.h"

namespace tlv::environment {

namespace {

constexpr std::int32_t kWindows9x = 1;
constexpr std::int32_t kWindowsNt = 2;

std::string decimal(std::int32_t value) { return std::to_string(value); }

// The code of a family without a row of its own; empty when computing it overflows, which
// leaves the name text empty.
std::optional<std::int32_t> ntSixMinorCode(std::int32_t minor) { return checkedAdd(16, minor); }

std::optional<std::int32_t> laterNtCode(std::int32_t major, std::int32_t minor) {
  const auto sixBelow = checkedSubtract(major, 6);
  const auto product = sixBelow ? checkedMultiply(major, *sixBelow) : std::nullopt;
  const auto plus21 = product ? checkedAdd(*product, 21) : std::nullopt;
  return plus21 ? checkedAdd(*plus21, minor) : std::nullopt;
}

std::string withCode(const std::optional<std::int32_t>& code, const std::string& rest) {
  return code ? decimal(*code) + rest : std::string{};
}

}  // namespace

std::string jclass_WinEnviron::NameText(const platform::OsVersionInfo& version, const std::string& servicePack) {
  const std::string numbers =
      decimal(version.majorVersion) + "." + decimal(version.minorVersion) + "." + decimal(version.buildNumber);
  const std::string tail = " " + numbers + " " + servicePack;

  if (version.platformId == kWindows9x) {
    switch (version.minorVersion) {
      case 0:
        return "0 Windows 95";
      case 10:
        return "2 Windows 98" + tail;
      case 90:
        return "4 Windows Millennium";
      default:
        return {};
    }
  }
  if (version.platformId == kWindowsNt) {
    switch (version.majorVersion) {
      case 3:
        return "1 Windows NT 3.51";
      case 4:
        return "3 Windows NT 4.0" + tail;
      case 5:
        return NameTextNt5(version, tail);
      default:
        return NameTextNt6OrLater(version, tail);
    }
  }
  return withCode(checkedAdd(version.platformId, version.majorVersion),
                  " New Windows Platform " + decimal(version.platformId) + " Major " + decimal(version.majorVersion) +
                      " minor " + decimal(version.minorVersion) + " Build " + decimal(version.buildNumber) + " " +
                      servicePack);
}

std::string jclass_WinEnviron::NameTextNt5(const platform::OsVersionInfo& version, const std::string& tail) {
  if (version.minorVersion == 0) {  // Windows 2000
    const bool workstation = IsWorkstation();
    std::string suffix = workstation ? " Professional" : " Server";
    if (IsEnterpriseServer()) suffix += "-Advanced";
    if (IsTerminalSuite()) suffix += "-TS enabled";
    if (IsDomainControllerProduct()) suffix += "-Domain";
    isServer_ = !workstation;
    return (IsSmallBusinessSuite() ? "6 Windows 2000 Small Business" : "5 Windows 2000") + suffix + tail;
  }
  if (version.minorVersion == 1) {  // XP
    isServer_ = false;
    return IsProfessional() ? "7 Windows XP Professional" + tail : "7 Windows XP Home" + tail;
  }
  // Server 2003 and its relatives; a 5.2 workstation lands here too.
  std::string suffix = jFunc_Is2003R2();
  if (IsEnterpriseServer()) suffix += "-Enterprise";
  if (IsTerminalSuite()) suffix += "-TS enabled";
  if (IsDomainControllerProduct()) suffix += "-Domain";
  isServer_ = true;
  if (IsSmallBusinessSuite()) return "9 Small Business Server 2003" + suffix + tail;
  if (IsHomeServer()) return "9 Home Server 2003" + suffix + tail;
  return "8 Server 2003" + suffix + tail;
}

std::string jclass_WinEnviron::NameTextNt6OrLater(const platform::OsVersionInfo& version, const std::string& tail) {
  const std::int32_t major = version.majorVersion;
  const std::int32_t minor = version.minorVersion;
  const bool ntSix = major == 6;

  if (IsWorkstation()) {
    isServer_ = false;
    const bool professional = IsProfessional();
    // Windows 8 without the Professional indication is named like the Vista and 7 editions.
    const std::string edition = (professional ? "Pro" : "Home") + tail;
    if (!ntSix) return withCode(laterNtCode(major, minor), " NEW WorkStation " + edition);
    switch (minor) {
      case 0:
        return "10 Vista " + edition;
      case 1:
        return "13 Windows7 " + edition;
      case 2:
        return "16 Windows8 " + edition;
      default:
        return withCode(ntSixMinorCode(minor), " Unexpected " + edition);
    }
  }

  const std::string suffix = ServerSuffix();
  isServer_ = true;
  const bool smallBusiness = IsSmallBusinessSuite();
  const bool homeServer = !smallBusiness && IsHomeServer();
  const std::string role = smallBusiness ? "Small Business Server" : homeServer ? "Home Server" : "Server";
  if (!ntSix) return withCode(laterNtCode(major, minor), " NEW " + role + " ?" + suffix + tail);
  switch (minor) {
    case 0:
      return (role == "Server" ? "12 " : "11 ") + role + " 2008" + suffix + tail;
    case 1:
      return (role == "Server" ? "12 " : "11 ") + role + " 2008 R2" + suffix + tail;
    case 2:
      return (role == "Server" ? "16 " : "15 ") + role + " 8" + suffix + tail;
    default:
      return withCode(ntSixMinorCode(minor), " " + role + " ?" + suffix + tail);
  }
}

std::string jclass_WinEnviron::ServerSuffix() {
  std::string suffix;
  if (IsEnterpriseServer()) suffix += "-Enterprise";
  if (IsTerminalSuite()) suffix += "-TS enabled";
  if (IsDomainControllerProduct()) suffix += "-Domain";
  WinProductType_ = ProductTypeText();
  return WinProductType_ + suffix;
}

}  // namespace tlv::environment
