// Portable: who may replace what the service runs.
#include "app/WhoMayReplace.h"

#include <array>
#include <cstdint>
#include <string_view>
#include <utility>

namespace tlv::app {
namespace {

namespace right {
constexpr std::uint32_t kWriteData = 0x0002;  // a file's data; a folder: add a file; a key or a service: set a value, change the configuration
constexpr std::uint32_t kAppendData = 0x0004;  // a file: append; a key: add a subkey
constexpr std::uint32_t kDeleteChild = 0x0040;
constexpr std::uint32_t kDelete = 0x00010000;
constexpr std::uint32_t kWriteDac = 0x00040000;
constexpr std::uint32_t kWriteOwner = 0x00080000;
constexpr std::uint32_t kGenericAll = 0x10000000;
constexpr std::uint32_t kGenericWrite = 0x40000000;
}  // namespace right

constexpr std::uint32_t kEveryRight = 0x001F01FF;

// The rights that replace what runs, and what generic write means for each kind of object.
// Adding a subfolder (FILE_ADD_SUBDIRECTORY, also a drive root's "create folders") replaces
// nothing and is no such right.
struct Kind {
  std::uint32_t dangerous;
  std::uint32_t genericWrite;
};

Kind kindOf(Guarded guarded) {
  using namespace right;
  constexpr std::uint32_t kDescriptor = kDelete | kWriteDac | kWriteOwner;
  constexpr std::uint32_t kFileGenericWrite = 0x00120116;  // data, append, attributes, extended attributes
  switch (guarded) {
    case Guarded::ProgramFile:
      return {kDescriptor | kWriteData | kAppendData, kFileGenericWrite};
    case Guarded::ProgramFolder:
      return {kDescriptor | kWriteData | kDeleteChild, kFileGenericWrite};
    case Guarded::FolderAbove:
      return {kDescriptor | kDeleteChild, kFileGenericWrite};
    case Guarded::Key:
      return {kDescriptor | kWriteData | kAppendData, 0x00020006};  // KEY_WRITE
    case Guarded::Service:
      return {kDescriptor | kWriteData, 0x00020002};  // SERVICE_CHANGE_CONFIG
  }
  return {kEveryRight, kEveryRight};
}

std::string rightsText(std::uint32_t rights, Guarded guarded) {
  const bool folder = guarded == Guarded::ProgramFolder || guarded == Guarded::FolderAbove;
  const std::array<std::pair<std::uint32_t, std::string_view>, 6> names{{
      {right::kWriteData, folder                      ? "add files"
                          : guarded == Guarded::Key   ? "set values"
                          : guarded == Guarded::Service ? "change its configuration"
                                                        : "write"},
      {right::kAppendData, guarded == Guarded::Key ? "add keys" : "append"},
      {right::kDeleteChild, "delete or rename what it holds"},
      {right::kDelete, "delete or rename it"},
      {right::kWriteDac, "change its access list"},
      {right::kWriteOwner, "take ownership"},
  }};
  std::string text;
  for (const auto& [bit, name] : names) {
    if (rights & bit) text += (text.empty() ? "" : ", ") + std::string(name);
  }
  return text;
}

std::string trusteeText(const std::string& sid) {
  constexpr std::array<std::pair<std::string_view, std::string_view>, 6> kNames{{
      {platform::sid::kEveryone, "Everyone"},
      {"S-1-5-11", "Authenticated Users"},
      {"S-1-5-32-545", "Users"},
      {"S-1-5-32-547", "Power Users"},
      {"S-1-5-4", "INTERACTIVE"},
      {"S-1-5-32-546", "Guests"},
  }};
  for (const auto& [known, name] : kNames) {
    if (sid == known) return std::string(name) + " (" + sid + ")";
  }
  return sid.empty() ? std::string("an entry of a kind not judged") : sid;
}

bool trusted(const std::string& sid, const std::string& runningAccount) {
  using namespace platform::sid;
  for (const std::string_view administrator : {kSystem, kAdministrators, kTrustedInstaller, kCreatorOwner}) {
    if (sid == administrator) return true;
  }
  return !runningAccount.empty() && sid == runningAccount;
}

}  // namespace

std::string whoMayReplace(const platform::SecurityDescriptor& descriptor, Guarded guarded,
                          const std::string& runningAccount) {
  const Kind kind = kindOf(guarded);
  std::string found;
  const auto note = [&found](const std::string& text) { found += (found.empty() ? "" : "; ") + text; };
  if (!descriptor.owner.empty() && !trusted(descriptor.owner, runningAccount)) {
    note("owner " + trusteeText(descriptor.owner));
  }
  for (const platform::AccessEntry& entry : descriptor.entries) {
    if (!entry.allows || entry.inheritOnly || trusted(entry.sid, runningAccount)) continue;
    std::uint32_t mask = entry.mask;
    if (mask & right::kGenericAll) mask |= kEveryRight;
    if (mask & right::kGenericWrite) mask |= kind.genericWrite;
    if (const std::uint32_t rights = mask & kind.dangerous) note(trusteeText(entry.sid) + ": " + rightsText(rights, guarded));
  }
  return found;
}

}  // namespace tlv::app
