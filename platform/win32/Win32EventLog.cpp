// Win32 only: entries in the Application log under the source "TlvAsService". The program's
// message table (app/win32/TlvAsServiceMessages.mc) has one entry, number 1, that shows its
// text as given; the source names the program as its message file.
#include "platform/win32/Win32EventLog.h"

#include <vector>

#include "platform/win32/UniqueHandle.h"

namespace tlv::platform::win32 {

namespace {

constexpr char kSource[] = "TlvAsService";
constexpr char kSourceKey[] = "SYSTEM\\CurrentControlSet\\Services\\EventLog\\Application\\TlvAsService";
constexpr DWORD kWholeTextMessage = 1;

std::string ownModulePath() {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return std::string(buffer.data(), length);
    buffer.resize(buffer.size() * 2);
  }
}

// The viewer finds an entry's text through the source's EventMessageFile. Written on every
// report: the program may have moved since the last one.
LONG registerSource() {
  UniqueRegKey key;
  LONG error = ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSourceKey, 0, nullptr, 0, KEY_SET_VALUE, nullptr, key.put(),
                                 nullptr);
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

Win32Error Win32EventLog::report(std::uint16_t type, const std::string& text) {
  // Without the registration the entry is still written; the viewer then shows it with a
  // note that the source is unknown. So a failed registration does not stop the report.
  const LONG registration = registerSource();
  UniqueEventSource source(::RegisterEventSourceA(nullptr, kSource));
  if (!source) return ::GetLastError();
  const char* strings[] = {text.c_str()};
  if (!::ReportEventA(source.get(), type, 0, kWholeTextMessage, nullptr, 1, 0, strings, nullptr)) {
    return ::GetLastError();
  }
  return static_cast<Win32Error>(registration);
}

}  // namespace tlv::platform::win32
