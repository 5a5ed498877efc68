// Portable: what srvany needs made for it when it runs as another account than LocalSystem,
// which may neither make nor mend them: its own text log folder and its Watch key, with the
// owner and rights they are made with. As LocalSystem srvany makes both itself.
#pragma once

#include <string>

#include "platform/Security.h"

namespace tlv::tools {

/// srvany's text log folder below the Windows folder (outside System32: both editions write
/// the same place under WOW64). Only SYSTEM and Administrators change it; msiexec's logs
/// share it.
inline constexpr char kHostLogFolder[] = "Logs\\TlvAsService";

/// The folder srvany writes its text log in as another account: one of the service's own
/// below kHostLogFolder, where nothing else writes, so that a link the account could make
/// there leads astray only its own writes. `windowsFolder` ends with "\\".
std::string accountLogFolder(const std::string& windowsFolder, const std::string& serviceName);

/// kHostLogFolder as srvany makes it: owner Administrators, SYSTEM and Administrators all
/// rights, Users read; inherited by all inside.
platform::SecurityDescriptor hostLogFolderSecurity();
/// accountLogFolder's: the same, and the service's own SID may change what is inside.
platform::SecurityDescriptor accountLogFolderSecurity(const std::string& serviceName);
/// The Watch key's as the run makes it for another account: owner Administrators, SYSTEM and
/// Administrators all rights, the service's own SID may read and set its values (it may make
/// no key below it, nor change its rights).
platform::SecurityDescriptor accountWatchKeySecurity(const std::string& serviceName);

}  // namespace tlv::tools
