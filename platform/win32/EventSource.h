// Win32 only: what the program and srvany share of the Application event log: the running
// executable's registration as an event source's message file.
#pragma once

#include <string>

#include "platform/win32/Win32Support.h"

namespace tlv::platform::win32 {

/// Makes the running executable the message file of the event source whose key, below
/// HKEY_LOCAL_MACHINE, is sourceKeyPath, for error, warning and information entries, so that
/// the viewer shows the entries' texts. The registry call's code; err::kMessageFileUnprotected,
/// registering nothing, unless the executable lies in the system's Windows or Program Files
/// folders in a folder whose access list lets only administrators change it: the event log
/// service loads the message file for whoever reads the log.
LONG registerAsEventMessageFile(const std::string& sourceKeyPath);

}  // namespace tlv::platform::win32
