// Win32 only: Win32 error codes as short texts.
#include "platform/win32/ErrorText.h"

namespace tlv::platform::win32 {

std::string errorText(DWORD error) {
  char buffer[512] = {};
  DWORD length = ::FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS, nullptr, error, 0, buffer,
                                  sizeof buffer, nullptr);
  while (length > 0 && (buffer[length - 1] == '\r' || buffer[length - 1] == '\n' || buffer[length - 1] == ' ' ||
                        buffer[length - 1] == '.')) {
    --length;
  }
  std::string text = length > 0 ? std::string(buffer, length) : std::string("Unknown error");
  return text + " (error " + std::to_string(error) + ")";
}

}  // namespace tlv::platform::win32
