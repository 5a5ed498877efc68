// Portable: the folder properties of jclass_WinEnviron and their listing. Each property
// runs the discovery pass when its trigger cache is still empty.
#include <exception>
#include <utility>

#include "environment/jclass_WinEnviron.h"
#include "files/FileHandling.h"

namespace tlv::environment {

std::string jclass_WinEnviron::folder(const std::string& cache, const std::string& trigger) {
  if (trigger.empty()) DiscoverSpecialFolders();
  return cache;
}

void jclass_WinEnviron::DiscoverSpecialFolders() {
  SpecialFolderDiscovery(platform_, log_, [this] { return intOS(); }).run(folders_, DomainName_);
}

// Most properties trigger on their own cache. Three trigger on PathRootDrive, which a pass
// always fills, so they run discovery at most once even while their own value is empty.
std::string jclass_WinEnviron::PathWindowsRoot() { return folder(folders_.PathWindowsRoot, folders_.PathWindowsRoot); }
std::string jclass_WinEnviron::PathSys32Root() { return folder(folders_.PathSys32Root, folders_.PathSys32Root); }
std::string jclass_WinEnviron::PathSysAnyRoot() { return folder(folders_.PathSysAnyRoot, folders_.PathSysAnyRoot); }
std::string jclass_WinEnviron::PathRootDrive() { return folder(folders_.PathRootDrive, folders_.PathRootDrive); }
std::string jclass_WinEnviron::PathAllUsersDesktop() {
  return folder(folders_.PathAllUsersDesktop, folders_.PathAllUsersDesktop);
}
std::string jclass_WinEnviron::PathAllUsersStartup() {
  return folder(folders_.PathAllUsersStartup, folders_.PathAllUsersStartup);
}
std::string jclass_WinEnviron::PathAllUsersStartMenu() {
  return folder(folders_.PathAllUsersStartMenu, folders_.PathAllUsersStartMenu);
}
std::string jclass_WinEnviron::PathAllUserStartMenuProgramsList() {
  return folder(folders_.PathAllUserStartMenuProgramsList, folders_.PathAllUserStartMenuProgramsList);
}
std::string jclass_WinEnviron::PathAllUsersAppData() {
  return folder(folders_.PathAllUsersAppData, folders_.PathAllUsersAppData);
}
std::string jclass_WinEnviron::PathCurrentUserProfile() {
  return folder(folders_.PathCurrentUserProfile, folders_.PathCurrentUserProfile);
}
std::string jclass_WinEnviron::PathCurrentDesktop() {
  return folder(folders_.PathCurrentDesktop, folders_.PathCurrentDesktop);
}
std::string jclass_WinEnviron::PathCurrentMyDocuments() {
  return folder(folders_.PathCurrentMyDocuments, folders_.PathCurrentMyDocuments);
}
std::string jclass_WinEnviron::PathCurrentStartup() {
  return folder(folders_.PathCurrentStartup, folders_.PathCurrentStartup);
}
std::string jclass_WinEnviron::PathCurrentStartMenu() {
  return folder(folders_.PathCurrentStartMenu, folders_.PathCurrentStartMenu);
}
std::string jclass_WinEnviron::PathCurrentStartMenuProgramsList() {
  return folder(folders_.PathCurrentStartMenuProgramsList, folders_.PathCurrentStartMenuProgramsList);
}
std::string jclass_WinEnviron::PathCurrentAppData() {
  return folder(folders_.PathCurrentAppData, folders_.PathCurrentAppData);
}
std::string jclass_WinEnviron::PathCurrentLocalSettingsAppData() {
  return folder(folders_.PathCurrentLocalSettingsAppData, folders_.PathCurrentLocalSettingsAppData);
}
std::string jclass_WinEnviron::PathDocumentsAndSettings() {
  return folder(folders_.PathDocumentsAndSettings, folders_.PathDocumentsAndSettings);
}
std::string jclass_WinEnviron::PathProgramFiles() { return folder(folders_.PathProgramFiles, folders_.PathProgramFiles); }
std::string jclass_WinEnviron::PathProgramFilesAlt() {
  return folder(folders_.PathProgramFilesAlt, folders_.PathProgramFilesAlt);
}
std::string jclass_WinEnviron::PathCommonProgramFiles() {
  return folder(folders_.PathCommonProgramFiles, folders_.PathCommonProgramFiles);
}
std::string jclass_WinEnviron::PathCommonProgramFilesX64() {
  return folder(folders_.PathCommonProgramFilesX64, folders_.PathCommonProgramFilesX64);
}
std::string jclass_WinEnviron::PathAllUserAdminTools() {
  return folder(folders_.PathAllUserAdminTools, folders_.PathAllUserAdminTools);
}
std::string jclass_WinEnviron::PathVirtualStore() { return folder(folders_.PathVirtualStore, folders_.PathRootDrive); }
std::string jclass_WinEnviron::PathProgramFilesX64() {
  return folder(folders_.PathProgramFilesX64, folders_.PathRootDrive);
}
std::string jclass_WinEnviron::PathProgramFilesX64Alt() {
  return folder(folders_.PathProgramFilesX64Alt, folders_.PathProgramFilesX64Alt);
}
std::string jclass_WinEnviron::PathSys64Root() { return folder(folders_.PathSys64Root, folders_.PathRootDrive); }

std::string jclass_WinEnviron::ListAllPathsToText() {
  using Property = std::string (jclass_WinEnviron::*)();
  static constexpr std::pair<const char*, Property> kLines[] = {
      {"<WindowsRoot> ", &jclass_WinEnviron::PathWindowsRoot},
      {"<Sys32Root> ", &jclass_WinEnviron::PathSys32Root},
      {"<Sys64Root> ", &jclass_WinEnviron::PathSys64Root},
      {"<SysAny>", &jclass_WinEnviron::PathSysAnyRoot},
      {"<ProgramFiles> ", &jclass_WinEnviron::PathProgramFiles},
      {"<AltProgFiles>", &jclass_WinEnviron::PathProgramFilesAlt},
      {"<CommonProgramFiles> ", &jclass_WinEnviron::PathCommonProgramFiles},
      {"<64BitProgFiles>", &jclass_WinEnviron::PathProgramFilesX64},
      {"<64BitAltProgFiles>", &jclass_WinEnviron::PathProgramFilesX64Alt},
      {"<64BitCommonProgFiles> ", &jclass_WinEnviron::PathCommonProgramFilesX64},
      {"<RootDrive> ", &jclass_WinEnviron::PathRootDrive},
      {"<VirtualStore> ", &jclass_WinEnviron::PathVirtualStore},
      {"<DocumentsAndSettings> ", &jclass_WinEnviron::PathDocumentsAndSettings},
      {"<CurrentUserProfile> ", &jclass_WinEnviron::PathCurrentUserProfile},
      {"<CurrentDesktop> ", &jclass_WinEnviron::PathCurrentDesktop},
      {"<CurrentMyDocuments> ", &jclass_WinEnviron::PathCurrentMyDocuments},
      {"<CurrentAppData> ", &jclass_WinEnviron::PathCurrentAppData},
      {"<CurrentLocalSettingsAppData> ", &jclass_WinEnviron::PathCurrentLocalSettingsAppData},
      {"<CurrentStartMenu> ", &jclass_WinEnviron::PathCurrentStartMenu},
      {"<CurrentStartMenuProgramsList> ", &jclass_WinEnviron::PathCurrentStartMenuProgramsList},
      {"<CurrentStartup> ", &jclass_WinEnviron::PathCurrentStartup},
      {"<AllUserAdminTools> ", &jclass_WinEnviron::PathAllUserAdminTools},
      {"<AllUsersAppData> ", &jclass_WinEnviron::PathAllUsersAppData},
      {"<AllUsersDesktop> ", &jclass_WinEnviron::PathAllUsersDesktop},
      {"<AllUsersStartMenu> ", &jclass_WinEnviron::PathAllUsersStartMenu},
      {"<AllUserStartMenuProgramsList> ", &jclass_WinEnviron::PathAllUserStartMenuProgramsList},
      {"<AllUsersStartup> ", &jclass_WinEnviron::PathAllUsersStartup},
  };
  files::FileHandling fileHandling(platform_);
  std::string text;
  bool first = true;
  for (const auto& [tag, property] : kLines) {
    // A line whose value or folder test fails is left out together with its line break.
    try {
      const std::string value = (this->*property)();
      const std::string line = tag + value + " = " + (fileHandling.FolderExists(value) ? "True" : "False");
      text += first ? line : "\r\n" + line;
    } catch (const std::exception&) {
    }
    first = false;
  }
  return text;
}

}  // namespace tlv::environment
