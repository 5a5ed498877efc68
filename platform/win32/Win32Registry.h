// Win32 only: the registry port over advapi32's ANSI registry calls.
#pragma once

#include "platform/Registry.h"

namespace tlv::platform::win32 {

class Win32Registry final : public Registry {
 public:
  Result<std::string> enumKey(RegKey key, std::uint32_t index, std::uint32_t capacity) override;
  Result<RegValueEntry> enumValue(RegKey key, std::uint32_t index, std::uint32_t nameCapacity,
                                  std::uint32_t dataCapacity) override;
  Result<RegValue> queryValue(RegKey key, const std::string& name, std::optional<std::uint32_t> dataCapacity) override;
  Win32Error setValue(RegKey key, const std::string& name, std::uint32_t type, std::string_view data) override;
  Win32Error deleteKey(RegKey key, const std::string& subKey) override;
  Win32Error deleteValue(RegKey key, const std::string& name) override;
  Win32Error closeKey(RegKey key) override;
  Result<SecurityDescriptor> keySecurity(RegKey key) override;
  Win32Error setKeySecurity(RegKey key, const SecurityDescriptor& security) override;

 protected:
  Result<RegKey> doOpenKeyEx(RegKey parent, const std::string& subKey, std::uint32_t access) override;
  Result<RegKey> doOpenKey(RegKey parent, const std::string& subKey) override;
  Result<RegKey> doCreateKey(RegKey parent, const std::string& subKey) override;
};

}  // namespace tlv::platform::win32
