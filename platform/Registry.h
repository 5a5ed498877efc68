// Portable: the registry port, the ANSI registry calls of advapi32 with their own return codes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "platform/Result.h"

namespace tlv::platform {

/// A registry key handle as its 32-bit numeric value. The predefined roots are fixed values;
/// every other handle is one that an open or create call handed out.
using RegKey = std::uint32_t;

/// The predefined root keys.
namespace hkey {
inline constexpr RegKey kClassesRoot = 0x80000000;
inline constexpr RegKey kCurrentUser = 0x80000001;
inline constexpr RegKey kLocalMachine = 0x80000002;
inline constexpr RegKey kUsers = 0x80000003;
inline constexpr RegKey kPerformanceData = 0x80000004;
inline constexpr RegKey kCurrentConfig = 0x80000005;
inline constexpr RegKey kDynData = 0x80000006;
}  // namespace hkey

/// Registry value type codes.
namespace regtype {
inline constexpr std::uint32_t kNone = 0;
inline constexpr std::uint32_t kString = 1;
inline constexpr std::uint32_t kExpandString = 2;
inline constexpr std::uint32_t kBinary = 3;
inline constexpr std::uint32_t kDword = 4;
inline constexpr std::uint32_t kMultiString = 7;
}  // namespace regtype

/// Access rights of a key handle.
namespace keyaccess {
inline constexpr std::uint32_t kQueryValue = 0x0001;
inline constexpr std::uint32_t kSetValue = 0x0002;
inline constexpr std::uint32_t kCreateSubKey = 0x0004;
inline constexpr std::uint32_t kEnumerateSubKeys = 0x0008;
inline constexpr std::uint32_t kDelete = 0x10000;
inline constexpr std::uint32_t kRead = 0x20019;
inline constexpr std::uint32_t kWrite = 0x20006;
inline constexpr std::uint32_t kAllAccess = 0xF003F;
}  // namespace keyaccess

/// Codes that only the registry calls give.
namespace err {
inline constexpr Win32Error kBadPathname = 161;
inline constexpr Win32Error kKeyDeleted = 1018;
}  // namespace err

/// What a query or an enumeration found of one value.
struct RegValue {
  std::uint32_t type = regtype::kNone;
  /// Bytes the value holds as the call reports them; on error 234 the size it would need.
  std::uint32_t size = 0;
  /// The bytes, when they were asked for and fitted.
  std::string data;
};

/// One value of an enumeration: its name and what it holds.
struct RegValueEntry {
  std::string name;
  RegValue value;
};

class Registry {
 public:
  virtual ~Registry() = default;

  /// RegOpenKeyExA: opens subKey of parent with the access asked for. An empty subKey of a
  /// predefined root gives the root itself back.
  virtual Result<RegKey> openKeyEx(RegKey parent, const std::string& subKey, std::uint32_t access) = 0;
  /// RegOpenKeyA: opens subKey with the most access allowed; an empty subKey gives parent back.
  virtual Result<RegKey> openKey(RegKey parent, const std::string& subKey) = 0;
  /// RegCreateKeyA: opens subKey, creating it and its missing parents first.
  virtual Result<RegKey> createKey(RegKey parent, const std::string& subKey) = 0;
  /// RegEnumKeyExA: the name of the subkey at index. 234 when the name and its NUL do not
  /// fit in capacity characters, 259 past the last subkey.
  virtual Result<std::string> enumKey(RegKey key, std::uint32_t index, std::uint32_t capacity) = 0;
  /// RegEnumValueA: the value at index. 234 when the name (with its NUL) or the data does not
  /// fit; the entry then carries the type, the size needed and, for a short name buffer,
  /// the name cut to fit. 259 past the last value.
  virtual Result<RegValueEntry> enumValue(RegKey key, std::uint32_t index, std::uint32_t nameCapacity,
                                          std::uint32_t dataCapacity) = 0;
  /// RegQueryValueExA: type and size of a value, and its bytes when a capacity is given
  /// (234 with the size needed when they do not fit). The empty name is the default value.
  virtual Result<RegValue> queryValue(RegKey key, const std::string& name,
                                      std::optional<std::uint32_t> dataCapacity) = 0;
  /// RegSetValueExA: stores the bytes as given, with the type given.
  virtual Win32Error setValue(RegKey key, const std::string& name, std::uint32_t type, std::string_view data) = 0;
  /// RegDeleteKeyA: deletes subKey of key, or key itself for an empty subKey. A key that
  /// still has subkeys is refused.
  virtual Win32Error deleteKey(RegKey key, const std::string& subKey) = 0;
  /// RegDeleteValueA.
  virtual Win32Error deleteValue(RegKey key, const std::string& name) = 0;
  /// RegCloseKey. Closing a predefined root succeeds and changes nothing.
  virtual Win32Error closeKey(RegKey key) = 0;
};

}  // namespace tlv::platform
