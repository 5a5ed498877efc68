// Portable: special-folder discovery and the folder properties: the listing of a worked
// machine, the rules on a table of machines, and failing steps.
#include <functional>

#include "tests/environment/SimEnvironFixture.h"

namespace tlv::testing {
namespace {

using Env = environment::jclass_WinEnviron;
using Property = std::string (Env::*)();

struct FolderValue {
  const char* name;
  Property property;
  std::string value;
};
#define FOLDER(name) #name, &Env::name

std::string joinLines(const std::vector<std::string>& lines) {
  std::string text;
  for (const std::string& line : lines) text += (text.empty() ? "" : "\r\n") + line;
  return text;
}

class SpecialFolders : public SimEnvironFixture {};

TEST_F(SpecialFolders, WindowsXp32BitListsTheClassicLayoutInTwentySevenLines) {
  arrangeWindowsXp();
  const std::string ds = "C:\\Documents and Settings\\";
  EXPECT_EQ(env.ListAllPathsToText(),
            joinLines({
                "<WindowsRoot> C:\\WINDOWS\\ = True",
                "<Sys32Root> C:\\WINDOWS\\System32\\ = True",
                "<Sys64Root>  = False",
                "<SysAny>C:\\WINDOWS\\System32\\ = True",
                "<ProgramFiles> C:\\Program Files\\ = True",
                "<AltProgFiles> = False",
                "<CommonProgramFiles> C:\\Program Files\\Common Files\\ = True",
                "<64BitProgFiles> = False",
                "<64BitAltProgFiles> = False",
                "<64BitCommonProgFiles>  = False",
                "<RootDrive> C:\\ = True",
                "<VirtualStore>  = False",
                "<DocumentsAndSettings> " + ds + " = True",
                "<CurrentUserProfile> " + ds + "user1\\ = True",
                "<CurrentDesktop> " + ds + "user1\\Desktop\\ = False",
                "<CurrentMyDocuments> " + ds + "user1\\My Documents\\ = True",
                "<CurrentAppData> " + ds + "user1\\Application Data\\ = False",
                "<CurrentLocalSettingsAppData> " + ds + "user1\\Local Settings\\Application Data\\ = False",
                "<CurrentStartMenu> " + ds + "user1\\Start Menu\\ = False",
                "<CurrentStartMenuProgramsList> " + ds + "user1\\Start Menu\\Programs\\ = False",
                "<CurrentStartup> " + ds + "user1\\Start Menu\\Programs\\Startup\\ = False",
                "<AllUserAdminTools> " + ds + "All Users\\Start Menu\\Programs\\Administrative Tools\\ = False",
                "<AllUsersAppData> " + ds + "All Users\\Application Data\\ = False",
                "<AllUsersDesktop> " + ds + "All Users\\Desktop\\ = False",
                "<AllUsersStartMenu> " + ds + "All Users\\Start Menu\\ = True",
                "<AllUserStartMenuProgramsList> " + ds + "All Users\\Start Menu\\Programs\\ = True",
                "<AllUsersStartup> " + ds + "All Users\\Start Menu\\Programs\\Startup\\ = True",
            }));
}

TEST_F(SpecialFolders, TheRulesOnWindows7x64AndTheirEdgeCases) {
  using Arrange = std::function<void(SimEnviron&)>;
  const Arrange none = [](SimEnviron&) {};
  const Arrange xp = &SimEnviron::arrangeWindowsXp;
  const Arrange seven = &SimEnviron::arrangeWindows7x64;
  const auto unset = [](const char* name) { return [=](SimEnviron& s) { s.machine.environment.unset(name); }; };
  const auto set = [](const char* name, const char* value) {
    return [=](SimEnviron& s) { s.setVariables({{name, value}}); };
  };
  const auto folders = [](const std::vector<std::string>& paths) {
    return [=](SimEnviron& s) { s.addFolders(paths); };
  };
  const struct {
    const char* what;
    Arrange machine, change;
    std::vector<FolderValue> expected;
  } cases[] = {
      {"64-bit Windows 7 as a 32-bit process sees it: the Users layout and the native folders", seven, none,
       {{FOLDER(PathSys32Root), "C:\\Windows\\SysWOW64\\"},
        {FOLDER(PathSys64Root), "C:\\Windows\\System32\\"},
        {FOLDER(PathSysAnyRoot), "C:\\Windows\\System32\\"},
        {FOLDER(PathProgramFiles), "C:\\Program Files (x86)\\"},
        {FOLDER(PathCommonProgramFilesX64), "C:\\Program Files\\Common Files\\"},
        {FOLDER(PathAllUsersAppData), "C:\\ProgramData\\"},
        {FOLDER(PathAllUsersStartMenu), "C:\\ProgramData\\Microsoft\\Windows\\Start Menu\\"},
        {FOLDER(PathCurrentStartup),
         "C:\\Users\\user1\\AppData\\Roaming\\Microsoft\\Windows\\Start Menu\\Programs\\Startup\\"},
        {FOLDER(PathCurrentDesktop), "C:\\Users\\user1\\Desktop\\"},
        {FOLDER(PathVirtualStore), "C:\\Users\\user1\\AppData\\Local\\VirtualStore\\"}}},
      {"(X86) in capitals is still the 64-bit form", none, set("ProgramFiles", "C:\\PROGRAM FILES (X86)"),
       {{FOLDER(PathProgramFilesX64), "C:\\PROGRAM FILES\\"}}},
      {"(x86) without a blank before it removes nothing", none, set("ProgramFiles", "C:\\Apps(x86)"),
       {{FOLDER(PathProgramFilesX64), "C:\\Apps(x86)\\"}}},
      {"D is tried before E", none, folders({"D:\\Program Files", "E:\\Program Files"}),
       {{FOLDER(PathProgramFilesAlt), "D:\\Program Files\\"}}},
      {"E when only E has it", none, folders({"E:\\Program Files"}),
       {{FOLDER(PathProgramFilesAlt), "E:\\Program Files\\"}}},
      {"64-bit program folders are probed on D and E too", seven,
       folders({"E:\\Program Files", "D:\\Program Files (x86)"}),
       {{FOLDER(PathProgramFilesX64Alt), "E:\\Program Files\\"},
        {FOLDER(PathProgramFilesAlt), "D:\\Program Files (x86)\\"}}},
      {"a user named Roaming: every occurrence becomes Local", seven,
       [](SimEnviron& s) {
         s.setVariables({{"userprofile", "C:\\Users\\Roaming"}, {"AppData", "C:\\Users\\Roaming\\AppData\\Roaming"}});
       },
       {{FOLDER(PathCurrentLocalSettingsAppData), "C:\\Users\\Local\\AppData\\Local\\"}}},
      {"AppData unset on the Users layout: below the profile", seven, unset("AppData"),
       {{FOLDER(PathCurrentAppData), "C:\\Users\\user1\\AppData\\Roaming\\"},
        {FOLDER(PathCurrentLocalSettingsAppData), "C:\\Users\\user1\\AppData\\Local\\"}}},
      {"AppData unset on the classic layout: a lone backslash", xp, unset("AppData"),
       {{FOLDER(PathCurrentAppData), "\\"}}},
      {"userprofile unset", seven, unset("userprofile"),
       {{FOLDER(PathCurrentUserProfile), "\\"}, {FOLDER(PathDocumentsAndSettings), "\\"}}},
      {"a profile without any backslash", none, set("userprofile", "user1"), {{FOLDER(PathDocumentsAndSettings), "u"}}},
      {"WinDir unset", none, unset("WinDir"), {{FOLDER(PathWindowsRoot), "\\"}, {FOLDER(PathRootDrive), "\\"}}},
      {"family 9 (Small Business Server 2003) is the classic layout", seven,
       [](SimEnviron& s) {
         s.setWindows(2, 5, 2, 3790, "", platform::product::kServer, platform::suite::kSmallBusiness);
       },
       {{FOLDER(PathCurrentMyDocuments), "C:\\Users\\user1\\My Documents\\"}}},
      {"family 10 (Vista) is the Users layout", xp, [](SimEnviron& s) { s.setWindows(2, 6, 0, 6002, ""); },
       {{FOLDER(PathCurrentMyDocuments), "C:\\Documents and Settings\\user1\\Documents\\"},
        {FOLDER(PathAllUsersDesktop), "C:\\Documents and Settings\\Public\\Desktop\\"}}},
      {"the domain is the user's DNS domain", none, set("USERDNSDOMAIN", "corp.example.com"),
       {{FOLDER(DomainName), "corp.example.com"}}},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    SimEnviron sim;
    sim.setVariables({{"WinDir", "C:\\WINDOWS"}, {"ProgramFiles", "C:\\Program Files"}});
    c.machine(sim);
    c.change(sim);
    for (const FolderValue& f : c.expected) EXPECT_EQ((sim.env.*f.property)(), f.value) << f.name;
  }
}

TEST_F(SpecialFolders, AFailingStepIsLoggedAndTheTestThatFailedCountsAsHolding) {
  arrangeWindows7x64();
  variables.failing = {"PROGRAMFILES", "ALLUSERSPROFILE"};
  EXPECT_EQ(env.PathProgramFilesX64(), "") << "a failed (x86) test takes the 32-bit branch";
  const std::string entry = "9:05:07 AM LSP E:7:Out of memory" + std::string(23, ' ');
  // ProgramFiles: the test and the assignment; AllUsersProfile: start menu and app data.
  EXPECT_EQ(logLines(), std::vector<std::string>(4, entry));

  EXPECT_EQ(env.PathAllUserStartMenuProgramsList(), "Programs\\") << "later steps still ran";
  EXPECT_EQ(env.PathAllUsersDesktop(), "C:\\Users\\Public\\Desktop\\");
  EXPECT_EQ(env.PathVirtualStore(), "C:\\Users\\user1\\AppData\\Local\\VirtualStore\\");
  EXPECT_EQ(env.DomainName(), "None");
  EXPECT_EQ(logLines().size(), 4u) << "no further pass so far";
  EXPECT_EQ(env.PathProgramFiles(), "") << "its assignment failed and was skipped";
  EXPECT_EQ(env.PathAllUsersStartMenu(), "");
  EXPECT_EQ(logLines().size(), 12u) << "each empty cache ran one more pass";
}

}  // namespace
}  // namespace tlv::testing
