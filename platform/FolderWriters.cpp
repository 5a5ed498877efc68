// Portable: the rule for folders only administrators may change.
#include "platform/FolderWriters.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace tlv::platform {

bool onlyAdministratorsChange(const std::vector<AccessEntry>& accessList, const std::string& administrator) {
  constexpr std::array<std::string_view, 3> kAdministrators{sid::kSystem, sid::kAdministrators,
                                                            sid::kTrustedInstaller};
  return std::all_of(accessList.begin(), accessList.end(), [&](const AccessEntry& entry) {
    if (!entry.allows || entry.inheritOnly || (entry.mask & kChangeRights) == 0) return true;
    return (!administrator.empty() && entry.sid == administrator) ||
           std::find(kAdministrators.begin(), kAdministrators.end(), entry.sid) != kAdministrators.end();
  });
}

}  // namespace tlv::platform
