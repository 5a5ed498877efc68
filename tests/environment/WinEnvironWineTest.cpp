// Win32 only: the environment class on the real platform under Wine, checked against what the
// system reports through its own calls.
#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

#include "app/win32/WindowUi.h"
#include "environment/jclass_WinEnviron.h"
#include "platform/WindowsPath.h"
#include "platform/win32/Win32Platform.h"

namespace tlv::testing {
namespace {

class WinEnvironOnWine : public ::testing::Test {
 protected:
  app::win32::WindowUi ui{::GetModuleHandleA(nullptr)};
  platform::win32::Win32Platform machine{ui};
  platform::Platform platform = machine.platform();
  logging::LoggingFunctions log{platform};
  environment::jclass_WinEnviron env{platform, log};
};

TEST_F(WinEnvironOnWine, VersionIsWindows7ServicePack1AsWineReportsIt) {
  OSVERSIONINFOA direct{sizeof direct};
  ASSERT_TRUE(::GetVersionExA(&direct));
  const std::string numbers = std::to_string(direct.dwMajorVersion) + "." + std::to_string(direct.dwMinorVersion) +
                              "." + std::to_string(direct.dwBuildNumber);
  EXPECT_EQ(env.VersionNumberString(), numbers);
  EXPECT_EQ(env.Title(), "Windows7 Pro " + numbers + " " + direct.szCSDVersion);
  EXPECT_EQ(env.Title(), "Windows7 Pro 6.1.7601 Service Pack 1");
  EXPECT_EQ(env.intOS(), 13);
  EXPECT_FALSE(env.isServer());
  EXPECT_EQ(env.WinProductType(), "");
}

// Wine's prefix is 64-bit Windows. The x86 edition runs under WOW64: the processor it is shown
// is the 32-bit one and its Program Files is the (x86) folder. The x64 edition is not under
// WOW64 and sees the AMD64 processor, which the 64-bit system folder then names "64 BIT SF";
// its ProgramFiles has no (x86) to take away, so no second Program Files folder is derived.
TEST_F(WinEnvironOnWine, EachEditionSeesItsOwnArchitectureAndFoldersAndEveryFolderEndsInABackslash) {
  constexpr bool k64BitEdition = sizeof(void*) == 8;
  BOOL underWow64 = FALSE;
  ASSERT_TRUE(::IsWow64Process(::GetCurrentProcess(), &underWow64));
  EXPECT_EQ(underWow64 != FALSE, !k64BitEdition);
  EXPECT_EQ(env.ProcessorArchitecture(), k64BitEdition ? "64 BIT SF" : "32 BIT x86");
  EXPECT_TRUE(env.Is64Bit());
  EXPECT_EQ(env.PathProgramFiles(), k64BitEdition ? "C:\\Program Files\\" : "C:\\Program Files (x86)\\");
  EXPECT_EQ(env.PathProgramFilesX64(), k64BitEdition ? "" : "C:\\Program Files\\");
  EXPECT_TRUE(env.PathSys32Root().ends_with("SysWOW64\\")) << env.PathSys32Root();
  EXPECT_TRUE(env.PathSys64Root().ends_with("System32\\")) << env.PathSys64Root();
  EXPECT_EQ(env.PathSysAnyRoot(), env.PathSys64Root());

  const std::string listing = env.ListAllPathsToText();
  std::istringstream lines(listing);
  int count = 0;
  for (std::string line; std::getline(lines, line); ++count) {
    if (line.ends_with('\r')) line.pop_back();
    const std::size_t close = line.find('>'), equals = line.rfind(" = ");
    ASSERT_TRUE(close != std::string::npos && equals != std::string::npos) << line;
    const std::string value = line.substr(close + 1, equals - close - 1);
    EXPECT_TRUE(value.empty() || value == " " || value.ends_with('\\')) << line;
  }
  EXPECT_EQ(count, 27);
  EXPECT_TRUE(listing.starts_with("<WindowsRoot> " + env.PathWindowsRoot() + " = True\r\n"));
  const std::string profile = env.PathCurrentUserProfile(), profiles = env.PathDocumentsAndSettings();
  EXPECT_TRUE(profile.starts_with(profiles)) << profile;
  EXPECT_EQ(profile.find('\\', profiles.size()), profile.size() - 1) << "the profile is one folder below";
}

TEST_F(WinEnvironOnWine, IdentityMemoryDesktopAndProfilesAreTheSystems) {
  char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = sizeof name;
  ASSERT_TRUE(::GetComputerNameA(name, &size));
  EXPECT_EQ(env.ComputerName(), platform::upperCase(name));
  EXPECT_NE(env.UserName(), "UNKNOWN");
  EXPECT_NE(env.DomainName(), "");
  EXPECT_GT(env.RAMFREE(), 0.0f);
  EXPECT_LE(env.RAMFREE(), env.RAMTOTAL());
  EXPECT_GE(env.MonitorCount(), 1);
  EXPECT_FALSE(env.IsShuttingDown());
  EXPECT_FALSE(env.IsBeingShadowed());

  std::vector<std::string> folders;
  std::int16_t count = 0;
  EXPECT_TRUE(env.GetUserProfileFolders(folders, count));
  ASSERT_EQ(folders.size(), static_cast<std::size_t>(count) + 1);
  EXPECT_TRUE(std::any_of(folders.begin(), folders.end(),
                          [&](const std::string& f) { return platform::equalsNoCase(f, env.PathCurrentUserProfile()); }))
      << env.PathCurrentUserProfile();
  EXPECT_TRUE(log.CurrentLogFile().empty()) << "nothing failed, so nothing was logged";
}

}  // namespace
}  // namespace tlv::testing
