// Win32 only: what srvany does when it fails itself, on any of its threads: a C++ exception
// its thread did not expect, or a fault no `catch` sees (an access violation under MinGW).
#pragma once

#include <windows.h>

#include <mutex>
#include <string>

#include "tools/srvany/HostRecord.h"
#include "tools/srvany/ProgramWatch.h"

namespace tlv::tools {

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
  std::timed_mutex lock_;
  std::string serviceName_;
  SERVICE_STATUS_HANDLE status_ = nullptr;
  RecordSink* records_ = nullptr;
};

/// "exception 0xC0000005 at 0x...": what the system says of a fault.
std::string faultText(const EXCEPTION_RECORD& fault);

}  // namespace tlv::tools
