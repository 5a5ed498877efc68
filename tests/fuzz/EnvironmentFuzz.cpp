// Fuzz target: the environment class on a sim machine whose environment variables, version
// records and folders are any text. One field per line: WinDir, ProgramFiles,
// CommonProgramFiles, userprofile, AllUsersProfile, AppData, USERDNSDOMAIN; then the plain
// version record "platformId major minor build", its service-pack text, the extended record
// "productType suiteMask servicePackMajor servicePackMinor", the product type GetProductInfo
// gives, the processor architecture, and folders that exist, separated by "|".
#include <cstddef>
#include <cstdint>
#include <string>

#include "environment/jclass_WinEnviron.h"
#include "platform/sim/SimMachine.h"
#include "tests/fuzz/FuzzInput.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace tlv;
  const auto f = fuzz::fieldsOf(data, size, 13);
  platform::sim::SimMachine machine;
  machine.files.addFolder("C:\\Tools");
  constexpr const char* kVariables[] = {"WinDir",          "ProgramFiles", "CommonProgramFiles", "userprofile",
                                        "AllUsersProfile", "AppData",      "USERDNSDOMAIN"};
  for (std::size_t i = 0; i < std::size(kVariables); ++i) {
    if (!f[i].empty()) machine.environment.set(kVariables[i], f[i]);
  }
  const auto plain = fuzz::numbersOf(f[7], 4);
  machine.systemInfo.setVersion({plain[1], plain[2], plain[3], plain[0], f[8]});
  const auto extended = fuzz::numbersOf(f[9], 4);
  machine.systemInfo.setVersionEx({static_cast<std::uint32_t>(plain[1]), static_cast<std::uint32_t>(plain[2]),
                                   static_cast<std::uint16_t>(extended[2]), static_cast<std::uint16_t>(extended[3]),
                                   static_cast<std::uint16_t>(extended[1]), static_cast<std::uint8_t>(extended[0])});
  machine.systemInfo.setProductType(static_cast<std::uint32_t>(fuzz::numberOf(f[10])));
  machine.systemInfo.setProcessorArchitecture(static_cast<std::uint16_t>(fuzz::numberOf(f[11])));
  for (std::size_t from = 0; from < f[12].size();) {
    const std::size_t end = std::min(f[12].find('|', from), f[12].size());
    machine.files.addFolder(f[12].substr(from, end - from));
    from = end + 1;
  }
  platform::Platform platform = machine.platform();
  logging::LoggingFunctions log(platform);
  environment::jclass_WinEnviron env(platform, log);

  // Every folder value is empty or ends in a backslash, whatever the machine holds.
  for (const std::string& folder :
       {env.PathWindowsRoot(), env.PathProgramFiles(), env.PathCommonProgramFiles(), env.PathCurrentUserProfile(),
        env.PathSys32Root(), env.PathSysAnyRoot(), env.PathAllUsersStartup(), env.PathAllUserAdminTools(),
        env.PathCurrentStartup(), env.PathVirtualStore(), env.PathProgramFilesX64(), env.PathCommonProgramFilesX64(),
        env.PathSys64Root(), env.PathProgramFilesAlt(), env.PathProgramFilesX64Alt()}) {
    if (!folder.empty() && folder.back() != '\\') __builtin_trap();
  }
  // A title without outer blanks.
  const std::string title = env.Title();
  if (!title.empty() && (title.front() == ' ' || title.back() == ' ')) __builtin_trap();
  env.intOS();
  env.VersionNumberString();
  env.DomainName();
  env.ListAllPathsToText();
  env.isServer();
  env.WinProductType();
  env.ProcessorArchitecture();
  env.Is64Bit();
  env.MonitorCount();
  std::vector<std::string> profiles;
  std::int16_t count = 0;
  env.GetUserProfileFolders(profiles, count);
  if (count < 0 || profiles.size() < static_cast<std::size_t>(count)) __builtin_trap();
  return 0;
}
