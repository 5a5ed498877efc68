// Portable: facts about the running Windows, each gathered from the platform on first read
// and kept for the life of the object.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "environment/FolderDiscovery.h"
#include "logging/LoggingFunctions.h"
#include "platform/Platform.h"

namespace tlv::environment {

/// Machine and user identity, memory, Windows version and edition, processor architecture,
/// live desktop state and the special folders. Creating the object asks nothing; a cache
/// that is still empty or zero counts as not yet read, so such a value is asked again at
/// the next read. Failures never reach the caller: each procedure handles its own.
class jclass_WinEnviron {
 public:
  jclass_WinEnviron(platform::Platform& platform, logging::LoggingFunctions& log) : platform_(platform), log_(log) {}

  // Machine identity and memory.
  /// NetBIOS name in upper case; "UNKNOWN" when the platform gives none.
  std::string ComputerName();
  /// Network user name as the platform spells it; "UNKNOWN" when the platform gives none.
  std::string UserName();
  /// The user's DNS domain, or "None"; filled by the folder discovery.
  std::string DomainName();
  /// Physical memory in memory units of 1079491712.2649374 bytes.
  float RAMTOTAL();
  /// Available memory at the first reading of either memory figure, in memory units.
  float RAMFREE();

  // Windows version, from one snapshot.
  std::string Title();
  /// "major.minor.build", for example 5.1.2600.
  std::string VersionNumberString();
  /// The family code: 0 Windows 95 ... 7 XP, 10 Vista, 12 Server 2008, 13 Windows 7, 16 Windows 8.
  std::int16_t intOS();
  bool isSmallBusiness();
  bool isHomeVersion();
  bool isDomainController();
  bool isServer();
  bool isTerminalServer();
  /// The suite mask as a signed 16-bit number (the Home Server bit makes it negative).
  std::int16_t SuiteMask();
  /// Edition text of a server from NT 6 on (" Foundation", " [8]"...); empty otherwise.
  std::string WinProductType();

  // Special folders; each ends in a backslash, or is empty where it does not apply.
  std::string PathWindowsRoot();
  std::string PathSys32Root();
  /// Every folder property on one CR LF separated line each, with whether the folder exists.
  std::string ListAllPathsToText();
  std::string PathSysAnyRoot();
  std::string PathRootDrive();
  std::string PathAllUsersDesktop();
  std::string PathAllUsersStartup();
  std::string PathAllUsersStartMenu();
  std::string PathAllUserStartMenuProgramsList();
  std::string PathAllUsersAppData();
  std::string PathCurrentUserProfile();
  std::string PathCurrentDesktop();
  std::string PathCurrentMyDocuments();
  std::string PathCurrentStartup();
  std::string PathCurrentStartMenu();
  std::string PathCurrentStartMenuProgramsList();
  std::string PathCurrentAppData();
  std::string PathCurrentLocalSettingsAppData();
  std::string PathDocumentsAndSettings();
  std::string PathProgramFiles();
  std::string PathProgramFilesAlt();
  std::string PathCommonProgramFiles();
  std::string PathCommonProgramFilesX64();
  std::string PathAllUserAdminTools();
  std::string PathVirtualStore();
  std::string PathProgramFilesX64();
  std::string PathProgramFilesX64Alt();
  std::string PathSys64Root();

  // Processor architecture.
  /// "32 BIT x86", "64 BIT AMD", ... or "64 BIT SF" / "64 BIT PF" when only the 64-bit
  /// system or program folder gave 64-bit Windows away, "Arch Fail" when detection failed.
  std::string ProcessorArchitecture();
  bool Is64Bit();

  // Live desktop state; asked afresh at every call.
  bool IsShuttingDown();
  bool IsBeingShadowed();
  std::int16_t MonitorCount();

  /// The ordinary users' profile folders below PathDocumentsAndSettings, in entries 1 to
  /// iCount of sFolders (entry 0 is left alone). True when the last event was a stored
  /// folder rather than a handled failure.
  bool GetUserProfileFolders(std::vector<std::string>& sFolders, std::int16_t& iCount);

 private:
  // Identity and memory.
  std::string ReadComputerName();
  std::string ReadUserName();
  void ReadMemoryStatus();
  void ReadMemoryStatusEx(float& total, float& free);

  // Version snapshot and naming.
  std::string DetectWindowsVersion();
  static std::string TrimNonPrintable(const std::string& text);
  std::string NameText(const platform::OsVersionInfo& version, const std::string& servicePack);
  std::string NameTextNt5(const platform::OsVersionInfo& version, const std::string& tail);
  std::string NameTextNt6OrLater(const platform::OsVersionInfo& version, const std::string& tail);
  std::string ServerSuffix();
  bool IsServerProduct();
  bool IsWorkstation();
  bool IsDomainControllerProduct();
  bool IsEnterpriseServer();
  bool IsHomeServer();
  bool IsProfessional();
  bool IsTerminalSuite();
  bool IsSmallBusinessSuite();
  std::int16_t ReadSuiteMask();
  std::string ProductTypeText();
  std::string jFunc_Is2003R2();

  // Architecture.
  void DetectArchitecture();
  std::int32_t IsWin64OS();

  // Folders.
  void DiscoverSpecialFolders();
  /// A folder property: discovery runs first when the trigger cache is empty.
  std::string folder(const std::string& cache, const std::string& trigger);

  platform::Platform& platform_;
  logging::LoggingFunctions& log_;

  // Caches, in the order the class has always kept them.
  std::string UserName_;
  std::string ComputerName_;
  float RAMTOTAL_ = 0;
  float RAMFREE_ = 0;
  std::string Title_;
  std::string VersionNumberString_;
  std::int16_t intOS_ = 0;
  bool isSmallBusiness_ = false;
  bool Is64Bit_ = false;
  bool isHomeVersion_ = false;
  bool isDomainController_ = false;
  bool isTerminalServer_ = false;
  bool isServer_ = false;
  std::string ProcessorArchitecture_;
  std::int16_t SuiteMask_ = 0;
  std::string WinProductType_;
  SpecialFolderCaches folders_;
  std::string DomainName_;
  platform::MemoryStatusEx memoryStatusEx_;
  platform::MemoryStatus memoryStatus_;
};

}  // namespace tlv::environment
