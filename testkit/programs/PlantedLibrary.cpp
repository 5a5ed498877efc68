// Win32 only: planted beside TlvAsService.exe as version.dll, mpr.dll and bcrypt.dll. Should a
// process ever load it, it leaves "<its own path>.loaded" (and exports nothing).
#include <windows.h>

#include <string>

BOOL WINAPI DllMain(HINSTANCE self, DWORD reason, LPVOID) {
  if (reason != DLL_PROCESS_ATTACH) return TRUE;
  char path[MAX_PATH] = {};
  ::GetModuleFileNameA(self, path, MAX_PATH);
  const std::string marker = std::string(path) + ".loaded";
  const HANDLE file =
      ::CreateFileA(marker.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
  if (file != INVALID_HANDLE_VALUE) ::CloseHandle(file);
  return TRUE;
}
