// Win32 only: tlvrobothook.dll hooked into another program's window thread, for as long as
// the robot holds the hook.
#pragma once

#include "platform/win32/UniqueHandle.h"

namespace tlv::tools::robot {

class InstalledHook {
 public:
  /// Hooks the window's thread with the library's exported procedure as a hook of that
  /// kind (WH_CALLWNDPROC, WH_CALLWNDPROCRET); throws RobotFailure when it cannot.
  InstalledHook(HWND window, int hookKind, const char* procedureName);

 private:
  using UniqueLibrary =
      platform::win32::UniqueHandle<platform::win32::HandleTraits<HMODULE, ::FreeLibrary, platform::win32::NullInvalid>>;
  using UniqueHook = platform::win32::UniqueHandle<
      platform::win32::HandleTraits<HHOOK, ::UnhookWindowsHookEx, platform::win32::NullInvalid>>;

  UniqueLibrary library_;
  UniqueHook hook_;  // declared last: unhooked before the library is freed
};

}  // namespace tlv::tools::robot
