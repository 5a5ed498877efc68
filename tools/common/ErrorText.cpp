// Win32 only: Win32 error codes as the short texts the tools print and log.
#include "tools/common/ErrorText.h"

#include "platform/win32/ErrorText.h"

namespace tlv::tools {

std::string errorText(DWORD error) { return platform::win32::errorText(error); }

DWORD lastErrorOr(DWORD fallback) {
  const DWORD error = ::GetLastError();
  return error != ERROR_SUCCESS ? error : fallback;
}

}  // namespace tlv::tools
