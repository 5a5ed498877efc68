// Portable: the enumeration of user profile folders on both layouts and its failures.
#include "tests/environment/SimEnvironFixture.h"

namespace tlv::testing {
namespace {

using platform::attr::kHidden;
using platform::attr::kSystem;

class UserProfiles : public SimEnvironFixture {
 protected:
  std::vector<std::string> folders{"caller's entry 0"};
  std::int16_t count = -1;
};

TEST_F(UserProfiles, TheClassicLayoutLeavesOutTheBuiltInAccounts) {
  arrangeWindowsXp();
  const std::string ds = "C:\\Documents and Settings\\";
  for (const char* name : {"All Users", "Default User", "LocalService", "NetworkService", "Administrator", "user1"}) {
    machine.files.addFolder(ds + name);
  }
  EXPECT_TRUE(env.GetUserProfileFolders(folders, count));
  EXPECT_EQ(count, 1);
  EXPECT_EQ(folders, (std::vector<std::string>{"caller's entry 0", ds + "user1\\"}));
}

TEST_F(UserProfiles, TheUsersLayoutSkipsHiddenAndSystemEntriesAndPlainFilesButKeepsPublic) {
  arrangeWindows7x64();
  addFolders({"C:\\Users\\Public", "C:\\Users\\user1", "C:\\Users\\user2", "C:\\Users\\administrator"});
  machine.files.addFolder("C:\\Users\\Default", platform::attr::kDirectory | kHidden);
  machine.files.addFolder("C:\\Users\\All Users", platform::attr::kDirectory | kHidden | kSystem);
  machine.files.addFile("C:\\Users\\notes.txt", "x");
  folders = {"", "left", "over", "entries", "beyond", "the", "count"};
  EXPECT_TRUE(env.GetUserProfileFolders(folders, count));
  EXPECT_EQ(count, 4);
  EXPECT_EQ(folders, (std::vector<std::string>{"", "C:\\Users\\administrator\\", "C:\\Users\\Public\\",
                                               "C:\\Users\\user1\\", "C:\\Users\\user2\\"}))
      << "in listing order, the array cut to the count";
  EXPECT_TRUE(logLines().empty());
}

TEST_F(UserProfiles, NothingButBuiltInAccountsLeavesTheArrayAlone) {
  arrangeWindowsXp();
  machine.files.remove("C:\\Documents and Settings\\user1");
  addFolders({"C:\\Documents and Settings\\All Users", "C:\\Documents and Settings\\Administrator"});
  folders = {"keep", "these"};
  EXPECT_FALSE(env.GetUserProfileFolders(folders, count));
  EXPECT_EQ(count, 0);
  EXPECT_EQ(folders, (std::vector<std::string>{"keep", "these"}));
}

TEST_F(UserProfiles, AFolderThatCannotBeListedIsLoggedAndGivesNothing) {
  setVariables({{"userprofile", "C:\\Nowhere\\user1"}});
  EXPECT_FALSE(env.GetUserProfileFolders(folders, count));
  EXPECT_EQ(count, 0);
  EXPECT_EQ(folders.size(), 1u);
  EXPECT_EQ(logLines(), std::vector<std::string>{"9:05:07 AM GetUserProfileFolders ERROR#:76:Path not found"
                                                 "><><Task><Start GetUserProfileFolders><"});
}

TEST_F(UserProfiles, ANameWhoseAttributesCannotBeReadIsLoggedAndTakenForAFolder) {
  arrangeWindows7x64();
  machine.files.addFile("C:\\Users\\notes.txt", "x");
  machine.files.addFolder("C:\\Users\\user1");
  env.PathDocumentsAndSettings();
  machine.faults.failWhen([](std::string_view call) { return call == "files.fileAttributes"; },
                          platform::err::kAccessDenied);
  EXPECT_TRUE(env.GetUserProfileFolders(folders, count)) << "the last event was a stored folder";
  EXPECT_EQ(count, 2);
  EXPECT_EQ(folders.at(1), "C:\\Users\\notes.txt\\");
  const std::string entry =
      "9:05:07 AM GetUserProfileFolders ERROR#:75:Path/File access error><><Task><Start GetUserProfileFolders><";
  EXPECT_EQ(logLines(), std::vector<std::string>(2, entry));
}

}  // namespace
}  // namespace tlv::testing
