// Win32 only: planted as instsrv.exe in the Windows folder, so that the batch file's command
// interpreter stays busy. It waits TLV_SLOWTOOL_MS milliseconds (5000 when unset); then, when
// TLV_SLOWTOOL_THEN names a program, it runs that one with its own arguments and exits with
// its exit code, else exits 0.
#include <cstdlib>
#include <string>

#include "platform/win32/UniqueHandle.h"

namespace {

std::string variable(const char* name) {
  char value[MAX_PATH] = {};
  const DWORD length = ::GetEnvironmentVariableA(name, value, MAX_PATH);
  return length > 0 && length < MAX_PATH ? std::string(value, length) : std::string();
}

// The command line without this program's own name, as the runtime splits it off.
std::string ownArguments() {
  const char* line = ::GetCommandLineA();
  bool quoted = false;
  for (; *line && (quoted || (*line != ' ' && *line != '\t')); ++line) {
    if (*line == '"') quoted = !quoted;
  }
  return line;
}

}  // namespace

int main() {
  const std::string wait = variable("TLV_SLOWTOOL_MS");
  ::Sleep(wait.empty() ? 5000 : static_cast<DWORD>(std::strtoul(wait.c_str(), nullptr, 10)));
  const std::string then = variable("TLV_SLOWTOOL_THEN");
  if (then.empty()) return 0;
  std::string commandLine = "\"" + then + "\"" + ownArguments();
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!::CreateProcessA(then.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    return static_cast<int>(::GetLastError());
  }
  tlv::platform::win32::UniqueKernelHandle process(info.hProcess), thread(info.hThread);
  ::WaitForSingleObject(process.get(), INFINITE);
  DWORD exitCode = 1;
  ::GetExitCodeProcess(process.get(), &exitCode);
  return static_cast<int>(exitCode);
}
