// Portable: release versions.
#include "app/ReleaseVersion.h"

#include <algorithm>
#include <charconv>

#include "registry/clsRegistryAccess.h"

#ifndef TLV_RELEASE_VERSION
#error "TLV_RELEASE_VERSION names the release the program is built as (set by app/CMakeLists.txt)"
#endif

namespace tlv::app {

std::optional<ReleaseVersion> ReleaseVersion::parse(std::string_view text) {
  ReleaseVersion version;
  std::size_t count = 0;
  while (true) {
    const std::size_t dot = std::min(text.find('.'), text.size());
    const std::string_view part = text.substr(0, dot);
    unsigned value = 0;
    const auto [end, error] = std::from_chars(part.data(), part.data() + part.size(), value);
    if (part.empty() || error != std::errc() || end != part.data() + part.size() || value > 65535 || count == 4) {
      return std::nullopt;
    }
    version.parts[count++] = value;
    if (dot == text.size()) return version;
    text.remove_prefix(dot + 1);
  }
}

std::string ReleaseVersion::text() const {
  std::string written = std::to_string(parts[0]) + "." + std::to_string(parts[1]) + "." + std::to_string(parts[2]);
  if (parts[3] != 0) written += "." + std::to_string(parts[3]);
  return written;
}

ReleaseVersion thisRelease() {
  static_assert(sizeof TLV_RELEASE_VERSION > 1, "the release version is set");
  return ReleaseVersion::parse(TLV_RELEASE_VERSION).value_or(ReleaseVersion{});
}

ReleaseVersion installedRelease(platform::Platform& machine) {
  const ReleaseVersion own = thisRelease();
  registry::clsRegistryAccess registry(machine);
  const auto recorded = ReleaseVersion::parse(registry.ReadString(kPackageKey, "Version", ""));
  return recorded ? std::min(own, *recorded) : own;
}

}  // namespace tlv::app
