// Win32 only: tells the service control manager where the service stands, with progress.
#include "tools/srvany/StatusReporter.h"

#include <string>

#include "tools/common/ErrorText.h"

namespace tlv::tools {

StatusReporter::StatusReporter(SERVICE_STATUS_HANDLE handle, RecordSink& records, DWORD acceptedWhileRunning)
    : handle_(handle), records_(records), acceptedWhileRunning_(acceptedWhileRunning) {
  status_.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
}

void StatusReporter::startPending(DWORD waitHintMs) { report(SERVICE_START_PENDING, waitHintMs); }

void StatusReporter::stopPending(std::uint32_t waitHintMs) { report(SERVICE_STOP_PENDING, waitHintMs); }

void StatusReporter::running() { report(SERVICE_RUNNING, 0); }

void StatusReporter::stopped(std::uint32_t win32ExitCode, std::uint32_t serviceSpecificExitCode) {
  status_.dwWin32ExitCode = win32ExitCode;
  status_.dwServiceSpecificExitCode = serviceSpecificExitCode;
  report(SERVICE_STOPPED, 0);
}

void StatusReporter::report(DWORD state, DWORD waitHintMs) {
  const bool pending = state == SERVICE_START_PENDING || state == SERVICE_STOP_PENDING;
  status_.dwCheckPoint = pending && status_.dwCurrentState == state ? status_.dwCheckPoint + 1 : (pending ? 1 : 0);
  status_.dwCurrentState = state;
  status_.dwWaitHint = waitHintMs;
  // Only a running service takes controls: while starting there is nothing to stop yet, and
  // a second stop while stopping changes nothing.
  status_.dwControlsAccepted = state == SERVICE_RUNNING ? acceptedWhileRunning_ : 0;
  if (!::SetServiceStatus(handle_, &status_)) {
    records_.record({HostEvent::HostWarning, Severity::Warning,
                     "The service control manager did not take the state " + std::to_string(state) + ": " +
                         errorText(::GetLastError())});
  }
}

}  // namespace tlv::tools
