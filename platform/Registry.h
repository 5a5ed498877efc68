// Portable: the registry port, the ANSI registry calls of advapi32 with their own return codes.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

#include "platform/Result.h"
#include "platform/Security.h"

namespace tlv::platform {

/// A registry key handle: an opaque value as wide as a pointer, so that it holds an HKEY of
/// either edition. The predefined roots are fixed values; every other handle is one that an
/// open or create call handed out.
enum class RegKey : std::uintptr_t {};

/// The handle of a predefined root from its 32-bit number. Windows defines the roots as
/// LONG values cast to HKEY, so a 64-bit program sees them sign-extended
/// (HKEY_LOCAL_MACHINE is 0xFFFFFFFF80000002 there).
constexpr RegKey predefinedKey(std::int32_t number) {
  return static_cast<RegKey>(static_cast<std::uintptr_t>(static_cast<std::intptr_t>(number)));
}

/// The low 32 bits of a handle's value, as the registry class reports a handle it used.
constexpr std::int32_t keyNumber(RegKey key) { return static_cast<std::int32_t>(static_cast<std::uintptr_t>(key)); }

/// The predefined root keys.
namespace hkey {
inline constexpr RegKey kClassesRoot = predefinedKey(static_cast<std::int32_t>(0x80000000U));
inline constexpr RegKey kCurrentUser = predefinedKey(static_cast<std::int32_t>(0x80000001U));
inline constexpr RegKey kLocalMachine = predefinedKey(static_cast<std::int32_t>(0x80000002U));
inline constexpr RegKey kUsers = predefinedKey(static_cast<std::int32_t>(0x80000003U));
inline constexpr RegKey kPerformanceData = predefinedKey(static_cast<std::int32_t>(0x80000004U));
inline constexpr RegKey kCurrentConfig = predefinedKey(static_cast<std::int32_t>(0x80000005U));
inline constexpr RegKey kDynData = predefinedKey(static_cast<std::int32_t>(0x80000006U));
/// No key: what a null HKEY is.
inline constexpr RegKey kNone{};
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
inline constexpr std::uint32_t kReadControl = 0x20000;
inline constexpr std::uint32_t kWriteDac = 0x40000;
inline constexpr std::uint32_t kWriteOwner = 0x80000;
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

class Registry;

/// Owns a key handle that the port handed out and closes it through the port when it goes
/// (LLVM's ScopedRegHandle, WIL's unique_hkey). Move-only. Closing a predefined root changes
/// nothing, so an owner may hold one.
class ScopedRegKey {
 public:
  ScopedRegKey() = default;
  ScopedRegKey(Registry& registry, RegKey key) : registry_(&registry), key_(key) {}
  ScopedRegKey(ScopedRegKey&& other) noexcept
      : registry_(std::exchange(other.registry_, nullptr)), key_(std::exchange(other.key_, hkey::kNone)) {}
  ScopedRegKey& operator=(ScopedRegKey&& other) noexcept {
    if (this != &other) {
      reset();
      registry_ = std::exchange(other.registry_, nullptr);
      key_ = std::exchange(other.key_, hkey::kNone);
    }
    return *this;
  }
  ScopedRegKey(const ScopedRegKey&) = delete;
  ScopedRegKey& operator=(const ScopedRegKey&) = delete;
  ~ScopedRegKey() { reset(); }

  RegKey get() const { return key_; }
  explicit operator bool() const { return registry_ != nullptr; }
  /// Gives the handle up without closing it.
  RegKey release() {
    registry_ = nullptr;
    return std::exchange(key_, hkey::kNone);
  }
  /// Closes the handle now: the close call's code, 0 when nothing was owned. The owner
  /// lets go of the handle even when the close fails, as RegCloseKey's callers must.
  Win32Error reset();

 private:
  Registry* registry_ = nullptr;
  RegKey key_ = hkey::kNone;
};

/// The port. Open and create hand back an owner; the calls themselves are the protected
/// do* members that each platform implements.
class Registry {
 public:
  virtual ~Registry() = default;

  /// RegOpenKeyExA: opens subKey of parent with the access asked for. An empty subKey of a
  /// predefined root gives the root itself back.
  [[nodiscard]] Result<ScopedRegKey> openKeyEx(RegKey parent, const std::string& subKey, std::uint32_t access) {
    return owned(doOpenKeyEx(parent, subKey, access));
  }
  /// RegOpenKeyA: opens subKey with the most access allowed. An empty subKey gives parent
  /// itself back, not a new handle: an owner of it closes parent.
  [[nodiscard]] Result<ScopedRegKey> openKey(RegKey parent, const std::string& subKey) {
    return owned(doOpenKey(parent, subKey));
  }
  /// RegCreateKeyA: opens subKey, creating it and its missing parents first.
  [[nodiscard]] Result<ScopedRegKey> createKey(RegKey parent, const std::string& subKey) {
    return owned(doCreateKey(parent, subKey));
  }
  /// RegEnumKeyExA: the name of the subkey at index. 234 when the name and its NUL do not
  /// fit in capacity characters, 259 past the last subkey.
  [[nodiscard]] virtual Result<std::string> enumKey(RegKey key, std::uint32_t index, std::uint32_t capacity) = 0;
  /// RegEnumValueA: the value at index. 234 when the name (with its NUL) or the data does not
  /// fit; the entry then carries the type, the size needed and, for a short name buffer,
  /// the name cut to fit. 259 past the last value.
  [[nodiscard]] virtual Result<RegValueEntry> enumValue(RegKey key, std::uint32_t index, std::uint32_t nameCapacity,
                                                        std::uint32_t dataCapacity) = 0;
  /// RegQueryValueExA: type and size of a value, and its bytes when a capacity is given
  /// (234 with the size needed when they do not fit). The empty name is the default value.
  [[nodiscard]] virtual Result<RegValue> queryValue(RegKey key, const std::string& name,
                                                    std::optional<std::uint32_t> dataCapacity) = 0;
  /// RegSetValueExA: stores the bytes as given, with the type given.
  [[nodiscard]] virtual Win32Error setValue(RegKey key, const std::string& name, std::uint32_t type,
                                            std::string_view data) = 0;
  /// RegDeleteKeyA: deletes subKey of key, or key itself for an empty subKey. A key that
  /// still has subkeys is refused.
  [[nodiscard]] virtual Win32Error deleteKey(RegKey key, const std::string& subKey) = 0;
  /// RegDeleteValueA.
  [[nodiscard]] virtual Win32Error deleteValue(RegKey key, const std::string& name) = 0;
  /// RegGetKeySecurity: the key's owner and access list (the key opened with READ_CONTROL).
  [[nodiscard]] virtual Result<SecurityDescriptor> keySecurity(RegKey key) = 0;
  /// RegSetKeySecurity: gives the key (opened with WRITE_DAC and WRITE_OWNER) the owner and
  /// the allowing entries, protected from its parent's list.
  [[nodiscard]] virtual Win32Error setKeySecurity(RegKey key, const SecurityDescriptor& security) = 0;
  /// RegCloseKey. Closing a predefined root succeeds and changes nothing. Owners call it.
  [[nodiscard]] virtual Win32Error closeKey(RegKey key) = 0;

 protected:
  [[nodiscard]] virtual Result<RegKey> doOpenKeyEx(RegKey parent, const std::string& subKey, std::uint32_t access) = 0;
  [[nodiscard]] virtual Result<RegKey> doOpenKey(RegKey parent, const std::string& subKey) = 0;
  [[nodiscard]] virtual Result<RegKey> doCreateKey(RegKey parent, const std::string& subKey) = 0;

 private:
  Result<ScopedRegKey> owned(Result<RegKey> opened) {
    if (!opened.ok()) return Result<ScopedRegKey>::failure(opened.error);
    return Result<ScopedRegKey>::success(ScopedRegKey(*this, opened.value));
  }
};

inline Win32Error ScopedRegKey::reset() {
  if (registry_ == nullptr) return err::kSuccess;
  Registry* registry = std::exchange(registry_, nullptr);
  return registry->closeKey(std::exchange(key_, hkey::kNone));
}

}  // namespace tlv::platform
