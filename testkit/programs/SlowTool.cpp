// Win32 only: planted as instsrv.exe in the Windows folder, so that the batch file's command
// interpreter stays busy: takes its arguments, waits five seconds and exits 0.
#include <windows.h>

int main() {
  ::Sleep(5000);
  return 0;
}
