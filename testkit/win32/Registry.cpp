// Win32 only: registry values below HKEY_LOCAL_MACHINE as the Wine tests read them.
#include "testkit/win32/Registry.h"

#include "platform/win32/UniqueHandle.h"

namespace tlv::testing {

std::optional<std::string> machineRegistryValue(const std::string& keyPath, const char* valueName) {
  platform::win32::UniqueRegKey key;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, keyPath.c_str(), 0, KEY_READ, key.put()) != ERROR_SUCCESS) return {};
  DWORD size = 0;
  if (::RegQueryValueExA(key.get(), valueName, nullptr, nullptr, nullptr, &size) != ERROR_SUCCESS) return {};
  std::string data(size, '\0');
  if (::RegQueryValueExA(key.get(), valueName, nullptr, nullptr, reinterpret_cast<BYTE*>(data.data()), &size) !=
      ERROR_SUCCESS) {
    return {};
  }
  data.resize(size);
  return data;
}

std::optional<std::string> machineRegistryString(const std::string& keyPath, const char* valueName) {
  char buffer[1024] = {};
  DWORD size = sizeof buffer;
  if (::RegGetValueA(HKEY_LOCAL_MACHINE, keyPath.c_str(), valueName,
                     RRF_RT_REG_SZ | RRF_RT_REG_EXPAND_SZ | RRF_NOEXPAND, nullptr, buffer, &size) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  return std::string(buffer);
}

}  // namespace tlv::testing
