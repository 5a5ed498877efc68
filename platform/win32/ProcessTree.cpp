// Win32 only: ending a started program together with everything it started.
#include "platform/win32/ProcessTree.h"

#include <tlhelp32.h>

#include <cstdint>
#include <vector>

namespace tlv::platform::win32 {

namespace {

constexpr UINT kEndedCode = ERROR_OPERATION_ABORTED;

std::uint64_t creationTime(HANDLE process) {
  FILETIME created{}, exited{}, kernel{}, user{};
  if (!::GetProcessTimes(process, &created, &exited, &kernel, &user)) return 0;
  return (std::uint64_t{created.dwHighDateTime} << 32) | created.dwLowDateTime;
}

struct Member {
  DWORD id;
  std::uint64_t created;
};

}  // namespace

DWORD ProcessTree::adopt(UniqueKernelHandle process, UniqueKernelHandle thread) {
  process_ = std::move(process);
  processId_ = ::GetProcessId(process_.get());
  UniqueKernelHandle job(::CreateJobObjectA(nullptr, nullptr));
  // A job that cannot be had leaves the fallback by parent ids: the run goes on either way.
  if (job && ::AssignProcessToJobObject(job.get(), process_.get())) job_ = std::move(job);
  if (::ResumeThread(thread.get()) != static_cast<DWORD>(-1)) return ERROR_SUCCESS;
  const DWORD error = ::GetLastError();
  static_cast<void>(end(0));  // a program that never ran is not left suspended
  return error;
}

bool ProcessTree::end(DWORD withinMs) {
  if (job_) {
    static_cast<void>(::TerminateJobObject(job_.get(), kEndedCode));  // judged by the wait below
  } else {
    endByParentIds();
  }
  return ::WaitForSingleObject(process_.get(), withinMs) == WAIT_OBJECT_0;
}

void ProcessTree::endByParentIds() {
  // A process id is used again once its process has gone: a child counts only when it was
  // created after its parent, so that no stranger whose parent id is stale is ended.
  std::vector<Member> tree{{processId_, creationTime(process_.get())}};
  const auto inTree = [&tree](DWORD id) {
    for (const Member& m : tree) {
      if (m.id == id) return true;
    }
    return false;
  };
  UniqueSnapshot snapshot(::CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0));
  if (snapshot) {
    std::vector<PROCESSENTRY32> entries;
    PROCESSENTRY32 entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = ::Process32First(snapshot.get(), &entry); more; more = ::Process32Next(snapshot.get(), &entry)) {
      entries.push_back(entry);
    }
    for (std::size_t i = 0; i < tree.size(); ++i) {  // grows while it is walked: each generation in turn
      for (const PROCESSENTRY32& e : entries) {
        if (e.th32ParentProcessID != tree[i].id || inTree(e.th32ProcessID)) continue;
        UniqueKernelHandle child(::OpenProcess(PROCESS_QUERY_LIMITED_INFORMATION, FALSE, e.th32ProcessID));
        const std::uint64_t created = child ? creationTime(child.get()) : 0;
        if (created != 0 && created >= tree[i].created) tree.push_back({e.th32ProcessID, created});
      }
    }
  }
  for (const Member& member : tree) {
    UniqueKernelHandle process(member.id == processId_
                                   ? nullptr
                                   : ::OpenProcess(PROCESS_TERMINATE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, member.id));
    HANDLE target = member.id == processId_ ? process_.get() : process.get();
    // The id may have passed to another program since the look: only the one seen is ended.
    // One that cannot be ended is told by the wait for the interpreter, or outlives it.
    if (target && creationTime(target) == member.created) static_cast<void>(::TerminateProcess(target, kEndedCode));
  }
}

}  // namespace tlv::platform::win32
