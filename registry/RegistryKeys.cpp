// Portable: clsRegistryAccess construction, the path split and the key operations.
#include "registry/RegistryPath.h"
#include "registry/clsRegistryAccess.h"

namespace tlv::registry {

namespace {

using platform::RegKey;
using platform::ScopedRegKey;
namespace err = platform::err;

constexpr std::uint32_t kNameBuffer = 255;
// A name that does not fit the name buffer (Wine takes names of 256 characters) is read again
// with room for any name the calls can pass.
constexpr std::uint32_t kLongestKeyName = 32767;

RegKey rootOf(std::int32_t lRootKey) { return platform::predefinedKey(lRootKey); }

}  // namespace

clsRegistryAccess::clsRegistryAccess(platform::Platform& platform) : platform_(platform) {}

void clsRegistryAccess::CreateKeyIfDoesntExists(bool offon) { bCreateKey = offon; }

bool clsRegistryAccess::CreateKeyIfDoesntExists() const { return bCreateKey; }

void clsRegistryAccess::SplitRegPath(const std::string& sPath) {
  SplitPath split = splitRegPath(sPath);
  lRootKey = split.rootKey;
  sSubKey = std::move(split.subKey);
  lKeyHandle = platform::hkey::kNone;
}

platform::Result<ScopedRegKey> clsRegistryAccess::openSplitKey(std::optional<std::uint32_t> access) {
  if (lRootKey == 0) return platform::Result<ScopedRegKey>::failure(err::kInvalidHandle);
  if (access) return platform_.registry.openKeyEx(rootOf(lRootKey), sSubKey, *access);
  return platform_.registry.openKey(rootOf(lRootKey), sSubKey);
}

platform::Result<ScopedRegKey> clsRegistryAccess::createSplitKey() {
  if (lRootKey == 0) return platform::Result<ScopedRegKey>::failure(err::kInvalidHandle);
  return platform_.registry.createKey(rootOf(lRootKey), sSubKey);
}

std::int32_t clsRegistryAccess::CreateKey(const std::string& sPath) {
  SplitRegPath(sPath);
  const auto key = createSplitKey();
  if (!key.ok()) return 0;
  lKeyHandle = key.value.get();
  return platform::keyNumber(lKeyHandle);
}

std::int32_t clsRegistryAccess::KillKey(const std::string& sPath) {
  SplitRegPath(sPath);
  const auto key = openSplitKey(platform::keyaccess::kAllAccess);
  if (!key.ok()) return 0;
  lKeyHandle = key.value.get();
  // The system decides: a key that still has subkeys stays, and the result does not tell.
  static_cast<void>(platform_.registry.deleteKey(lKeyHandle, ""));
  return platform::keyNumber(lKeyHandle);
}

bool clsRegistryAccess::KeyExists(const std::string& sPath) {
  SplitRegPath(sPath);
  return openSplitKey(platform::keyaccess::kAllAccess).ok();
}

std::int32_t clsRegistryAccess::EnumKeys(const std::string& sPath, std::vector<std::string>& Key) {
  SplitRegPath(sPath);
  Key.clear();
  const auto key = openSplitKey(std::nullopt);
  if (!key.ok()) return -1;
  lKeyHandle = key.value.get();
  for (std::uint32_t index = 0;; ++index) {
    auto name = platform_.registry.enumKey(lKeyHandle, index, kNameBuffer);
    if (name.error == err::kMoreData) name = platform_.registry.enumKey(lKeyHandle, index, kLongestKeyName + 1);
    // Past the last subkey, or a key that went away while it was listed: what was found stands.
    if (!name.ok()) break;
    Key.push_back(std::move(name.value));
  }
  return static_cast<std::int32_t>(Key.size());
}

bool clsRegistryAccess::HaveSubkey(const std::string& sPath) {
  SplitRegPath(sPath);
  const auto key = openSplitKey(std::nullopt);
  if (!key.ok()) return false;
  const auto first = platform_.registry.enumKey(key.value.get(), 0, kNameBuffer);
  return first.ok() || first.error == err::kMoreData;
}

}  // namespace tlv::registry
