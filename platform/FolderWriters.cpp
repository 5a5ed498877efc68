// Portable: the rule for folders only administrators may change.
#include "platform/FolderWriters.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace tlv::platform {

bool onlyAdministratorsChange(const std::vector<AccessEntry>& accessList, const std::string& administrator) {
  constexpr std::array<std::string_view, 3> kAdministrators{
      "S-1-5-18",      // SYSTEM
      "S-1-5-32-544",  // Administrators
      "S-1-5-80-956008885-3418522649-1831038044-1853292631-2271478464",  // TrustedInstaller
  };
  return std::all_of(accessList.begin(), accessList.end(), [&](const AccessEntry& entry) {
    if (!entry.allows || entry.inheritOnly || (entry.mask & kChangeRights) == 0) return true;
    return entry.sid == administrator ||
           std::find(kAdministrators.begin(), kAdministrators.end(), entry.sid) != kAdministrators.end();
  });
}

}  // namespace tlv::platform
