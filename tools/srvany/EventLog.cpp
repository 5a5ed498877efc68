// Win32 only: srvany's entries in the Application event log, under the service's name.
#include "tools/srvany/EventLog.h"

#include "SrvanyMessages.h"
#include "platform/win32/EventSource.h"
#include "tools/common/ErrorText.h"
#include "tools/common/ServiceKeys.h"

namespace tlv::tools {

EventLog::EventLog(const std::string& serviceName) {
  // The viewer finds the texts of the source's entries through its message file: srvany's
  // own message table, whose entries all show their text as given.
  const LONG registration = platform::win32::registerAsEventMessageFile(eventSourceKeyPath(serviceName));
  source_.reset(::RegisterEventSourceA(nullptr, serviceName.c_str()));
  if (registration != ERROR_SUCCESS) {
    warning("The event source " + serviceName + " could not be registered: " + errorText(registration));
  }
}

void EventLog::started(const std::string& text) { report(EVENTLOG_INFORMATION_TYPE, MSG_SRVANY_STARTED, text); }

void EventLog::stopped(const std::string& text, bool programWasEnded) {
  report(programWasEnded ? EVENTLOG_WARNING_TYPE : EVENTLOG_INFORMATION_TYPE, MSG_SRVANY_STOPPED, text);
}

void EventLog::failed(const std::string& text) { report(EVENTLOG_ERROR_TYPE, MSG_SRVANY_FAILED, text); }

void EventLog::warning(const std::string& text) { report(EVENTLOG_WARNING_TYPE, MSG_SRVANY_FAILED, text); }

void EventLog::report(WORD type, DWORD eventId, const std::string& text) {
  // Without a source, or when the log is full, the entry is lost: the service's state and
  // exit code still tell the outcome, and a log must never stop the service.
  if (!source_) return;
  const char* strings[] = {text.c_str()};
  ::ReportEventA(source_.get(), type, 0, eventId, nullptr, 1, 0, strings, nullptr);
}

}  // namespace tlv::tools
