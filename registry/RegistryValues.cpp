// Portable: the value operations of clsRegistryAccess: strings, 32-bit numbers and binary
// data (as hex text), their tests, deletion and listing.
#include <algorithm>

#include "registry/HexText.h"
#include "registry/TextRules.h"
#include "registry/clsRegistryAccess.h"

namespace tlv::registry {

namespace {

using platform::RegKey;
namespace err = platform::err;
namespace keyaccess = platform::keyaccess;
namespace regtype = platform::regtype;

// String reads go through a buffer of this many bytes, the NUL included.
constexpr std::uint32_t kStringBuffer = 255;
constexpr std::uint32_t kEnumNameBuffer = 255;
constexpr std::uint32_t kEnumDataBuffer = 255;
constexpr std::uint32_t kLongestValueName = 16383;

std::string trimmed(std::string_view text) { return std::string(trimSpaces(text)); }

// The text a string read gives: the bytes as they lie at the start of a buffer of spaces,
// trimmed, less their final character, which is the terminating NUL.
std::string textOfStringRead(const std::string& data) {
  std::string text = trimmed(data);
  if (!text.empty()) text.pop_back();
  return text;
}

std::string dwordBytes(std::int32_t value) {
  const auto bits = static_cast<std::uint32_t>(value);
  std::string bytes(4, '\0');
  for (int i = 0; i < 4; ++i) bytes[i] = static_cast<char>((bits >> (8 * i)) & 0xFF);
  return bytes;
}

std::int32_t dwordOf(const std::string& data) {
  std::uint32_t bits = 0;
  for (std::size_t i = 0; i < data.size() && i < 4; ++i) {
    bits |= static_cast<std::uint32_t>(static_cast<unsigned char>(data[i])) << (8 * i);
  }
  return static_cast<std::int32_t>(bits);
}

}  // namespace

std::int32_t clsRegistryAccess::writeValue(const std::string& sPath, const std::string& name, std::uint32_t type,
                                           const std::string& bytes) {
  if (!KeyExists(sPath)) {
    if (!bCreateKey) return 0;
    CreateKey(sPath);  // not examined: a key that is still missing fails the open below
  }
  // The write goes through a handle opened for writing, whatever rights the existence test
  // or the create call had: a key that refuses any right of KEY_WRITE is not written.
  SplitRegPath(sPath);
  const auto key = openSplitKey(keyaccess::kWrite);
  if (!key.ok()) return 0;
  return storeValue(key.value.get(), name, type, bytes);
}

std::int32_t clsRegistryAccess::storeValue(RegKey key, const std::string& name, std::uint32_t type,
                                           const std::string& bytes) {
  lKeyHandle = key;
  if (platform_.registry.setValue(key, name, type, bytes) != err::kSuccess) return 0;
  return platform::keyNumber(key);
}

std::int32_t clsRegistryAccess::WriteString(const std::string& sPath, const std::string& sName,
                                            const std::string& sValue) {
  const std::string name = sName == "@" ? std::string() : sName;
  return writeValue(sPath, name, regtype::kString, sValue + '\0');
}

std::string clsRegistryAccess::ReadString(const std::string& sPath, const std::string& sName,
                                          const std::string& sDefault) {
  SplitRegPath(sPath);
  const auto key = openSplitKey(keyaccess::kRead);
  if (!key.ok()) return sDefault;
  lKeyHandle = key.value.get();
  const auto value = platform_.registry.queryValue(lKeyHandle, sName, kStringBuffer);
  if (!value.ok()) return sDefault;
  return textOfStringRead(value.value.data);
}

std::int32_t clsRegistryAccess::WriteDWORD(const std::string& sPath, const std::string& sName, std::int32_t lValue) {
  return writeValue(sPath, sName, regtype::kDword, dwordBytes(lValue));
}

std::int32_t clsRegistryAccess::ReadDWORD(const std::string& sPath, const std::string& sName, std::int32_t lDefault) {
  SplitRegPath(sPath);
  const auto key = openSplitKey(keyaccess::kRead);
  if (!key.ok()) return lDefault;
  lKeyHandle = key.value.get();
  const auto value = platform_.registry.queryValue(lKeyHandle, sName, 4);
  if (!value.ok()) return lDefault;
  return dwordOf(value.value.data);
}

std::int32_t clsRegistryAccess::WriteBinary(const std::string& sPath, const std::string& sName,
                                            const std::string& sValue) {
  std::string hexText = sValue;  // StrToBin cleans its argument; the caller's text stays as given
  return writeValue(sPath, sName, regtype::kBinary, StrToBin(hexText));
}

std::string clsRegistryAccess::ReadBinary(const std::string& sPath, const std::string& sName,
                                          const std::string& sDefault) {
  SplitRegPath(sPath);
  const auto key = openSplitKey(keyaccess::kRead);
  if (!key.ok()) return sDefault;
  lKeyHandle = key.value.get();
  // A first query learns the size; a missing value leaves it at one byte and fails below.
  const auto probe = platform_.registry.queryValue(lKeyHandle, sName, 1);
  const std::uint32_t size = probe.ok() || probe.error == err::kMoreData ? probe.value.size : 1;
  const auto value = platform_.registry.queryValue(lKeyHandle, sName, size);
  if (!value.ok()) return sDefault;
  return trimmed(BinToStr(value.value.data));
}

std::int32_t clsRegistryAccess::KillValue(const std::string& sPath, const std::string& sName) {
  SplitRegPath(sPath);
  const auto key = openSplitKey(keyaccess::kSetValue);
  if (!key.ok()) return 0;
  lKeyHandle = key.value.get();
  static_cast<void>(platform_.registry.deleteValue(lKeyHandle, sName));  // a missing value is no failure here
  return platform::keyNumber(lKeyHandle);
}

bool clsRegistryAccess::ValueExists(const std::string& sPath, const std::string& sName) {
  SplitRegPath(sPath);
  const auto key = openSplitKey(keyaccess::kRead);
  if (!key.ok()) return false;
  lKeyHandle = key.value.get();
  return platform_.registry.queryValue(lKeyHandle, sName, std::nullopt).ok();
}

platform::Result<platform::RegValueEntry> clsRegistryAccess::enumValueAt(RegKey key, std::uint32_t index) {
  auto entry = platform_.registry.enumValue(key, index, kEnumNameBuffer, kEnumDataBuffer);
  if (entry.error == err::kMoreData) {
    entry = platform_.registry.enumValue(key, index, kLongestValueName + 1,
                                         std::max(entry.value.value.size, kEnumDataBuffer));
  }
  return entry;
}

std::optional<std::vector<clsRegistryAccess::ListedValue>> clsRegistryAccess::listValues(const std::string& sPath,
                                                                                         std::int32_t OnlyType) {
  SplitRegPath(sPath);
  const auto key = openSplitKey(std::nullopt);
  if (!key.ok()) return std::nullopt;
  std::vector<ListedValue> listed;
  for (std::uint32_t index = 0;; ++index) {
    const auto entry = enumValueAt(key.value.get(), index);
    // Past the last value, or a key that went away while it was listed: what was found stands.
    if (!entry.ok()) break;
    const platform::RegValue& value = entry.value.value;
    if (OnlyType != -1 && static_cast<std::uint32_t>(OnlyType) != value.type) continue;
    ListedValue item{trimmed(entry.value.name), value.type, std::monostate{}};
    // Strings and numbers are what ReadString and ReadDWORD give for the listed name. The
    // enumeration already holds those bytes, unless trimming changed the name.
    const bool sameName = item.name == entry.value.name;
    if (value.type == regtype::kBinary) {
      item.value = trimmed(BinToStr(value.data));
    } else if (value.type == regtype::kDword) {
      item.value = !sameName ? ReadDWORD(sPath, item.name, 0) : value.data.size() <= 4 ? dwordOf(value.data) : 0;
    } else if (value.type == regtype::kString) {
      item.value = !sameName                            ? ReadString(sPath, item.name, "")
                   : value.data.size() <= kStringBuffer ? textOfStringRead(value.data)
                                                        : std::string();
    }
    listed.push_back(std::move(item));
  }
  return listed;
}

std::int32_t clsRegistryAccess::EnumValues(const std::string& sPath, std::vector<std::string>& sName,
                                           std::vector<RegistryVariant>& sValue, std::int32_t OnlyType) {
  auto listed = listValues(sPath, OnlyType);
  if (!listed) return -1;
  sName.clear();
  sValue.clear();
  for (ListedValue& item : *listed) {
    sName.push_back(std::move(item.name));
    sValue.push_back(std::move(item.value));
  }
  return static_cast<std::int32_t>(sName.size());
}

}  // namespace tlv::registry
