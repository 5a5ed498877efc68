// Win32 only: srvany's entries in the Application event log, under the service's name.
#include "tools/srvany/EventLog.h"

#include "SrvanyMessages.h"
#include "platform/Result.h"
#include "platform/win32/EventSource.h"
#include "tools/common/ErrorText.h"
#include "tools/common/ServiceKeys.h"

namespace tlv::tools {

// The event ids are the message table's: an entry whose id has no message shows no text.
static_assert(MSG_HOST_STARTED == static_cast<DWORD>(HostEvent::Started));
static_assert(MSG_HOST_CLOSE_ASKED == static_cast<DWORD>(HostEvent::CloseAsked));
static_assert(MSG_HOST_CLOSED_IN_TIME == static_cast<DWORD>(HostEvent::ClosedInTime));
static_assert(MSG_HOST_ENDED_AFTER_GRACE == static_cast<DWORD>(HostEvent::EndedAfterGrace));
static_assert(MSG_HOST_EXITED_BY_ITSELF == static_cast<DWORD>(HostEvent::ExitedByItself));
static_assert(MSG_HOST_SHUTDOWN_CLOSE_ASKED == static_cast<DWORD>(HostEvent::ShutdownCloseAsked));
static_assert(MSG_HOST_EXITED_AT_SHUTDOWN == static_cast<DWORD>(HostEvent::ExitedAtShutdown));
static_assert(MSG_HOST_START_FAILED == static_cast<DWORD>(HostEvent::StartFailed));
static_assert(MSG_HOST_FAILED == static_cast<DWORD>(HostEvent::HostFailed));
static_assert(MSG_HOST_WARNING == static_cast<DWORD>(HostEvent::HostWarning));
static_assert(MSG_WATCH_PROGRAM_HUNG == static_cast<DWORD>(HostEvent::ProgramHung));
static_assert(MSG_WATCH_PROGRAM_ANSWERS == static_cast<DWORD>(HostEvent::ProgramAnswers));
static_assert(MSG_WATCH_BOX_SHOWN == static_cast<DWORD>(HostEvent::BoxShown));
static_assert(MSG_WATCH_BOX_CLOSED == static_cast<DWORD>(HostEvent::BoxClosed));
static_assert(MSG_WATCH_HUNG_PROGRAM_ENDED == static_cast<DWORD>(HostEvent::HungProgramEnded));
static_assert(MSG_WATCH_BOX_PROGRAM_ENDED == static_cast<DWORD>(HostEvent::BoxProgramEnded));

EventLog::EventLog(const std::string& serviceName) {
  // The viewer finds the texts of the source's entries through its message file: srvany's
  // own message table, whose entries all show their text as given.
  const LONG registration = platform::win32::registerAsEventMessageFile(eventSourceKeyPath(serviceName));
  source_.reset(::RegisterEventSourceA(nullptr, serviceName.c_str()));
  if (registration == static_cast<LONG>(platform::err::kMessageFileUnprotected)) {
    registrationError_ = "The event source " + serviceName +
                         " is not registered: srvany.exe is not in a folder only administrators can change";
  } else if (registration != ERROR_SUCCESS) {
    registrationError_ = "The event source " + serviceName + " could not be registered: " + errorText(registration);
  }
}

void EventLog::record(const HostRecord& entry) {
  // Without a source, or when the log is full, the entry is lost: the service's state and
  // exit code still tell the outcome, and a log must never stop the service.
  if (!source_) return;
  const WORD type = entry.severity == Severity::Error     ? EVENTLOG_ERROR_TYPE
                    : entry.severity == Severity::Warning ? EVENTLOG_WARNING_TYPE
                                                          : EVENTLOG_INFORMATION_TYPE;
  const char* strings[] = {entry.text.c_str()};
  ::ReportEventA(source_.get(), type, 0, static_cast<DWORD>(entry.event), nullptr, 1, 0, strings, nullptr);
}

}  // namespace tlv::tools
