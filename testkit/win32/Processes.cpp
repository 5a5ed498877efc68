// Win32 only: programs the Wine tests run and the processes they look for.
#include "testkit/win32/Processes.h"

#include <gtest/gtest.h>

#include <optional>

#include "platform/win32/UniqueHandle.h"

#include <tlhelp32.h>  // after windows.h, which it needs

namespace tlv::testing {
namespace {

using platform::win32::UniqueKernelHandle;

constexpr char kHiddenStation[] = "TlvAsServiceHidden";

BOOL CALLBACK noteVisibleWindowOf(HWND window, LPARAM param) {
  auto* search = reinterpret_cast<std::pair<DWORD, bool>*>(param);
  DWORD pid = 0;
  ::GetWindowThreadProcessId(window, &pid);
  if (pid == search->first && ::IsWindowVisible(window)) search->second = true;
  return TRUE;
}

/// The exit code of a process that ends within `timeoutMs`; one still running then is ended,
/// so that a hung program cannot hold files or services for the next test.
std::optional<DWORD> exitCodeOrEnd(HANDLE process, DWORD timeoutMs) {
  DWORD code = 0;
  if (::WaitForSingleObject(process, timeoutMs) == WAIT_OBJECT_0 && ::GetExitCodeProcess(process, &code)) return code;
  ::TerminateProcess(process, 1);
  return std::nullopt;
}

/// The running processes: id and executable name.
std::vector<std::pair<DWORD, std::string>> processList() {
  std::vector<std::pair<DWORD, std::string>> entries;
  platform::win32::UniqueSnapshot snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = snapshot && ::Process32First(snapshot.get(), &entry); more; more = ::Process32Next(snapshot.get(), &entry)) {
    entries.emplace_back(entry.th32ProcessID, entry.szExeFile);
  }
  if (entries.empty()) ADD_FAILURE() << "no processes listed: error " << ::GetLastError();
  return entries;
}

}  // namespace

ToolRun runTool(const std::string& program, const std::string& arguments) {
  ToolRun run;
  SECURITY_ATTRIBUTES inheritable{sizeof inheritable, nullptr, TRUE};
  UniqueKernelHandle readEnd, writeEnd;
  if (!::CreatePipe(readEnd.put(), writeEnd.put(), &inheritable, 0)) {
    ADD_FAILURE() << "CreatePipe failed: " << ::GetLastError();
    return run;
  }
  ::SetHandleInformation(readEnd.get(), HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOA startup{sizeof startup};
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdOutput = startup.hStdError = writeEnd.get();
  PROCESS_INFORMATION info{};
  std::string commandLine = "\"" + program + "\" " + arguments;
  if (!::CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &info)) {
    ADD_FAILURE() << "cannot run " << program << ": error " << ::GetLastError();
    return run;
  }
  UniqueKernelHandle process(info.hProcess), thread(info.hThread);
  writeEnd.reset();  // the pipe ends when the tool's copy of it closes
  char buffer[4096];
  DWORD read = 0;
  while (::ReadFile(readEnd.get(), buffer, sizeof buffer, &read, nullptr) && read > 0) run.output.append(buffer, read);
  const std::optional<DWORD> code = exitCodeOrEnd(process.get(), 60000);
  if (!code) ADD_FAILURE() << program << " did not end";
  run.exitCode = code.value_or(1);
  return run;
}

WindowlessRun runWatchingForWindows(const std::string& program, const std::string& arguments, DWORD timeoutMs,
                                    const StartPlace& place) {
  WindowlessRun run;
  std::string commandLine = "\"" + program + "\" " + arguments;
  std::string desktop = place.desktop;
  STARTUPINFOA startup{sizeof startup};
  if (!desktop.empty()) startup.lpDesktop = desktop.data();
  PROCESS_INFORMATION info{};
  const char* folder = place.currentFolder.empty() ? nullptr : place.currentFolder.c_str();
  if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, folder, &startup, &info)) {
    return run;
  }
  UniqueKernelHandle process(info.hProcess), thread(info.hThread);
  std::pair<DWORD, bool> search{info.dwProcessId, false};
  constexpr DWORD kWindowPollMs = 20;
  for (DWORD waited = 0; waited < timeoutMs; waited += kWindowPollMs) {
    ::EnumWindows(noteVisibleWindowOf, reinterpret_cast<LPARAM>(&search));
    if (::WaitForSingleObject(process.get(), kWindowPollMs) == WAIT_OBJECT_0) break;
  }
  if (const std::optional<DWORD> code = exitCodeOrEnd(process.get(), 0)) run.exitCode = static_cast<long>(*code);
  run.showedAWindow = search.second;
  return run;
}

HiddenWindowStation::HiddenWindowStation()
    : station_(::CreateWindowStationA(kHiddenStation, 0, WINSTA_ALL_ACCESS, nullptr)) {
  if (!station_) return;
  // A desktop belongs to the window station of the process that creates it.
  HWINSTA own = ::GetProcessWindowStation();
  if (!::SetProcessWindowStation(station_)) return;
  desktop_ = ::CreateDesktopA("Default", nullptr, nullptr, 0, GENERIC_ALL, nullptr);
  ::SetProcessWindowStation(own);
}

HiddenWindowStation::~HiddenWindowStation() {
  if (desktop_) ::CloseDesktop(desktop_);
  if (station_) ::CloseWindowStation(station_);
}

std::string HiddenWindowStation::desktopName() const { return std::string(kHiddenStation) + "\\Default"; }

bool processRunning(DWORD id) {
  for (const auto& [running, name] : processList()) {
    if (running == id) return true;
  }
  return false;
}

std::vector<DWORD> processesNamed(const std::string& exeName) {
  std::vector<DWORD> ids;
  for (const auto& [id, name] : processList()) {
    if (::lstrcmpiA(name.c_str(), exeName.c_str()) == 0) ids.push_back(id);
  }
  return ids;
}

void endProcess(DWORD id) {
  UniqueKernelHandle process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, id));
  if (!process) return;
  ::TerminateProcess(process.get(), 1);
  ::WaitForSingleObject(process.get(), 5000);
}

std::vector<DWORD> numbersAfter(const std::string& text, const std::string& key) {
  std::vector<DWORD> numbers;
  const std::string needle = key + "=";
  for (auto at = text.find(needle); at != std::string::npos; at = text.find(needle, at + 1)) {
    numbers.push_back(std::strtoul(text.c_str() + at + needle.size(), nullptr, 10));
  }
  return numbers;
}

}  // namespace tlv::testing
