// Win32 only: planted as C:\Program.exe. Should it ever run, it leaves "<its own path>.ran".
#include <string>

#include "platform/win32/UniqueHandle.h"

int main() {
  char self[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, self, MAX_PATH);
  const std::string marker = std::string(self) + ".ran";
  tlv::platform::win32::UniqueFile file(
      ::CreateFileA(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  return file ? 0 : 1;
}
