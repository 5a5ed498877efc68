// Win32 only: Win32 error codes as the short texts the program and the tools print and log.
#pragma once

#include <string>

#include "platform/win32/Win32Support.h"

namespace tlv::platform::win32 {

/// The system's text for a Win32 error without the trailing line break, then " (error N)".
std::string errorText(DWORD error);

}  // namespace tlv::platform::win32
