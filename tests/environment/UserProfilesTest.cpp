// Portable: the enumeration of user profile folders and its failures.
#include "tests/environment/SimEnvironFixture.h"

namespace tlv::testing {
namespace {

using platform::attr::kDirectory;
using platform::attr::kHidden;
using platform::attr::kSystem;

class UserProfiles : public SimEnvironFixture {
 protected:
  std::vector<std::string> folders{"caller's entry 0"};
  std::int16_t count = -1;
};

TEST_F(UserProfiles, BuiltInAccountsHiddenAndSystemEntriesAndPlainFilesAreLeftOutUnlessTheirAttributesFail) {
  setVariables({{"userprofile", "C:\\Users\\user1"}});
  addFolders(
      {"C:\\Users\\Default User", "C:\\Users\\LocalService", "C:\\Users\\NetworkService", "C:\\Users\\Administrator"});
  machine.files.addFolder("C:\\Users\\Default", kDirectory | kHidden);
  machine.files.addFolder("C:\\Users\\All Users", kDirectory | kHidden | kSystem);
  machine.files.addFile("C:\\Users\\notes.txt", "x");
  folders = {"", "left", "over", "entries", "beyond", "the", "count"};
  const std::vector<std::string> untouched = folders;
  EXPECT_FALSE(env.GetUserProfileFolders(folders, count)) << "none found";
  EXPECT_EQ(count, 0);
  EXPECT_EQ(folders, untouched);

  machine.files.remove("C:\\Users\\Administrator");
  addFolders({"C:\\Users\\Public", "C:\\Users\\user1", "C:\\Users\\user2", "C:\\Users\\administrator"});
  EXPECT_TRUE(env.GetUserProfileFolders(folders, count));
  EXPECT_EQ(count, 4);
  EXPECT_EQ(folders, (std::vector<std::string>{"", "C:\\Users\\administrator\\", "C:\\Users\\Public\\",
                                               "C:\\Users\\user1\\", "C:\\Users\\user2\\"}))
      << "in listing order, the array cut to the count; only the exact built-in names are left out";
  EXPECT_TRUE(logLines().empty());

  // A name whose attributes cannot be read is logged and taken for a folder.
  machine.faults.failCalls(platform::sim::Call::FilesFileAttributes, platform::err::kAccessDenied);
  EXPECT_TRUE(env.GetUserProfileFolders(folders, count)) << "the last event was a stored folder";
  EXPECT_EQ(count, 5);
  EXPECT_EQ(folders.at(2), "C:\\Users\\notes.txt\\");
  const std::string entry =
      "9:05:07 AM GetUserProfileFolders ERROR#:75:Path/File access error><><Task><Start GetUserProfileFolders><";
  EXPECT_EQ(logLines(), std::vector<std::string>(5, entry));
}

TEST_F(UserProfiles, AFolderThatCannotBeListedIsLoggedAndGivesNothing) {
  setVariables({{"userprofile", "C:\\Nowhere\\user1"}});
  EXPECT_FALSE(env.GetUserProfileFolders(folders, count));
  EXPECT_EQ(count, 0);
  EXPECT_EQ(folders.size(), 1u);
  EXPECT_EQ(logLines(), std::vector<std::string>{"9:05:07 AM GetUserProfileFolders ERROR#:76:Path not found"
                                                 "><><Task><Start GetUserProfileFolders><"});
}

}  // namespace
}  // namespace tlv::testing
