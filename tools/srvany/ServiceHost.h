// Win32 only: srvany's service: starts the program, stands for it, stops it on request, and
// tells the service control manager where the service stands, with progress.
#pragma once

#include <string>

#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32Support.h"
#include "tools/srvany/HostFault.h"
#include "tools/srvany/HostRecord.h"
#include "tools/srvany/HostSession.h"

namespace tlv::tools {

/// What the service control manager's requests reach: the control handler, its dispatcher
/// and the event it sets. It must outlive every call of the handler, which the dispatcher
/// makes on its own thread, also while or after the service's thread ends: one lives for the
/// whole process.
class ServiceControl {
 public:
  ServiceControl()
      : stopRequested_(::CreateEventA(nullptr, TRUE, FALSE, nullptr)),
        creationError_(stopRequested_ ? ERROR_SUCCESS : ::GetLastError()),
        dispatcher_([this] { ::SetEvent(stopRequested_.get()); }) {}

  /// Set by the first stop, shutdown or preshutdown request; null when it could not be made.
  HANDLE stopRequested() const { return stopRequested_.get(); }
  /// Why the event could not be created; ERROR_SUCCESS when it was.
  DWORD creationError() const { return creationError_; }
  StopRequest request() const { return dispatcher_.request(); }
  /// The handler to register, with this object as its context.
  static DWORD WINAPI handle(DWORD control, DWORD eventType, void* eventData, void* context);
  /// Where any of srvany's threads reports that it failed.
  HostFault& fault() { return fault_; }

 private:
  HostFault fault_;
  platform::win32::UniqueKernelHandle stopRequested_;
  DWORD creationError_;
  ControlDispatcher dispatcher_;
};

class ServiceHost {
 public:
  ServiceHost(std::string serviceName, ServiceControl& control);

  /// The work of ServiceMain: returns once the service has reported STOPPED.
  void run();

 private:
  /// Gives the service its preshutdown time; true where Windows offers preshutdown.
  bool offerPreshutdown(RecordSink& records);

  std::string serviceName_;
  ServiceControl& control_;
};

// Where the service stands, as the service control manager is told it.

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
