// Win32 only: instsrv's two commands. Each prints one line per outcome and returns a Win32 code.
#pragma once

#include <string>

#include "platform/win32/Win32Support.h"

namespace tlv::tools {

/// Creates an own-process, automatic-start service under the local system account. An existing
/// service is left as it is and reported with ERROR_SERVICE_EXISTS.
DWORD installService(const std::string& serviceName, const std::string& programPath);

/// Stops the service when it runs (waiting for it), deletes it and its event source.
DWORD removeService(const std::string& serviceName);

}  // namespace tlv::tools
