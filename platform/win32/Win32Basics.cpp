// Win32 only: the clock, environment and process ports over kernel32.
#include "platform/win32/Win32Basics.h"

#include "platform/win32/RunningModule.h"

#include <vector>

#include "platform/WindowsPath.h"
#include "platform/win32/ProcessTree.h"
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

std::uint64_t Win32Clock::tickMilliseconds() { return ::GetTickCount64(); }

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
  explicit Win32StartedProcess(std::unique_ptr<ProcessTree> tree) : tree_(std::move(tree)) {}
  bool waitForEnd(unsigned milliseconds) override {
    return ::WaitForSingleObject(tree_->process(), milliseconds) == WAIT_OBJECT_0;
  }
  bool end() override {
    constexpr DWORD kEndedWithin = 5000;
    return tree_->end(kEndedWithin);
  }

 private:
  std::unique_ptr<ProcessTree> tree_;
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
  // Suspended until it is in a job of its own: what it starts then cannot escape being ended.
  if (!::CreateProcessA(launch.interpreter.c_str(), commandLine.data(), nullptr, nullptr, FALSE,
                        CREATE_NEW_CONSOLE | CREATE_SUSPENDED, environment.data(), launch.startFolder.c_str(), &startup,
                        &info)) {
    return R::failure(::GetLastError());
  }
  auto tree = std::make_unique<ProcessTree>();
  if (const DWORD error = tree->adopt(UniqueKernelHandle(info.hProcess), UniqueKernelHandle(info.hThread))) {
    return R::failure(error);
  }
  return R::success(std::make_unique<Win32StartedProcess>(std::move(tree)));
}

void Win32Process::sleep(unsigned milliseconds) { ::Sleep(milliseconds); }

}  // namespace tlv::platform::win32
