// Portable: the value operations of clsRegistryAccess: strings, 32-bit numbers and binary
// data (as hex text), their tests, deletion and listing.
#include <algorithm>

#include "registry/HexText.h"
#include "registry/OpenedKey.h"
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

std::string trimSpaces(std::string text) {
  const std::size_t first = text.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(' ') - first + 1);
}

// The text a string read gives: the bytes as they lie at the start of a buffer of spaces,
// trimmed, less their final character, which is the terminating NUL.
std::string textOfStringRead(const std::string& data) {
  std::string text = trimSpaces(data);
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

bool clsRegistryAccess::writePreamble(const std::string& sPath) {
  if (!KeyExists(sPath)) {
    if (!bCreateKey) return false;
    // Not examined: when the key is still missing, the open for writing fails.
    CreateKey(sPath);
  }
  SplitRegPath(sPath);
  return true;
}

std::int32_t clsRegistryAccess::storeValue(const std::string& name, std::uint32_t type, const std::string& bytes) {
  OpenedKey key(platform_.registry, openSplitKey(keyaccess::kWrite));
  if (!key.ok()) return 0;
  lKeyHandle = key.get();
  if (platform_.registry.setValue(lKeyHandle, name, type, bytes) != err::kSuccess) return 0;
  return static_cast<std::int32_t>(lKeyHandle);
}

std::int32_t clsRegistryAccess::WriteString(const std::string& sPath, const std::string& sName,
                                            const std::string& sValue) {
  if (!writePreamble(sPath)) return 0;
  const std::string name = sName == "@" ? std::string() : sName;
  return storeValue(name, regtype::kString, sValue + '\0');
}

std::string clsRegistryAccess::ReadString(const std::string& sPath, const std::string& sName,
                                          const std::string& sDefault) {
  SplitRegPath(sPath);
  OpenedKey key(platform_.registry, openSplitKey(keyaccess::kRead));
  if (!key.ok()) return sDefault;
  lKeyHandle = key.get();
  const auto value = platform_.registry.queryValue(lKeyHandle, sName, kStringBuffer);
  if (!value.ok()) return sDefault;
  return textOfStringRead(value.value.data);
}

std::int32_t clsRegistryAccess::WriteDWORD(const std::string& sPath, const std::string& sName, std::int32_t lValue) {
  if (!writePreamble(sPath)) return 0;
  return storeValue(sName, regtype::kDword, dwordBytes(lValue));
}

std::int32_t clsRegistryAccess::ReadDWORD(const std::string& sPath, const std::string& sName, std::int32_t lDefault) {
  SplitRegPath(sPath);
  OpenedKey key(platform_.registry, openSplitKey(keyaccess::kRead));
  if (!key.ok()) return lDefault;
  lKeyHandle = key.get();
  const auto value = platform_.registry.queryValue(lKeyHandle, sName, 4);
  if (!value.ok()) return lDefault;
  return dwordOf(value.value.data);
}

std::int32_t clsRegistryAccess::WriteBinary(const std::string& sPath, const std::string& sName,
                                            const std::string& sValue) {
  if (!writePreamble(sPath)) return 0;
  std::string hexText = sValue;  // StrToBin cleans its argument; the caller's text stays as given
  return storeValue(sName, regtype::kBinary, StrToBin(hexText));
}

std::string clsRegistryAccess::ReadBinary(const std::string& sPath, const std::string& sName,
                                          const std::string& sDefault) {
  SplitRegPath(sPath);
  OpenedKey key(platform_.registry, openSplitKey(keyaccess::kRead));
  if (!key.ok()) return sDefault;
  lKeyHandle = key.get();
  // A first query learns the size; a missing value leaves it at one byte and fails below.
  const auto probe = platform_.registry.queryValue(lKeyHandle, sName, 1);
  const std::uint32_t size = probe.ok() || probe.error == err::kMoreData ? probe.value.size : 1;
  const auto value = platform_.registry.queryValue(lKeyHandle, sName, size);
  if (!value.ok()) return sDefault;
  return trimSpaces(BinToStr(value.value.data));
}

std::int32_t clsRegistryAccess::KillValue(const std::string& sPath, const std::string& sName) {
  SplitRegPath(sPath);
  OpenedKey key(platform_.registry, openSplitKey(keyaccess::kSetValue));
  if (!key.ok()) return 0;
  lKeyHandle = key.get();
  platform_.registry.deleteValue(lKeyHandle, sName);  // a missing value is no failure here
  return static_cast<std::int32_t>(lKeyHandle);
}

bool clsRegistryAccess::ValueExists(const std::string& sPath, const std::string& sName) {
  SplitRegPath(sPath);
  OpenedKey key(platform_.registry, openSplitKey(keyaccess::kRead));
  if (!key.ok()) return false;
  lKeyHandle = key.get();
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

RegistryVariant clsRegistryAccess::listedValue(const std::string& sPath, const platform::RegValueEntry& entry,
                                               const std::string& name) {
  switch (entry.value.type) {
    case regtype::kBinary:
      return entry.value.data.empty() ? std::string() : trimSpaces(BinToStr(entry.value.data));
    case regtype::kDword:
      return ReadDWORD(sPath, name, 0);
    case regtype::kString:
      return ReadString(sPath, name, "");
    default:
      return std::monostate{};
  }
}

std::int32_t clsRegistryAccess::EnumValues(const std::string& sPath, std::vector<std::string>& sName,
                                           std::vector<RegistryVariant>& sValue, std::int32_t OnlyType) {
  SplitRegPath(sPath);
  OpenedKey key(platform_.registry, openSplitKey(std::nullopt));
  if (!key.ok()) return -1;
  sName.clear();
  sValue.clear();
  for (std::uint32_t index = 0;; ++index) {
    const auto entry = enumValueAt(key.get(), index);
    // Past the last value, or a key that went away while it was listed: what was found stands.
    if (!entry.ok()) break;
    if (OnlyType != -1 && static_cast<std::uint32_t>(OnlyType) != entry.value.value.type) continue;
    std::string name = trimSpaces(entry.value.name);
    sValue.push_back(listedValue(sPath, entry.value, name));
    sName.push_back(std::move(name));
  }
  return static_cast<std::int32_t>(sName.size());
}

}  // namespace tlv::registry
