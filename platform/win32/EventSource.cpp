// Win32 only: the running executable and its registration as an event message file.
#include "platform/win32/EventSource.h"

#include <vector>

#include "platform/win32/UniqueHandle.h"

namespace tlv::platform::win32 {

std::string runningModulePath() {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return std::string(buffer.data(), length);
    buffer.resize(buffer.size() * 2);  // truncated: a long path
  }
}

LONG registerAsEventMessageFile(const std::string& sourceKeyPath) {
  UniqueRegKey key;
  LONG error = ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, sourceKeyPath.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                 key.put(), nullptr);
  if (error != ERROR_SUCCESS) return error;
  const std::string module = runningModulePath();
  error = ::RegSetValueExA(key.get(), "EventMessageFile", 0, REG_EXPAND_SZ,
                           reinterpret_cast<const BYTE*>(module.c_str()), static_cast<DWORD>(module.size() + 1));
  if (error != ERROR_SUCCESS) return error;
  const DWORD types = EVENTLOG_ERROR_TYPE | EVENTLOG_WARNING_TYPE | EVENTLOG_INFORMATION_TYPE;
  return ::RegSetValueExA(key.get(), "TypesSupported", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&types),
                          sizeof types);
}

}  // namespace tlv::platform::win32
