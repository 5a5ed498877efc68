// Win32 only: planted as instsrv.exe in the Windows folder, so that the batch file's command
// interpreter stays busy. It reads "<its own path>.txt": a first line with the milliseconds to
// wait (5000 without the file), a second naming a program to run then with its own arguments,
// whose exit code it exits with; else it exits 0. (A file, since the interpreter that starts
// it has an environment of its own.)
#include <cstdio>
#include <cstdlib>
#include <string>

#include "platform/win32/UniqueHandle.h"

namespace {

// Line `index` (0 = the first) of the settings file, without its line end.
std::string setting(int index) {
  char self[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::FILE* file = std::fopen((std::string(self) + ".txt").c_str(), "r");
  if (!file) return {};
  char line[MAX_PATH] = {};
  for (int i = 0; i <= index; ++i) {
    if (!std::fgets(line, sizeof line, file)) line[0] = '\0';
  }
  std::fclose(file);
  std::string text(line);
  while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
  return text;
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
  const std::string wait = setting(0);
  ::Sleep(wait.empty() ? 5000 : static_cast<DWORD>(std::strtoul(wait.c_str(), nullptr, 10)));
  const std::string then = setting(1);
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
