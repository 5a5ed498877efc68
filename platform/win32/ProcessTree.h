// Win32 only: a started program together with every program it starts, so that all of them
// can be ended at once.
#pragma once

#include "platform/win32/UniqueHandle.h"

namespace tlv::platform::win32 {

/// A process and its descendants. Held in a job object of its own where the system allows
/// one; where the caller itself stands in a job that allows no nesting (Windows 7 under some
/// agents and the Task Scheduler), the descendants are found by their parent process ids.
class ProcessTree {
 public:
  /// `process` was created suspended: it is put in a new job, then its `thread` resumed, so
  /// that nothing it starts can escape the job. The error when it could not be resumed (it is
  /// then ended), else ERROR_SUCCESS.
  [[nodiscard]] DWORD adopt(UniqueKernelHandle process, UniqueKernelHandle thread);
  HANDLE process() const { return process_.get(); }
  /// Ends the process and everything it started; true once the process itself has ended.
  [[nodiscard]] bool end(DWORD withinMs);

 private:
  /// Without a job: the descendants, by parent process id in a Toolhelp snapshot, the
  /// parent before its children, so that no parent starts another after the look.
  void endByParentIds();

  UniqueKernelHandle process_;
  UniqueKernelHandle job_;  // null where the process could not be put in one
  DWORD processId_ = 0;
};

}  // namespace tlv::platform::win32
