// Win32 only: DLL search restricted to the system folder, and DLLs loaded from there.
#include "platform/win32/SystemLibrary.h"

#include <string>

namespace tlv::platform::win32 {

namespace {

using SetDefaultDllDirectoriesFn = BOOL WINAPI(DWORD);

// kernel32 has SetDefaultDllDirectories from Windows 8 on, and on Windows 7 with its update:
// looked up, so that the programs still start where it is missing.
SetDefaultDllDirectoriesFn* setDefaultDllDirectories() {
  const HMODULE kernel = ::GetModuleHandleA("kernel32.dll");
  return kernel ? reinterpret_cast<SetDefaultDllDirectoriesFn*>(
                      reinterpret_cast<void*>(::GetProcAddress(kernel, "SetDefaultDllDirectories")))
                : nullptr;
}

}  // namespace

void restrictDllSearchToSystemFolder() {
  if (auto* restrict = setDefaultDllDirectories(); restrict && restrict(LOAD_LIBRARY_SEARCH_SYSTEM32)) return;
  ::SetDllDirectoryA("");
}

Result<SystemLibrary> SystemLibrary::load(const char* name) {
  using R = Result<SystemLibrary>;
  UniqueLibrary module;
  if (setDefaultDllDirectories()) {
    module.reset(::LoadLibraryExA(name, nullptr, LOAD_LIBRARY_SEARCH_SYSTEM32));
  } else {
    // Without the search flags: the full path, with that folder searched for its own imports.
    char systemFolder[MAX_PATH] = {};
    const UINT length = ::GetSystemDirectoryA(systemFolder, MAX_PATH);
    if (length == 0 || length >= MAX_PATH) return R::failure(length == 0 ? ::GetLastError() : ERROR_BUFFER_OVERFLOW);
    const std::string path = std::string(systemFolder, length) + "\\" + name;
    module.reset(::LoadLibraryExA(path.c_str(), nullptr, LOAD_WITH_ALTERED_SEARCH_PATH));
  }
  if (!module) return R::failure(::GetLastError());
  return R::success(SystemLibrary(std::move(module)));
}

}  // namespace tlv::platform::win32
