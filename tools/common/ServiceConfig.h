// Win32 only: settings of a service that instsrv gives it when it creates it and srvany
// gives its own service when it starts, so that services an earlier release made get them too.
#pragma once

#include "platform/win32/Win32Support.h"

namespace tlv::tools {

/// The time Windows waits for the service at shutdown before it goes on (preshutdown; a
/// service that takes it gets this window instead of the few seconds of a plain shutdown).
/// ERROR_SUCCESS, or why not: ERROR_INVALID_LEVEL where Windows has no preshutdown. A
/// service that has it already is left as it is.
DWORD setPreshutdownTimeout(SC_HANDLE service, DWORD timeoutMs);

}  // namespace tlv::tools
