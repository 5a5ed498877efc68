// Portable: the record of what the administrator chose for the service.
#include "app/ServiceRecord.h"

#include <algorithm>

#include "platform/WindowsPath.h"
#include "tools/common/ServiceKeys.h"

namespace tlv::app {
namespace {

constexpr char kAccount[] = "Account=";
constexpr char kStart[] = "Start=";
constexpr char kDependency[] = "DependOnService=";
constexpr char kPrivilege[] = "Privilege=";
// A record is a few lines; a larger value is not the program's.
constexpr std::uint32_t kLargestRecord = 16384;

std::vector<std::string> upperSorted(const std::vector<std::string>& names) {
  std::vector<std::string> upper;
  upper.reserve(names.size());
  for (const std::string& name : names) upper.push_back(platform::upperCase(name));
  std::sort(upper.begin(), upper.end());
  return upper;
}

}  // namespace

std::string recordText(const ServiceRecord& record) {
  std::string text = kAccount + record.account + '\0';
  text += std::string(kStart) + (record.delayed ? "delayed" : "automatic") + '\0';
  for (const std::string& name : record.dependencies) text += kDependency + name + '\0';
  for (const std::string& name : record.privileges) text += kPrivilege + name + '\0';
  return text + '\0';
}

std::optional<ServiceRecord> parseRecord(const std::string& bytes) {
  ServiceRecord record;
  bool named = false;
  for (std::size_t at = 0; at < bytes.size();) {
    const std::size_t end = std::min(bytes.find('\0', at), bytes.size());
    const std::string line = bytes.substr(at, end - at);
    at = end + 1;
    const auto after = [&line](const char* prefix) { return line.substr(std::char_traits<char>::length(prefix)); };
    if (line.starts_with(kAccount)) {
      record.account = after(kAccount);
      named = !record.account.empty();
    } else if (line.starts_with(kStart)) {
      record.delayed = after(kStart) == "delayed";
    } else if (line.starts_with(kDependency)) {
      record.dependencies.push_back(after(kDependency));
    } else if (line.starts_with(kPrivilege)) {
      record.privileges.push_back(after(kPrivilege));
    }
  }
  return named ? std::optional(record) : std::nullopt;
}

ReadRecord readRecord(platform::Registry& registry) {
  auto key = registry.openKeyEx(platform::hkey::kLocalMachine, tools::kParametersKeyPath.data(),
                                platform::keyaccess::kQueryValue);
  if (!key.ok()) return {std::nullopt, key.error == platform::err::kFileNotFound ? platform::err::kSuccess : key.error};
  const auto value = registry.queryValue(key.value.get(), tools::value::kChosenSetup, kLargestRecord);
  if (value.error == platform::err::kFileNotFound) return {};
  if (!value.ok()) return {std::nullopt, value.error};
  if (value.value.type != platform::regtype::kMultiString) return {};
  return {parseRecord(value.value.data), platform::err::kSuccess};
}

platform::Win32Error writeRecord(platform::Registry& registry, const ServiceRecord& record) {
  auto key = registry.openKeyEx(platform::hkey::kLocalMachine, tools::kParametersKeyPath.data(),
                                platform::keyaccess::kSetValue);
  if (!key.ok()) return key.error;
  return registry.setValue(key.value.get(), tools::value::kChosenSetup, platform::regtype::kMultiString,
                           recordText(record));
}

bool sameNames(const std::vector<std::string>& a, const std::vector<std::string>& b) {
  return upperSorted(a) == upperSorted(b);
}

std::string namesText(const std::vector<std::string>& names) {
  std::string text;
  for (const std::string& name : names) text += (text.empty() ? "" : ", ") + name;
  return text.empty() ? "none" : text;
}

}  // namespace tlv::app
