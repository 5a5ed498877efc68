// Win32 only: tells the service control manager where the service stands, with progress.
#pragma once

#include "platform/win32/Win32Support.h"
#include "tools/srvany/HostRecord.h"
#include "tools/srvany/HostSession.h"

namespace tlv::tools {

/// Used from the service's own thread only; the control handler never reports.
class StatusReporter final : public HostStatus {
 public:
  /// `acceptedWhileRunning`: the controls the running service takes (acceptedControls()).
  StatusReporter(SERVICE_STATUS_HANDLE handle, RecordSink& records, DWORD acceptedWhileRunning);

  /// Each pending report is a new checkpoint: the manager sees the service make progress.
  void startPending(DWORD waitHintMs);
  void stopPending(std::uint32_t waitHintMs) override;
  void running();
  /// `win32ExitCode` ERROR_SERVICE_SPECIFIC_ERROR shows `serviceSpecificExitCode`.
  void stopped(std::uint32_t win32ExitCode, std::uint32_t serviceSpecificExitCode = 0) override;

 private:
  void report(DWORD state, DWORD waitHintMs);

  SERVICE_STATUS_HANDLE handle_;
  RecordSink& records_;
  DWORD acceptedWhileRunning_;
  SERVICE_STATUS status_{};
};

}  // namespace tlv::tools
