// Win32 only: srvany's entries in the Application event log, under the service's name.
#pragma once

#include <string>

#include "platform/win32/UniqueHandle.h"

namespace tlv::tools {

class EventLog {
 public:
  /// Registers srvany's message table for the source (so the viewer shows the texts) and
  /// opens the source. Logging goes on without the registration; it is only prettier with it.
  explicit EventLog(const std::string& serviceName);

  void started(const std::string& text);
  void stopped(const std::string& text, bool programWasEnded);
  void failed(const std::string& text);
  void warning(const std::string& text);

 private:
  void report(WORD type, DWORD eventId, const std::string& text);

  platform::win32::UniqueEventSource source_;
};

}  // namespace tlv::tools
