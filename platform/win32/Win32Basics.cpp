// Win32 only: the clock, environment and process ports over kernel32.
#include "platform/win32/Win32Basics.h"

#include "platform/win32/EventSource.h"

#include <vector>

#include "platform/WindowsPath.h"
#include "platform/win32/UniqueHandle.h"

namespace tlv::platform::win32 {

LocalTime Win32Clock::now() {
  SYSTEMTIME t{};
  ::GetLocalTime(&t);
  return LocalTime{t.wYear, t.wMonth, t.wDay, t.wHour, t.wMinute, t.wSecond};
}

std::int64_t Win32Clock::utcSeconds() {
  // A FILETIME counts 100 ns since 1601-01-01 UTC, which lies 11644473600 s before 1970.
  FILETIME time{};
  ::GetSystemTimeAsFileTime(&time);
  const std::uint64_t ticks = (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;
  return static_cast<std::int64_t>(ticks / 10000000) - 11644473600;
}

std::string Win32Environment::variable(const std::string& name) {
  std::vector<char> buffer(256);
  for (;;) {
    const DWORD needed = ::GetEnvironmentVariableA(name.c_str(), buffer.data(), static_cast<DWORD>(buffer.size()));
    if (needed == 0) return {};
    if (needed < buffer.size()) return std::string(buffer.data(), needed);
    buffer.resize(needed);  // the value grew past the buffer: ask again with the size it needs
  }
}

namespace {

class Win32StartedProcess final : public StartedProcess {
 public:
  explicit Win32StartedProcess(UniqueKernelHandle process) : process_(std::move(process)) {}
  bool waitForEnd(unsigned milliseconds) override {
    return ::WaitForSingleObject(process_.get(), milliseconds) == WAIT_OBJECT_0;
  }
  bool end() override {
    constexpr DWORD kEndedWithin = 5000;
    return (::TerminateProcess(process_.get(), ERROR_OPERATION_ABORTED) || waitForEnd(0)) && waitForEnd(kEndedWithin);
  }

 private:
  UniqueKernelHandle process_;
};

}  // namespace

std::string Win32Process::modulePath() { return runningModulePath(); }

Result<std::unique_ptr<StartedProcess>> Win32Process::startBatchFile(const BatchLaunch& launch) {
  using R = Result<std::unique_ptr<StartedProcess>>;
  std::string environment;  // NAME=value, each ended by a NUL, and one NUL more at the end
  for (const std::string& variable : launch.environment) environment += variable + '\0';
  environment += '\0';
  std::string commandLine = launch.commandLine;

  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESHOWWINDOW;
  startup.wShowWindow = SW_SHOWNORMAL;
  PROCESS_INFORMATION info{};
  if (!::CreateProcessA(launch.interpreter.c_str(), commandLine.data(), nullptr, nullptr, FALSE, CREATE_NEW_CONSOLE,
                        environment.data(), launch.startFolder.c_str(), &startup, &info)) {
    return R::failure(::GetLastError());
  }
  UniqueKernelHandle thread(info.hThread);
  return R::success(std::make_unique<Win32StartedProcess>(UniqueKernelHandle(info.hProcess)));
}

void Win32Process::sleep(unsigned milliseconds) { ::Sleep(milliseconds); }

}  // namespace tlv::platform::win32
