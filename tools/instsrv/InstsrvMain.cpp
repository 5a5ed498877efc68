// Win32 only: instsrv.exe, the entry point: parse, run the one command, exit with its Win32 code.
#include <cstdio>

#include "platform/win32/SystemLibrary.h"
#include "tools/instsrv/InstsrvArguments.h"
#include "tools/instsrv/InstsrvCommands.h"

int main(int argc, char** argv) {
  // Before anything can load a DLL: a file beside the program never stands in for one of Windows.
  tlv::platform::win32::restrictDllSearchToSystemFolder();
  using namespace tlv::tools;
  const auto command = parseInstsrvArguments(argc, argv);
  if (!command) {
    std::fputs(instsrvUsage(), stderr);
    return ERROR_INVALID_PARAMETER;
  }
  if (command->kind == InstsrvCommand::Kind::Remove) return static_cast<int>(removeService(command->serviceName));
  return static_cast<int>(installService(command->serviceName, command->programPath));
}
