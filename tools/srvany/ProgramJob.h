// Win32 only: the service's program and every process it starts, held in one job object.
#pragma once

#include <vector>

#include "platform/Result.h"
#include "platform/win32/UniqueHandle.h"
#include "tools/srvany/LaunchPlan.h"

namespace tlv::tools {

/// Owns the job and the program's process. The job ends every process in it when its last
/// handle closes, so srvany ending in any way, even killed, leaves none of them behind.
class ProgramJob {
 public:
  ProgramJob() = default;

  /// Starts the program suspended, puts it into a new job, then lets it run: it cannot start
  /// a process of its own outside the job.
  static platform::Result<ProgramJob> start(const LaunchPlan& plan);

  HANDLE process() const { return process_.get(); }
  DWORD processId() const { return processId_; }

  /// The processes of the job that still run. Read from the system's process list: the job's
  /// own process list and counters are not kept by every system (Wine leaves them empty).
  std::vector<DWORD> runningProcessIds() const;

  /// Sends WM_CLOSE to the top-level windows of the job's processes that are not in `asked`
  /// yet, and adds them: called again while waiting, it also reaches windows made since.
  void askWindowsToClose(std::vector<HWND>& asked) const;

  /// Ctrl+Break to the program when it is a console program; false when it has no console
  /// or the event could not be sent.
  bool sendCtrlBreak() const;

  /// Ends every process of the job and waits (briefly) until they are gone: ERROR_SUCCESS
  /// when none runs any more, else why not (ERROR_TIMEOUT when some still run).
  DWORD terminate(UINT exitCode) const;

 private:
  platform::win32::UniqueKernelHandle job_;
  platform::win32::UniqueKernelHandle process_;
  DWORD processId_ = 0;
};

}  // namespace tlv::tools
