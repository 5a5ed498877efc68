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

  // The values built straight from one variable keep it whole and add one backslash.
  if (env.PathWindowsRoot() != f[0] + "\\") __builtin_trap();
  if (env.PathProgramFiles() != f[1] + "\\" || env.PathCommonProgramFiles() != f[2] + "\\") __builtin_trap();
  if (env.PathCurrentUserProfile() != f[3] + "\\") __builtin_trap();
  if (env.PathRootDrive() != env.PathWindowsRoot().substr(0, 3)) __builtin_trap();
  for (const std::string& folder :
       {env.PathSys32Root(), env.PathSysAnyRoot(), env.PathAllUsersStartup(), env.PathAllUserAdminTools(),
        env.PathCurrentStartup(), env.PathVirtualStore(), env.PathProgramFilesX64(), env.PathCommonProgramFilesX64(),
        env.PathSys64Root(), env.PathProgramFilesAlt(), env.PathProgramFilesX64Alt()}) {
    if (!folder.empty() && folder.back() != '\\') __builtin_trap();
  }
  if (env.DomainName() != (f[6].empty() ? "None" : f[6])) __builtin_trap();
  if (!env.ListAllPathsToText().starts_with("<WindowsRoot> " + env.PathWindowsRoot() + " = ")) __builtin_trap();

  // The version snapshot: numbers as given, a title without outer blanks.
  const std::string numbers =
      std::to_string(plain[1]) + "." + std::to_string(plain[2]) + "." + std::to_string(plain[3]);
  if (env.VersionNumberString() != numbers) __builtin_trap();
  const std::string title = env.Title();
  if (!title.empty() && (title.front() == ' ' || title.back() == ' ')) __builtin_trap();
  env.intOS();
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
