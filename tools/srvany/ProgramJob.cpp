// Win32 only: the service's program and every process it starts, held in one job object.
#include "tools/srvany/ProgramJob.h"

#include <algorithm>

#include "platform/win32/UniqueHandle.h"

#include <tlhelp32.h>  // after windows.h, which it needs

namespace tlv::tools {
namespace {

using platform::Result;
using platform::win32::UniqueKernelHandle;

constexpr DWORD kTerminateWaitMs = 5000;
constexpr DWORD kTerminatePollMs = 50;

Result<UniqueKernelHandle> createKillOnCloseJob() {
  UniqueKernelHandle job(::CreateJobObjectA(nullptr, nullptr));
  if (!job) return Result<UniqueKernelHandle>::failure(::GetLastError());
  JOBOBJECT_EXTENDED_LIMIT_INFORMATION limits{};
  limits.BasicLimitInformation.LimitFlags = JOB_OBJECT_LIMIT_KILL_ON_JOB_CLOSE;
  if (!::SetInformationJobObject(job.get(), JobObjectExtendedLimitInformation, &limits, sizeof limits)) {
    return Result<UniqueKernelHandle>::failure(::GetLastError());
  }
  return Result<UniqueKernelHandle>::success(std::move(job));
}

struct WindowSearch {
  const std::vector<DWORD>& processIds;
  std::vector<HWND>& asked;
};

template <class T>
bool holds(const std::vector<T>& items, T item) {
  return std::find(items.begin(), items.end(), item) != items.end();
}

BOOL CALLBACK closeWindowOfJob(HWND window, LPARAM context) {
  auto& search = *reinterpret_cast<WindowSearch*>(context);
  DWORD processId = 0;
  ::GetWindowThreadProcessId(window, &processId);
  if (holds(search.processIds, processId) && !holds(search.asked, window) && ::PostMessageA(window, WM_CLOSE, 0, 0)) {
    search.asked.push_back(window);
  }
  return TRUE;
}

}  // namespace

Result<ProgramJob> ProgramJob::start(const LaunchPlan& plan) {
  auto job = createKillOnCloseJob();
  if (!job) return Result<ProgramJob>::failure(job.error);

  std::string commandLine = plan.commandLine();  // CreateProcessA may write into it
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  // The program is named as the module, so the system never tries the shorter names along
  // an unquoted path with blanks. CREATE_NO_WINDOW gives a console program its console
  // without showing a window; a windowed program shows what it shows itself.
  const DWORD flags = CREATE_SUSPENDED | CREATE_NO_WINDOW | CREATE_NEW_PROCESS_GROUP;
  if (!::CreateProcessA(plan.applicationName.c_str(), commandLine.data(), nullptr, nullptr, FALSE, flags, nullptr,
                        plan.startFolder.empty() ? nullptr : plan.startFolder.c_str(), &startup, &info)) {
    return Result<ProgramJob>::failure(::GetLastError());
  }
  ProgramJob program;
  program.process_.reset(info.hProcess);
  program.processId_ = info.dwProcessId;
  UniqueKernelHandle thread(info.hThread);
  if (!::AssignProcessToJobObject(job.value.get(), info.hProcess)) {
    const DWORD error = ::GetLastError();
    ::TerminateProcess(info.hProcess, error);  // it never ran: suspended since creation
    return Result<ProgramJob>::failure(error);
  }
  program.job_ = std::move(job.value);
  if (::ResumeThread(thread.get()) == static_cast<DWORD>(-1)) {
    const DWORD error = ::GetLastError();
    program.terminate(error);
    return Result<ProgramJob>::failure(error);
  }
  return Result<ProgramJob>::success(std::move(program));
}

std::vector<DWORD> ProgramJob::runningProcessIds() const {
  std::vector<DWORD> ids;
  platform::win32::UniqueSnapshot snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (!snapshot) {
    // Without a process list the job's own program is all we can vouch for.
    if (::WaitForSingleObject(process_.get(), 0) == WAIT_TIMEOUT) ids.push_back(processId_);
    return ids;
  }
  PROCESSENTRY32 entry{};
  entry.dwSize = sizeof entry;
  for (BOOL more = ::Process32First(snapshot.get(), &entry); more; more = ::Process32Next(snapshot.get(), &entry)) {
    // Wine's IsProcessInJob wants PROCESS_QUERY_INFORMATION; the limited right is not enough.
    UniqueKernelHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION | SYNCHRONIZE, FALSE, entry.th32ProcessID));
    if (!process) continue;  // gone already, or not ours to see: not in our job either way
    BOOL inJob = FALSE;
    if (::IsProcessInJob(process.get(), job_.get(), &inJob) && inJob &&
        ::WaitForSingleObject(process.get(), 0) == WAIT_TIMEOUT) {
      ids.push_back(entry.th32ProcessID);
    }
  }
  return ids;
}

void ProgramJob::askWindowsToClose(std::vector<HWND>& asked) const {
  const std::vector<DWORD> ids = runningProcessIds();
  WindowSearch search{ids, asked};
  ::EnumWindows(closeWindowOfJob, reinterpret_cast<LPARAM>(&search));
}

// Ctrl+Break is the console's way of asking to close. The program was started as the leader
// of its own process group, so the event reaches that group and not srvany.
bool ProgramJob::sendCtrlBreak() const {
  ::FreeConsole();                                 // AttachConsole needs a process without a console of its own
  if (!::AttachConsole(processId_)) return false;  // no console: a windowed program
  const bool sent = ::GenerateConsoleCtrlEvent(CTRL_BREAK_EVENT, processId_) != FALSE;
  ::FreeConsole();
  return sent;
}

DWORD ProgramJob::terminate(UINT exitCode) const {
  if (!job_) return ERROR_SUCCESS;
  if (!::TerminateJobObject(job_.get(), exitCode)) return ::GetLastError();
  // Ending is asynchronous; the service reports STOPPED only once nothing of it runs.
  const DWORD start = ::GetTickCount();
  while (!runningProcessIds().empty()) {
    if (::GetTickCount() - start >= kTerminateWaitMs) return ERROR_TIMEOUT;
    ::Sleep(kTerminatePollMs);
  }
  return ERROR_SUCCESS;
}

}  // namespace tlv::tools
