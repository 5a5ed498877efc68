// Win32 only: the process entry point; hands the real machine to the portable entry routine.
#include "app/mainMod.h"
#include "app/win32/WindowUi.h"
#include "platform/win32/SystemLibrary.h"
#include "platform/win32/Win32Platform.h"
// After <windows.h>, which Win32Platform.h brings through Win32Support.h.
#include <commctrl.h>

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR lpCmdLine, int) {
  // Before anything can load a DLL: a file beside the program never stands in for one of Windows.
  tlv::platform::win32::restrictDllSearchToSystemFolder();
  // The manifest binds the program to common controls version 6; registering its classes
  // here makes the window, the boxes and the prompt use them. Should it fail, the system's
  // own classes still serve, so the program goes on.
  INITCOMMONCONTROLSEX controls{sizeof controls, ICC_STANDARD_CLASSES};
  ::InitCommonControlsEx(&controls);

  tlv::app::win32::WindowUi ui(hInstance);
  tlv::platform::win32::Win32Platform machine(ui);
  tlv::platform::Platform platform = machine.platform();
  return tlv::app::mainMod(platform, tlv::app::releaseToolDigests()).Main(lpCmdLine ? lpCmdLine : "");
}
