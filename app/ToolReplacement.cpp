// Portable: an earlier release's tool in the Windows folder replaced by this release's, also
// while a service runs it.
#include <cstdio>

#include "app/frmTlvAsService.h"
#include "platform/WindowsPath.h"

namespace tlv::app {

namespace {

// "1.2.10" -> {1, 2, 10}; nullopt for anything but dot-separated decimal numbers.
std::optional<std::vector<unsigned long>> versionNumbers(const std::string& text) {
  std::vector<unsigned long> numbers;
  std::size_t start = 0;
  for (;;) {
    const std::size_t dot = text.find('.', start);
    const std::string part = text.substr(start, dot == std::string::npos ? std::string::npos : dot - start);
    if (part.empty() || part.size() > 9 || part.find_first_not_of("0123456789") != std::string::npos) {
      return std::nullopt;
    }
    numbers.push_back(std::stoul(part));
    if (dot == std::string::npos) return numbers;
    start = dot + 1;
  }
}

// Numerically lower, missing parts counting as 0: 1.9 < 1.10, 1.0 == 1.0.0.
bool isLower(std::vector<unsigned long> a, std::vector<unsigned long> b) {
  const std::size_t parts = std::max(a.size(), b.size());
  a.resize(parts, 0);
  b.resize(parts, 0);
  return a < b;
}

// A set-aside tool: "<tool>.<date and time>[-n].old" beside it.
constexpr char kSetAsideEnding[] = ".old";

}  // namespace

std::optional<frmTlvAsService::Upgrade> frmTlvAsService::earlierOwnRelease(const std::string& target) {
  const auto running = platform_.files.productVersion(platform_.process.modulePath());
  const auto found = platform_.files.productVersion(target);
  if (!running.ok() || !found.ok() || running.value.name.empty() || found.value.name != running.value.name) {
    return std::nullopt;
  }
  const auto runningNumbers = versionNumbers(running.value.version);
  const auto foundNumbers = versionNumbers(found.value.version);
  if (!runningNumbers || !foundNumbers || !isLower(*foundNumbers, *runningNumbers)) return std::nullopt;
  return Upgrade{found.value.version, running.value.version};
}

frmTlvAsService::Replacement frmTlvAsService::replaceTool(const std::string& target, const std::string& bytes) {
  using platform::err::kSuccess;
  const std::string partial = target + ".partial";
  if (const auto error = platform_.files.writeNewFile(partial, bytes); error != kSuccess) {
    static_cast<void>(platform_.files.deleteFile(partial));  // what is left of it
    return {error, false};
  }
  // Not in use: replaced in one step.
  if (platform_.files.moveFile(partial, target) == kSuccess) return {};

  // In use by a running service: Windows lets a running program's file be renamed, not
  // replaced. The old file goes aside under a name no earlier run used, the new one takes
  // the tool's name, and the service's next start runs it. A later run deletes the old one.
  const platform::LocalTime t = platform_.clock.now();
  char stamp[32];
  std::snprintf(stamp, sizeof stamp, ".%04d%02d%02d-%02d%02d%02d", t.year, t.month, t.day, t.hour, t.minute, t.second);
  std::string aside = target + stamp + kSetAsideEnding;
  for (int n = 2; files_.CheckForFileQuietly(aside); ++n) {
    aside = target + stamp + "-" + std::to_string(n) + kSetAsideEnding;
  }
  if (platform_.files.moveFile(target, aside) == kSuccess) {
    const auto error = platform_.files.moveFile(partial, target);
    if (error == kSuccess) {
      static_cast<void>(platform_.files.deleteFile(aside));  // refused while it runs: a later run's
      return {};
    }
    static_cast<void>(platform_.files.moveFile(aside, target));  // the old tool back under its name
    static_cast<void>(platform_.files.deleteFile(partial));
    return {error, false};
  }
  // Not even renamed: Windows puts the new file in place at its next start.
  const auto error = platform_.files.moveFileAtRestart(partial, target);
  if (error != kSuccess) static_cast<void>(platform_.files.deleteFile(partial));
  return {error, error == kSuccess};
}

void frmTlvAsService::removeSetAsideTools(const std::string& windowsFolder) {
  const auto listing = platform_.files.listFolder(windowsFolder);
  if (!listing.ok()) return;
  for (const auto& entry : listing.value) {
    const std::string name = platform::upperCase(entry.name);
    const bool setAside = (name.starts_with("INSTSRV.EXE.") || name.starts_with("SRVANY.EXE.")) &&
                          name.ends_with(platform::upperCase(kSetAsideEnding));
    // Still in use by a service that has not restarted since: left for a later run.
    if (setAside) static_cast<void>(platform_.files.deleteFile(windowsFolder + entry.name));
  }
}

}  // namespace tlv::app
