// Portable: the special-folder discovery pass.
#include "environment/FolderDiscovery.h"

#include <exception>

#include "environment/ValueRules.h"
#include "files/FileHandling.h"

namespace tlv::environment {

namespace {

// A family code from this value on uses the layout under C:\Users.
constexpr std::int16_t kFirstUsersLayoutFamily = 10;

// The SysWOW64 probe and its assignments are the one part of the pass whose failures are
// neither logged nor allowed to stop it.
void quietly(const std::function<void()>& statement) {
  try {
    statement();
  } catch (const std::exception&) {
  }
}

}  // namespace

std::string parentFolderOf(const std::string& profile) {
  std::string folder = profile;
  for (std::size_t length = folder.size() < 2 ? 0 : folder.size() - 1; length >= 1; --length) {
    folder.resize(length);
    if (folder.back() == '\\') break;
  }
  return folder;
}

SpecialFolderDiscovery::SpecialFolderDiscovery(platform::Platform& platform, logging::LoggingFunctions& log,
                                               std::function<std::int16_t()> windowsFamily)
    : platform_(platform), log_(log), windowsFamily_(std::move(windowsFamily)) {}

void SpecialFolderDiscovery::run(SpecialFolderCaches& f, std::string& domainName) {
  step([&] { f.PathWindowsRoot = variable("WinDir") + "\\"; });
  step([&] { f.PathSys32Root = f.PathWindowsRoot + "System32\\"; });
  step([&] { f.PathRootDrive = f.PathWindowsRoot.substr(0, 3); });
  programFiles(f);
  commonProgramFiles(f);
  systemFolders(f);
  step([&] { f.PathCurrentUserProfile = variable("userprofile") + "\\"; });
  step([&] { f.PathDocumentsAndSettings = parentFolderOf(f.PathCurrentUserProfile); });
  allUsersFolders(f);
  currentUserFolders(f);
  step([&] { domainName = variable("USERDNSDOMAIN"); });
  step([&] {
    if (domainName.empty()) domainName = "None";
  });
}

void SpecialFolderDiscovery::programFiles(SpecialFolderCaches& f) {
  // A 32-bit process on 64-bit Windows is given the "(x86)" folder as ProgramFiles; the
  // native folder is that name without " (x86)".
  if (holds([&] { return !containsNoCase(variable("ProgramFiles") + "\\", "(x86)"); })) {
    step([&] { f.PathProgramFiles = variable("ProgramFiles") + "\\"; });
    step([&] { f.PathProgramFilesX64.clear(); });
  } else {
    step([&] { f.PathProgramFilesX64 = replaceNoCase(variable("ProgramFiles"), " (x86)", "") + "\\"; });
    step([&] { f.PathProgramFiles = variable("ProgramFiles") + "\\"; });
    probeOtherDrives(f.PathProgramFilesX64, f.PathProgramFilesX64Alt);
  }
  probeOtherDrives(f.PathProgramFiles, f.PathProgramFilesAlt);
}

void SpecialFolderDiscovery::probeOtherDrives(const std::string& folder, std::string& alternative) {
  std::string rest;  // the folder without its drive letter, ":\Program Files\"
  step([&] { rest = folder.empty() ? std::string{} : folder.substr(1); });
  if (holds([&] { return folderExists("D" + rest); })) {
    step([&] { alternative = "D" + rest; });
  } else if (holds([&] { return folderExists("E" + rest); })) {
    step([&] { alternative = "E" + rest; });
  }
}

void SpecialFolderDiscovery::commonProgramFiles(SpecialFolderCaches& f) {
  if (holds([&] { return !containsNoCase(variable("CommonProgramFiles") + "\\", "(x86)"); })) {
    step([&] { f.PathCommonProgramFiles = variable("CommonProgramFiles") + "\\"; });
    step([&] { f.PathCommonProgramFilesX64.clear(); });
  } else {
    step([&] { f.PathCommonProgramFiles = variable("CommonProgramFiles") + "\\"; });
    step([&] { f.PathCommonProgramFilesX64 = replaceNoCase(variable("CommonProgramFiles"), " (x86)", "") + "\\"; });
  }
}

void SpecialFolderDiscovery::systemFolders(SpecialFolderCaches& f) {
  // SysWOW64 exists only on 64-bit Windows, where it holds the 32-bit system files and
  // System32 the native ones.
  bool wow64Folder = false;
  quietly([&] {
    const auto attributes = platform_.files.fileAttributes(f.PathWindowsRoot + "sysWOW64\\");
    wow64Folder = attributes.ok() && (attributes.value & platform::attr::kDirectory) != 0;
  });
  if (wow64Folder) {
    quietly([&] { f.PathSys32Root = f.PathWindowsRoot + "SysWOW64\\"; });
    quietly([&] { f.PathSys64Root = f.PathWindowsRoot + "System32\\"; });
    quietly([&] { f.PathSysAnyRoot = f.PathSys64Root; });
  } else {
    quietly([&] { f.PathSys64Root.clear(); });
    quietly([&] { f.PathSysAnyRoot = f.PathSys32Root; });
  }
}

void SpecialFolderDiscovery::allUsersFolders(SpecialFolderCaches& f) {
  const bool classic = holds([&] { return windowsFamily_() < kFirstUsersLayoutFamily; });
  if (classic) {
    step([&] { f.PathAllUsersAppData = variable("AllUsersProfile") + "\\Application Data\\"; });
    step([&] { f.PathAllUsersDesktop = variable("AllUsersProfile") + "\\Desktop\\"; });
    step([&] { f.PathAllUsersStartMenu = variable("AllUsersProfile") + "\\Start Menu\\"; });
  } else {
    step([&] { f.PathAllUsersStartMenu = variable("AllUsersProfile") + "\\Microsoft\\Windows\\Start Menu\\"; });
  }
  step([&] { f.PathAllUserStartMenuProgramsList = f.PathAllUsersStartMenu + "Programs\\"; });
  step([&] { f.PathAllUsersStartup = f.PathAllUserStartMenuProgramsList + "Startup\\"; });
  step([&] { f.PathAllUserAdminTools = f.PathAllUserStartMenuProgramsList + "Administrative Tools\\"; });
  if (!classic) {
    step([&] { f.PathAllUsersDesktop = f.PathDocumentsAndSettings + "Public\\Desktop\\"; });
    step([&] { f.PathAllUsersAppData = variable("AllUsersProfile") + "\\"; });
  }
}

void SpecialFolderDiscovery::currentUserFolders(SpecialFolderCaches& f) {
  const std::string& profile = f.PathCurrentUserProfile;
  if (holds([&] { return windowsFamily_() < kFirstUsersLayoutFamily; })) {
    step([&] { f.PathCurrentAppData = variable("AppData") + "\\"; });
    step([&] { f.PathCurrentDesktop = profile + "Desktop\\"; });
    step([&] { f.PathCurrentLocalSettingsAppData = profile + "Local Settings\\Application Data\\"; });
    step([&] { f.PathCurrentMyDocuments = profile + "My Documents\\"; });
    step([&] { f.PathCurrentStartMenu = profile + "Start Menu\\"; });
    step([&] { f.PathCurrentStartMenuProgramsList = f.PathCurrentStartMenu + "Programs\\"; });
    step([&] { f.PathCurrentStartup = f.PathCurrentStartMenuProgramsList + "Startup\\"; });
    step([&] { f.PathVirtualStore.clear(); });
    return;
  }
  step([&] { f.PathCurrentAppData = variable("AppData") + "\\"; });
  // Without the variable the roaming folder is where Windows puts it below the profile.
  if (holds([&] { return f.PathCurrentAppData == "\\"; })) {
    step([&] { f.PathCurrentAppData = profile + "AppData\\Roaming\\"; });
  }
  step([&] { f.PathCurrentStartMenu = f.PathCurrentAppData + "Microsoft\\Windows\\Start Menu\\"; });
  step([&] { f.PathCurrentStartMenuProgramsList = f.PathCurrentStartMenu + "Programs\\"; });
  step([&] { f.PathCurrentStartup = f.PathCurrentStartMenuProgramsList + "Startup\\"; });
  step([&] { f.PathCurrentDesktop = profile + "Desktop\\"; });
  step([&] { f.PathCurrentMyDocuments = profile + "Documents\\"; });
  step([&] { f.PathCurrentLocalSettingsAppData = replaceNoCase(f.PathCurrentAppData, "Roaming", "Local"); });
  step([&] { f.PathVirtualStore = f.PathCurrentLocalSettingsAppData + "VirtualStore\\"; });
}

std::string SpecialFolderDiscovery::variable(const char* name) { return platform_.environment.variable(name); }

bool SpecialFolderDiscovery::folderExists(const std::string& path) { return files::FileHandling(platform_).FolderExists(path); }

void SpecialFolderDiscovery::step(const std::function<void()>& statement) {
  try {
    statement();
  } catch (const std::exception& failure) {
    logFailure(failure);
  }
}

bool SpecialFolderDiscovery::holds(const std::function<bool()>& test) {
  try {
    return test();
  } catch (const std::exception& failure) {
    logFailure(failure);
    return true;
  }
}

void SpecialFolderDiscovery::logFailure(const std::exception& failure) {
  const logging::RunError error = runErrorFor(failure);
  log_.WriteLog({.level = logging::level::kError,
                 .message = "LSP E:" + std::to_string(error.number),
                 .detail = error.description,
                 .boxStyle = platform::mb::kIconInformation});
}

}  // namespace tlv::environment
