// Win32 only: the environment class on the real platform under Wine. Prints what the class
// answers and checks it against what the system reports through its own calls.
#include <gtest/gtest.h>

#include <iostream>
#include <sstream>

#include "environment/jclass_WinEnviron.h"
#include "platform/WindowsPath.h"
#include "platform/win32/Win32Platform.h"

namespace tlv::testing {
namespace {

using Env = environment::jclass_WinEnviron;

class WinEnvironOnWine : public ::testing::Test {
 protected:
  platform::win32::Win32Platform machine{::GetModuleHandleA(nullptr)};
  platform::Platform platform = machine.platform();
  logging::LoggingFunctions log{platform};
  Env env{platform, log};
};

bool endsWith(const std::string& text, const std::string& tail) {
  return text.size() >= tail.size() && text.compare(text.size() - tail.size(), tail.size(), tail) == 0;
}

TEST_F(WinEnvironOnWine, VersionIsWindows7ServicePack1AsWineReportsIt) {
  OSVERSIONINFOA direct{};
  direct.dwOSVersionInfoSize = sizeof direct;
  ASSERT_TRUE(::GetVersionExA(&direct));
  const std::string numbers = std::to_string(direct.dwMajorVersion) + "." + std::to_string(direct.dwMinorVersion) +
                              "." + std::to_string(direct.dwBuildNumber);
  std::cout << "Title: " << env.Title() << "\nintOS: " << env.intOS() << "\nVersionNumberString: "
            << env.VersionNumberString() << "\nSuiteMask: " << env.SuiteMask() << "\nisServer: " << env.isServer()
            << "\nisHomeVersion: " << env.isHomeVersion() << "\n";

  EXPECT_EQ(env.VersionNumberString(), numbers);
  EXPECT_EQ(env.VersionNumberString(), "6.1.7601");
  EXPECT_EQ(env.intOS(), 13);
  EXPECT_EQ(env.Title(), "Windows7 Pro 6.1.7601 " + std::string(direct.szCSDVersion));
  EXPECT_EQ(env.Title(), "Windows7 Pro 6.1.7601 Service Pack 1");
  EXPECT_FALSE(env.isServer());
  EXPECT_EQ(env.WinProductType(), "");
}

TEST_F(WinEnvironOnWine, A32BitProgramUnderWow64SeesX86On64BitWindows) {
  std::cout << "ProcessorArchitecture: " << env.ProcessorArchitecture() << "\nIs64Bit: " << env.Is64Bit() << "\n";
  EXPECT_EQ(env.ProcessorArchitecture(), "32 BIT x86");
  EXPECT_TRUE(env.Is64Bit());
  EXPECT_EQ(env.PathProgramFiles(), "C:\\Program Files (x86)\\");
  EXPECT_EQ(env.PathProgramFilesX64(), "C:\\Program Files\\");
  EXPECT_TRUE(endsWith(env.PathSys32Root(), "SysWOW64\\")) << env.PathSys32Root();
  EXPECT_TRUE(endsWith(env.PathSys64Root(), "System32\\")) << env.PathSys64Root();
  EXPECT_EQ(env.PathSysAnyRoot(), env.PathSys64Root());
}

TEST_F(WinEnvironOnWine, EveryFolderEndsInABackslashAndTheListingHasEveryLine) {
  const std::string listing = env.ListAllPathsToText();
  std::cout << listing << "\n";
  std::istringstream lines(listing);
  int count = 0;
  for (std::string line; std::getline(lines, line);) {
    ++count;
    SCOPED_TRACE(line);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    const std::size_t close = line.find('>');
    const std::size_t equals = line.rfind(" = ");
    ASSERT_NE(close, std::string::npos);
    ASSERT_NE(equals, std::string::npos);
    std::string value = line.substr(close + 1, equals - close - 1);
    if (!value.empty() && value.front() == ' ') value.erase(0, 1);
    if (!value.empty()) {
      EXPECT_EQ(value.back(), '\\');
    }
  }
  EXPECT_EQ(count, 27);
  EXPECT_EQ(listing.rfind("<WindowsRoot> " + env.PathWindowsRoot() + " = True\r\n", 0), 0u);
  const std::string profile = env.PathCurrentUserProfile();
  const std::string profiles = env.PathDocumentsAndSettings();
  EXPECT_EQ(profile.rfind(profiles, 0), 0u) << profile;
  EXPECT_EQ(profile.find('\\', profiles.size()), profile.size() - 1) << "the profile is one folder below";
  EXPECT_NE(env.DomainName(), "");
}

TEST_F(WinEnvironOnWine, IdentityMemoryAndDesktopAreTheSystems) {
  char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
  DWORD size = sizeof name;
  ASSERT_TRUE(::GetComputerNameA(name, &size));
  std::cout << "ComputerName: " << env.ComputerName() << "\nUserName: " << env.UserName()
            << "\nRAMTOTAL: " << env.RAMTOTAL() << "\nRAMFREE: " << env.RAMFREE()
            << "\nMonitorCount: " << env.MonitorCount() << "\nDomainName: " << env.DomainName() << "\n";
  EXPECT_EQ(env.ComputerName(), platform::upperCase(name));
  EXPECT_NE(env.UserName(), "UNKNOWN");
  EXPECT_GT(env.RAMTOTAL(), 0.0f);
  EXPECT_GT(env.RAMFREE(), 0.0f);
  EXPECT_LE(env.RAMFREE(), env.RAMTOTAL());
  EXPECT_GE(env.MonitorCount(), 1);
  EXPECT_FALSE(env.IsShuttingDown());
  EXPECT_FALSE(env.IsBeingShadowed());
}

TEST_F(WinEnvironOnWine, TheCurrentUsersProfileIsAmongTheProfileFolders) {
  std::vector<std::string> folders;
  std::int16_t count = 0;
  EXPECT_TRUE(env.GetUserProfileFolders(folders, count));
  ASSERT_EQ(folders.size(), static_cast<std::size_t>(count) + 1);
  for (const std::string& f : folders) std::cout << "profile: " << f << "\n";
  bool found = false;
  for (const std::string& f : folders) found = found || platform::equalsNoCase(f, env.PathCurrentUserProfile());
  EXPECT_TRUE(found) << env.PathCurrentUserProfile();
  EXPECT_TRUE(log.CurrentLogFile().empty()) << "nothing failed, so nothing was logged";
}

}  // namespace
}  // namespace tlv::testing
