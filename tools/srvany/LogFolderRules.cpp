// Portable: when srvany's log folder must be set anew.
#include "tools/srvany/LogFolderRules.h"

#include <algorithm>

namespace tlv::tools {

bool needsRepair(const FolderSecurity& security) {
  if (!security.ownerIsAdministrators || !security.inheritanceBlocked) return true;
  return std::any_of(security.entries.begin(), security.entries.end(), [](const AccessEntry& entry) {
    if (!entry.allows || entry.who == Trustee::System || entry.who == Trustee::Administrators) return false;
    return entry.who == Trustee::Other || (entry.mask & ~kUsersMayRead) != 0;
  });
}

}  // namespace tlv::tools
