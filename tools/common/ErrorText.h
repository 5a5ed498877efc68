// Win32 only: Win32 error codes as the short texts the tools print and log.
#pragma once

#include <string>

#include "platform/win32/Win32Support.h"

namespace tlv::tools {

/// The system's text for a Win32 error without the trailing line break, then " (error N)".
std::string errorText(DWORD error);

/// GetLastError(), or `fallback` when a call failed without saying why (Wine does that for
/// calls it has not implemented). Call it right after the failing call.
DWORD lastErrorOr(DWORD fallback);

}  // namespace tlv::tools
