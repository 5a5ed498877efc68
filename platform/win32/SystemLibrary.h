// Win32 only: the DLLs of Windows that are not "known DLLs", which the programs load from the
// system folder only, never from their own folder.
//
// The programs import statically only DLLs that no file beside them can stand in for:
//   kernel32, advapi32, msvcrt, and user32 for srvany.exe: "known DLLs" (the KnownDLLs
//     registry list), which Windows always maps from the system folder, with the DLLs they
//     import in turn;
//   comctl32 would be safe too: the manifest binds it to the side-by-side assembly
//     Microsoft.Windows.Common-Controls 6.0, which Windows takes from its own store.
// TlvAsService.exe of the x64 edition delay-loads user32, gdi32 and comctl32
// (cmake/DelayImports.cmake): they load at their first call, after
// restrictDllSearchToSystemFolder, so that nothing they pull in is looked for beside the
// program either. The x86 edition imports them (known DLLs, whose own imports Windows takes
// from the system folder): binutils cannot make working i386 delay imports. Every other DLL (version, mpr, bcrypt) goes
// through SystemLibrary. The release's check-imports holds the shipped executables to this.
#pragma once

#include "platform/Result.h"
#include "platform/win32/UniqueHandle.h"

namespace tlv::platform::win32 {

/// Makes the system folder the only place where the process looks for DLLs loaded by name:
/// SetDefaultDllDirectories (Windows 8, and Windows 7 with update KB2533623); where that is
/// missing, SetDllDirectoryA("") takes the current folder out of the search, and
/// SystemLibrary names its DLLs by their full path. The first call of every program.
void restrictDllSearchToSystemFolder();

/// A DLL of Windows, loaded from the system folder.
class SystemLibrary {
 public:
  SystemLibrary() = default;
  /// Loads `name` ("bcrypt.dll") from the system folder.
  [[nodiscard]] static Result<SystemLibrary> load(const char* name);

  /// The function `name` of the DLL as a pointer of type F; null when the DLL lacks it.
  template <class F>
  F* function(const char* name) const {
    // GetProcAddress gives every function one type; the caller names the real one.
    return reinterpret_cast<F*>(reinterpret_cast<void*>(::GetProcAddress(module_.get(), name)));
  }

 private:
  explicit SystemLibrary(UniqueLibrary module) : module_(std::move(module)) {}
  UniqueLibrary module_;
};

}  // namespace tlv::platform::win32
