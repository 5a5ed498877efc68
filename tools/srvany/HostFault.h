// Win32 only: what srvany does when it fails itself, on any of its threads: a C++ exception
// its thread did not expect, or a fault no `catch` sees (an access violation under MinGW).
#pragma once

#include <windows.h>

#include <chrono>
#include <string>

#include "platform/win32/UniqueHandle.h"

#include "tools/srvany/HostRecord.h"
#include "tools/srvany/ProgramWatch.h"

namespace tlv::tools {

/// A lock whose wait can end (std::timed_mutex's, which the shipped build's thread model
/// lacks): a semaphore of one, so that a thread holding it cannot take it again.
class TimedLock {
 public:
  TimedLock() : semaphore_(::CreateSemaphoreA(nullptr, 1, 1, nullptr)) {}
  /// Held only for a few assignments by each taker: no time limit needed.
  void lock() { static_cast<void>(::WaitForSingleObject(semaphore_.get(), INFINITE)); }
  void unlock() { static_cast<void>(::ReleaseSemaphore(semaphore_.get(), 1, nullptr)); }
  template <class Rep, class Period>
  bool try_lock_for(const std::chrono::duration<Rep, Period>& wait) {
    const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(wait).count();
    return semaphore_ && ::WaitForSingleObject(semaphore_.get(), static_cast<DWORD>(ms)) == WAIT_OBJECT_0;
  }

 private:
  platform::win32::UniqueKernelHandle semaphore_;
};

/// Records the failure (111) and stops the service as failed with kHostFailedCode, so that
/// the recovery actions restart it; the program ends with srvany, its job closing.
class HostFault {
 public:
  /// Once the control handler is registered: the service to stop and whose event source to use.
  void serving(const std::string& serviceName, SERVICE_STATUS_HANDLE status);
  /// `what` failed: recorded through the records in use, else straight to the event log.
  void report(const std::string& what);

  /// The records in use while it lives: a failure reaches the text log too.
  class Recording {
   public:
    Recording(HostFault& fault, RecordSink& records);
    ~Recording();
    Recording(const Recording&) = delete;
    Recording& operator=(const Recording&) = delete;

   private:
    HostFault& fault_;
  };

 private:
  // Timed: a fault inside a record may leave it held, and the report must still end.
  TimedLock lock_;
  std::string serviceName_;
  SERVICE_STATUS_HANDLE status_ = nullptr;
  RecordSink* records_ = nullptr;
};

/// "exception 0xC0000005 at 0x...": what the system says of a fault.
std::string faultText(const EXCEPTION_RECORD& fault);

}  // namespace tlv::tools
