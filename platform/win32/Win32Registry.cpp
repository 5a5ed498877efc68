// Win32 only: the registry port over advapi32's ANSI registry calls. The calls return their
// Win32 code directly; nothing here reads GetLastError().
#include "platform/win32/Win32Registry.h"

#include <cstdint>
#include <vector>

#include "platform/win32/Win32Security.h"
#include "platform/win32/Win32Support.h"

namespace tlv::platform::win32 {

namespace {

static_assert(sizeof(HKEY) == sizeof(RegKey), "a port key holds an HKEY of either edition");

HKEY toHkey(RegKey key) { return reinterpret_cast<HKEY>(static_cast<std::uintptr_t>(key)); }
RegKey toRegKey(HKEY key) { return static_cast<RegKey>(reinterpret_cast<std::uintptr_t>(key)); }

Result<RegKey> keyResult(LONG status, HKEY key) {
  if (status != ERROR_SUCCESS) return Result<RegKey>::failure(static_cast<Win32Error>(status));
  return Result<RegKey>::success(toRegKey(key));
}

}  // namespace

Result<RegKey> Win32Registry::doOpenKeyEx(RegKey parent, const std::string& subKey, std::uint32_t access) {
  HKEY opened = nullptr;
  const LONG status = ::RegOpenKeyExA(toHkey(parent), subKey.c_str(), 0, access, &opened);
  return keyResult(status, opened);
}

Result<RegKey> Win32Registry::doOpenKey(RegKey parent, const std::string& subKey) {
  HKEY opened = nullptr;
  const LONG status = ::RegOpenKeyA(toHkey(parent), subKey.c_str(), &opened);
  return keyResult(status, opened);
}

Result<RegKey> Win32Registry::doCreateKey(RegKey parent, const std::string& subKey) {
  HKEY created = nullptr;
  const LONG status = ::RegCreateKeyA(toHkey(parent), subKey.c_str(), &created);
  return keyResult(status, created);
}

Result<std::string> Win32Registry::enumKey(RegKey key, std::uint32_t index, std::uint32_t capacity) {
  std::vector<char> buffer(capacity + 1, '\0');
  DWORD length = capacity;
  const LONG status = ::RegEnumKeyExA(toHkey(key), index, buffer.data(), &length, nullptr, nullptr, nullptr, nullptr);
  if (status != ERROR_SUCCESS) return Result<std::string>::failure(static_cast<Win32Error>(status));
  return Result<std::string>::success(std::string(buffer.data(), length));
}

Result<RegValueEntry> Win32Registry::enumValue(RegKey key, std::uint32_t index, std::uint32_t nameCapacity,
                                               std::uint32_t dataCapacity) {
  std::vector<char> name(nameCapacity + 1, '\0');
  std::vector<BYTE> data(dataCapacity + 1, 0);
  DWORD nameLength = nameCapacity;
  DWORD type = REG_NONE;
  DWORD size = dataCapacity;
  const LONG status = ::RegEnumValueA(toHkey(key), index, name.data(), &nameLength, nullptr, &type, data.data(), &size);
  Result<RegValueEntry> result;
  result.error = static_cast<Win32Error>(status);
  if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA) return result;
  // On 234 the name length is not updated; the name is what was written up to its NUL.
  result.value.name = status == ERROR_SUCCESS ? std::string(name.data(), nameLength) : std::string(name.data());
  result.value.value.type = type;
  result.value.value.size = size;
  if (status == ERROR_SUCCESS) result.value.value.data.assign(reinterpret_cast<const char*>(data.data()), size);
  return result;
}

Result<RegValue> Win32Registry::queryValue(RegKey key, const std::string& name,
                                           std::optional<std::uint32_t> dataCapacity) {
  Result<RegValue> result;
  DWORD type = REG_NONE;
  DWORD size = dataCapacity.value_or(0);
  std::vector<BYTE> data(size + 1, 0);
  const LONG status =
      ::RegQueryValueExA(toHkey(key), name.c_str(), nullptr, &type, dataCapacity ? data.data() : nullptr, &size);
  result.error = static_cast<Win32Error>(status);
  if (status != ERROR_SUCCESS && status != ERROR_MORE_DATA) return result;
  result.value.type = type;
  result.value.size = size;
  if (status == ERROR_SUCCESS && dataCapacity) {
    result.value.data.assign(reinterpret_cast<const char*>(data.data()), size);
  }
  return result;
}

Win32Error Win32Registry::setValue(RegKey key, const std::string& name, std::uint32_t type, std::string_view data) {
  return static_cast<Win32Error>(::RegSetValueExA(
      toHkey(key), name.c_str(), 0, type, reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size())));
}

Win32Error Win32Registry::deleteKey(RegKey key, const std::string& subKey) {
  return static_cast<Win32Error>(::RegDeleteKeyA(toHkey(key), subKey.c_str()));
}

Win32Error Win32Registry::deleteValue(RegKey key, const std::string& name) {
  return static_cast<Win32Error>(::RegDeleteValueA(toHkey(key), name.c_str()));
}

Win32Error Win32Registry::closeKey(RegKey key) { return static_cast<Win32Error>(::RegCloseKey(toHkey(key))); }

Result<SecurityDescriptor> Win32Registry::keySecurity(RegKey key) {
  constexpr SECURITY_INFORMATION kWhat = OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION;
  DWORD size = 0;
  LONG error = ::RegGetKeySecurity(toHkey(key), kWhat, nullptr, &size);
  std::vector<BYTE> descriptor(size);
  if (error == ERROR_INSUFFICIENT_BUFFER) error = ::RegGetKeySecurity(toHkey(key), kWhat, descriptor.data(), &size);
  if (error != ERROR_SUCCESS) return Result<SecurityDescriptor>::failure(static_cast<Win32Error>(error));
  return descriptorOf(descriptor.data());
}

Win32Error Win32Registry::setKeySecurity(RegKey key, const SecurityDescriptor& security) {
  MadeDescriptor made;
  if (const DWORD error = made.make(security, 0)) return error;
  return static_cast<Win32Error>(::RegSetKeySecurity(
      toHkey(key), OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
      made.get()));
}

}  // namespace tlv::platform::win32
