// Win32 only: srvany's entries in the Application event log, under the service's name.
#include "tools/srvany/EventLog.h"

#include <vector>

#include "SrvanyMessages.h"
#include "platform/win32/UniqueHandle.h"
#include "tools/common/ErrorText.h"
#include "tools/common/ServiceKeys.h"

namespace tlv::tools {
namespace {

using platform::win32::UniqueRegKey;

std::string ownModulePath() {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return std::string(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

// The viewer finds the texts of a source's entries through EventMessageFile: srvany's own
// message table, whose entries all show their text as given.
LONG registerMessageFile(const std::string& serviceName) {
  UniqueRegKey key;
  LONG error = ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, eventSourceKeyPath(serviceName).c_str(), 0, nullptr, 0,
                                 KEY_SET_VALUE, nullptr, key.put(), nullptr);
  if (error != ERROR_SUCCESS) return error;
  const std::string module = ownModulePath();
  error = ::RegSetValueExA(key.get(), "EventMessageFile", 0, REG_EXPAND_SZ,
                           reinterpret_cast<const BYTE*>(module.c_str()), static_cast<DWORD>(module.size() + 1));
  if (error != ERROR_SUCCESS) return error;
  const DWORD types = EVENTLOG_ERROR_TYPE | EVENTLOG_WARNING_TYPE | EVENTLOG_INFORMATION_TYPE;
  return ::RegSetValueExA(key.get(), "TypesSupported", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&types),
                          sizeof types);
}

}  // namespace

EventLog::EventLog(const std::string& serviceName) {
  const LONG registration = registerMessageFile(serviceName);
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
