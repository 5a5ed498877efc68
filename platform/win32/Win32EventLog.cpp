// Win32 only: entries in the Application log under the source "TlvAsService". The program's
// message table (app/win32/TlvAsServiceMessages.mc) has one entry, number 1, that shows its
// text as given; the source names the program as its message file.
#include "platform/win32/Win32EventLog.h"

#include "platform/win32/EventSource.h"
#include "platform/win32/UniqueHandle.h"

namespace tlv::platform::win32 {

namespace {

constexpr char kSource[] = "TlvAsService";
constexpr char kSourceKey[] = "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\TlvAsService";

}  // namespace

Win32Error Win32EventLog::report(std::uint16_t type, const std::string& text) {
  // Without the registration the entry is still written; the viewer then shows it with a
  // note that the source is unknown. So a failed registration does not stop the report.
  // Written on every report: the program may have moved since the last one.
  const LONG registration = registerAsEventMessageFile(kSourceKey);
  UniqueEventSource source(::RegisterEventSourceA(nullptr, kSource));
  if (!source) return ::GetLastError();
  const char* strings[] = {text.c_str()};
  if (!::ReportEventA(source.get(), type, 0, kWholeTextMessage, nullptr, 1, 0, strings, nullptr)) {
    return ::GetLastError();
  }
  return static_cast<Win32Error>(registration);
}

}  // namespace tlv::platform::win32
