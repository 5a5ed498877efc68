// Portable: the special-folder caches of the environment class and the one pass that fills
// them from the process environment, the Windows family and two folder probes.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "logging/LoggingFunctions.h"
#include "platform/Platform.h"

namespace tlv::environment {

/// One cache per folder property, in the class's interface order. Every value built ends in
/// a backslash; empty means "does not apply" or "not yet discovered".
struct SpecialFolderCaches {
  std::string PathWindowsRoot;
  std::string PathSys32Root;
  std::string PathSysAnyRoot;
  std::string PathRootDrive;
  std::string PathAllUsersDesktop;
  std::string PathAllUsersStartup;
  std::string PathAllUsersStartMenu;
  std::string PathAllUserStartMenuProgramsList;
  std::string PathAllUsersAppData;
  std::string PathCurrentUserProfile;
  std::string PathCurrentDesktop;
  std::string PathCurrentMyDocuments;
  std::string PathCurrentStartup;
  std::string PathCurrentStartMenu;
  std::string PathCurrentStartMenuProgramsList;
  std::string PathCurrentAppData;
  std::string PathCurrentLocalSettingsAppData;
  std::string PathDocumentsAndSettings;
  std::string PathProgramFiles;
  std::string PathProgramFilesAlt;
  std::string PathCommonProgramFiles;
  std::string PathCommonProgramFilesX64;
  std::string PathAllUserAdminTools;
  std::string PathVirtualStore;
  std::string PathProgramFilesX64;
  std::string PathProgramFilesX64Alt;
  std::string PathSys64Root;
};

/// The discovery pass. It asks no shell-folder service: the layout follows from environment
/// variables and from whether the Windows family code is below 10 (classic layout under
/// Documents and Settings) or not (the Users layout). A step that fails is logged as
/// "LSP E:<number>" and the pass goes on; it never fails towards its caller.
class SpecialFolderDiscovery {
 public:
  SpecialFolderDiscovery(platform::Platform& platform, logging::LoggingFunctions& log,
                         std::function<std::int16_t()> windowsFamily);

  /// Assigns every cache (the two Alt caches only when a probe finds the folder) and the
  /// domain name.
  void run(SpecialFolderCaches& folders, std::string& domainName);

 private:
  void programFiles(SpecialFolderCaches& f);
  void probeOtherDrives(const std::string& folder, std::string& alternative);
  void commonProgramFiles(SpecialFolderCaches& f);
  void systemFolders(SpecialFolderCaches& f);
  void allUsersFolders(SpecialFolderCaches& f);
  void currentUserFolders(SpecialFolderCaches& f);

  std::string variable(const char* name);
  bool folderExists(const std::string& path);
  /// Runs one step; a failure is logged and the pass carries on with the next step.
  void step(const std::function<void()>& statement);
  /// Evaluates a test; when evaluating it fails, the failure is logged and the test holds.
  bool holds(const std::function<bool()>& test);
  void logFailure(const std::exception& failure);

  platform::Platform& platform_;
  logging::LoggingFunctions& log_;
  std::function<std::int16_t()> windowsFamily_;
};

/// The folder that holds a profile: the path cut back to the backslash before its last
/// folder name, that backslash kept ("C:\Users\" for "C:\Users\user1\"). Without an earlier
/// backslash the first character alone is left; a path of one character stays as it is.
std::string parentFolderOf(const std::string& profile);

}  // namespace tlv::environment
