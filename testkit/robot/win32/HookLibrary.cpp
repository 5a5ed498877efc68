// Win32 only: loading tlvrobothook.dll from beside the robot and hooking a window's thread.
#include "testkit/robot/win32/HookLibrary.h"

#include "testkit/robot/win32/MenuHookProtocol.h"
#include "testkit/robot/win32/RobotWindows.h"

namespace tlv::tools::robot {

namespace {

std::string libraryBesideRobot() {
  char path[MAX_PATH] = {};
  const DWORD length = ::GetModuleFileNameA(nullptr, path, MAX_PATH);
  std::string folder(path, length);
  folder.erase(folder.find_last_of('\\') + 1);
  return folder + menuhook::kLibraryName;
}

}  // namespace

InstalledHook::InstalledHook(HWND window, int hookKind, const char* procedureName) {
  const std::string libraryPath = libraryBesideRobot();
  library_.reset(::LoadLibraryA(libraryPath.c_str()));
  // FARPROC stands for any exported function; the void(*)() step tells the compiler so.
  const auto procedure = library_ ? reinterpret_cast<HOOKPROC>(reinterpret_cast<void (*)()>(
                                        ::GetProcAddress(library_.get(), procedureName)))
                                  : nullptr;
  if (!procedure) throw RobotFailure("cannot load " + quoteText(libraryPath) + " with " + procedureName);

  const DWORD thread = ::GetWindowThreadProcessId(window, nullptr);
  hook_.reset(::SetWindowsHookExA(hookKind, procedure, library_.get(), thread));
  if (!hook_) throw RobotFailure("cannot hook the window's thread: error " + std::to_string(::GetLastError()));
}

}  // namespace tlv::tools::robot
