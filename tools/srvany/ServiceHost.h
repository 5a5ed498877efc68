// Win32 only: srvany's service: starts the program, stands for it, stops it on request.
#pragma once

#include <string>

#include "platform/win32/UniqueHandle.h"
#include "tools/srvany/EventLog.h"
#include "tools/srvany/ProgramJob.h"
#include "tools/srvany/StatusReporter.h"

namespace tlv::tools {

class ServiceHost {
 public:
  /// How long the program has to close by itself after it was asked to.
  static constexpr DWORD kGracePeriodMs = 10000;

  explicit ServiceHost(std::string serviceName);

  /// The work of ServiceMain: returns once the service has reported STOPPED.
  void run();

 private:
  static DWORD WINAPI handleControl(DWORD control, DWORD eventType, void* eventData, void* context);
  void failToStart(StatusReporter& status, DWORD error, const std::string& what);
  void stopProgram(StatusReporter& status, const ProgramJob& program);
  void programExited(StatusReporter& status, const ProgramJob& program, const std::string& programPath);

  std::string serviceName_;
  EventLog log_;
  // Set by the control handler on the dispatcher thread; created before the service
  // reports RUNNING, the first state in which it takes a control that sets it.
  platform::win32::UniqueKernelHandle stopRequested_;
};

}  // namespace tlv::tools
