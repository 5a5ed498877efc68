// Win32 only: what the program and srvany share of the Application event log: the running
// executable's path and its registration as an event source's message file.
#pragma once

#include <string>

#include "platform/win32/Win32Support.h"

namespace tlv::platform::win32 {

/// The running executable's full path; empty when the system cannot name it.
std::string runningModulePath();

/// Makes the running executable the message file of the event source whose key, below
/// HKEY_LOCAL_MACHINE, is sourceKeyPath, for error, warning and information entries, so that
/// the viewer shows the entries' texts. The registry call's code.
LONG registerAsEventMessageFile(const std::string& sourceKeyPath);

}  // namespace tlv::platform::win32
