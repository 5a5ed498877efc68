// Win32 only: what srvany does when it fails itself.
#include "tools/srvany/HostFault.h"

#include <chrono>
#include <cstdio>
#include <mutex>

#include "tools/srvany/HostLogs.h"

namespace tlv::tools {
namespace {

constexpr std::chrono::seconds kLockWait{2};

}  // namespace

void HostFault::serving(const std::string& serviceName, SERVICE_STATUS_HANDLE status) {
  const std::lock_guard<TimedLock> held(lock_);
  serviceName_ = serviceName;
  status_ = status;
}

HostFault::Recording::Recording(HostFault& fault, RecordSink& records) : fault_(fault) {
  const std::lock_guard<TimedLock> held(fault_.lock_);
  fault_.records_ = &records;
}

HostFault::Recording::~Recording() {
  const std::lock_guard<TimedLock> held(fault_.lock_);
  fault_.records_ = nullptr;
}

void HostFault::report(const std::string& what) {
  const std::string text = "srvany has failed: " + what + ". The service stops as failed and its program ends.";
  const std::unique_lock<TimedLock> held(lock_, kLockWait);
  // Without the lock nothing is known for sure: the process ends, and the manager sees that.
  if (!held || !status_) return;
  if (records_) {
    records_->record({HostEvent::HostFailed, Severity::Error, text});
  } else {
    EventLog eventLog(serviceName_);
    eventLog.record({HostEvent::HostFailed, Severity::Error, text});
  }
  SERVICE_STATUS status{};
  status.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
  status.dwCurrentState = SERVICE_STOPPED;
  status.dwWin32ExitCode = ERROR_SERVICE_SPECIFIC_ERROR;
  status.dwServiceSpecificExitCode = kHostFailedCode;
  // Nothing is left to tell should this fail: the process ends right after either way.
  static_cast<void>(::SetServiceStatus(status_, &status));
  status_ = nullptr;  // a second failure must not report a stopped service again
}

std::string faultText(const EXCEPTION_RECORD& fault) {
  char text[64];
  std::snprintf(text, sizeof text, "exception 0x%08lX at %p", static_cast<unsigned long>(fault.ExceptionCode),
                fault.ExceptionAddress);
  return text;
}

}  // namespace tlv::tools
