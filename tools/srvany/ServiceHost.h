// Win32 only: srvany's service: starts the program, stands for it, stops it on request.
#pragma once

#include <string>

#include "platform/win32/UniqueHandle.h"
#include "tools/srvany/EventLog.h"
#include "tools/srvany/ProgramJob.h"
#include "tools/srvany/StatusReporter.h"

namespace tlv::tools {

/// What the service control manager's requests reach: the control handler and the event it
/// sets. It must outlive every call of the handler, which the dispatcher makes on its own
/// thread, also while or after the service's thread ends: one lives for the whole process.
class ServiceControl {
 public:
  ServiceControl()
      : stopRequested_(::CreateEventA(nullptr, TRUE, FALSE, nullptr)),
        creationError_(stopRequested_ ? ERROR_SUCCESS : ::GetLastError()) {}

  /// Set by a STOP or SHUTDOWN request; null when the event could not be created.
  HANDLE stopRequested() const { return stopRequested_.get(); }
  /// Why the event could not be created; ERROR_SUCCESS when it was.
  DWORD creationError() const { return creationError_; }
  /// The handler to register, with this object as its context.
  static DWORD WINAPI handle(DWORD control, DWORD eventType, void* eventData, void* context);

 private:
  platform::win32::UniqueKernelHandle stopRequested_;
  DWORD creationError_;
};

class ServiceHost {
 public:
  /// How long the program has to close by itself after it was asked to.
  static constexpr DWORD kGracePeriodMs = 10000;

  ServiceHost(std::string serviceName, ServiceControl& control);

  /// The work of ServiceMain: returns once the service has reported STOPPED.
  void run();

 private:
  void failToStart(StatusReporter& status, DWORD error, const std::string& what);
  void stopProgram(StatusReporter& status, const ProgramJob& program);
  void programExited(StatusReporter& status, const ProgramJob& program, const std::string& programPath);

  std::string serviceName_;
  EventLog log_;
  ServiceControl& control_;
};

}  // namespace tlv::tools
