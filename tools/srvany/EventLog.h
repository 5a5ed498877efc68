// Win32 only: srvany's entries in the Application event log, under the service's name.
#pragma once

#include <string>

#include "platform/win32/UniqueHandle.h"
#include "tools/srvany/HostRecord.h"

namespace tlv::tools {

class EventLog final : public RecordSink {
 public:
  /// Registers srvany's message table for the source (so the viewer shows the texts) and
  /// opens the source. Logging goes on without the registration; it is only prettier with it.
  /// Why the registration failed is left in registrationError() for the caller to record.
  explicit EventLog(const std::string& serviceName);

  void record(const HostRecord& entry) override;
  /// Empty when the source is registered.
  const std::string& registrationError() const { return registrationError_; }

 private:
  platform::win32::UniqueEventSource source_;
  std::string registrationError_;
};

}  // namespace tlv::tools
