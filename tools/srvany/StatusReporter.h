// Win32 only: tells the service control manager where the service stands, with progress.
#pragma once

#include "platform/win32/Win32Support.h"
#include "tools/srvany/EventLog.h"

namespace tlv::tools {

/// Used from the service's own thread only; the control handler never reports.
class StatusReporter {
 public:
  StatusReporter(SERVICE_STATUS_HANDLE handle, EventLog& log);

  /// Each pending report is a new checkpoint: the manager sees the service make progress.
  void startPending(DWORD waitHintMs);
  void stopPending(DWORD waitHintMs);
  void running();
  /// `win32ExitCode` ERROR_SERVICE_SPECIFIC_ERROR shows `serviceSpecificExitCode`.
  void stopped(DWORD win32ExitCode, DWORD serviceSpecificExitCode = 0);

 private:
  void report(DWORD state, DWORD waitHintMs);

  SERVICE_STATUS_HANDLE handle_;
  EventLog& log_;
  SERVICE_STATUS status_{};
};

}  // namespace tlv::tools
