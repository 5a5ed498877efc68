// Portable: release versions ("1.2.0") as Windows Installer compares them, this program's own,
// and the installed release a deployment tool asks about (/verify /minversion).
#pragma once

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Platform.h"

namespace tlv::app {

struct ReleaseVersion {
  /// major, minor, patch and build; parts not written are 0.
  std::array<unsigned, 4> parts{};

  /// "1", "1.2", "1.2.0" or "1.2.0.7", each part a number up to 65535; nullopt otherwise.
  static std::optional<ReleaseVersion> parse(std::string_view text);
  /// "1.2.0": three parts, a fourth only when it is not 0.
  std::string text() const;
  friend bool operator==(const ReleaseVersion&, const ReleaseVersion&) = default;
  friend bool operator<(const ReleaseVersion& a, const ReleaseVersion& b) { return a.parts < b.parts; }
  friend bool operator>(const ReleaseVersion& a, const ReleaseVersion& b) { return b < a; }
  friend bool operator>=(const ReleaseVersion& a, const ReleaseVersion& b) { return !(a < b); }
};

/// The release this program was built as.
ReleaseVersion thisRelease();

/// The key where the installed package records its release (Version), its folder
/// (InstallFolder) and its product code (ProductCode); a zip install has none.
inline constexpr char kPackageKey[] = "HKEY_LOCAL_MACHINE\\SOFTWARE\\TlvAsService";

/// The installed release: this program's own, or the version the installed package recorded
/// when that is older (the package Windows Installer keeps is then an old one, whatever file
/// was copied over it).
ReleaseVersion installedRelease(platform::Platform& machine);

}  // namespace tlv::app
