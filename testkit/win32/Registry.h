// Win32 only: registry values below HKEY_LOCAL_MACHINE as the Wine tests read them.
#pragma once

#include <optional>
#include <string>

namespace tlv::testing {

/// A value's data as stored, whatever its type; nothing when the key or value is missing.
std::optional<std::string> machineRegistryValue(const std::string& keyPath, const char* valueName);
/// A string value without its closing NUL, environment variables left as they are.
std::optional<std::string> machineRegistryString(const std::string& keyPath, const char* valueName);

}  // namespace tlv::testing
