// Portable: an earlier release's tool in the Windows folder replaced by this release's, also
// while a service runs it.
#include <cstdio>

#include "app/ReleaseVersion.h"
#include "app/frmTlvAsService.h"
#include "platform/WindowsPath.h"

namespace tlv::app {

namespace {

// A set-aside tool: "<tool>.<date and time>[-n].old" beside it.
constexpr char kSetAsideEnding[] = ".old";

}  // namespace

std::optional<frmTlvAsService::Upgrade> frmTlvAsService::earlierOwnRelease(const std::string& target) {
  const auto running = platform_.files.productVersion(platform_.process.modulePath());
  const auto found = platform_.files.productVersion(target);
  if (!running.ok() || !found.ok() || running.value.name.empty() || found.value.name != running.value.name) {
    return std::nullopt;
  }
  const auto runningVersion = ReleaseVersion::parse(running.value.version);
  const auto foundVersion = ReleaseVersion::parse(found.value.version);
  if (!runningVersion || !foundVersion || !(*foundVersion < *runningVersion)) return std::nullopt;
  return Upgrade{found.value.version, running.value.version};
}

std::optional<std::string> frmTlvAsService::linkedFile(const std::string& path) {
  auto held = platform_.files.holdForReading(path);
  if (!held.ok()) return std::nullopt;
  const auto links = held.value->links();
  if (!links.ok() || links.value.plain()) return std::nullopt;
  return links.value.reparsePoint ? std::string("a link") : std::to_string(links.value.names) + " names";
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
    static_cast<void>(platform_.files.deleteFile(partial));  // a name no program runs by, if left
    // The old tool back under its name; should that fail, the service has no program left.
    if (const auto restore = platform_.files.moveFile(aside, target); restore != kSuccess) {
      return {.error = error, .strandedAside = aside, .restoreError = restore};
    }
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
