// Win32 only: the process entry point; hands the real machine to the portable entry routine.
#include "app/mainMod.h"
#include "platform/win32/Win32Platform.h"

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  tlv::platform::win32::Win32Platform machine(instance);
  tlv::platform::Platform platform = machine.platform();
  return tlv::app::mainMod(platform).Main();
}
