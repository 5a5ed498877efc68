// Contract suite of the file-system port and the file checks: the same cases on the sim machine
// and under Wine.
#include <gtest/gtest.h>

#include <map>

#include "files/FileHandling.h"
#include "platform/WindowsPath.h"
#include "tests/contract/TestMachine.h"

namespace tlv::testing {
namespace {

using platform::OpenMode;
namespace err = platform::err;

class FilesContract : public ::testing::Test {
 protected:
  platform::FileSystem& fs() { return machine->platform().files; }
  void write(const std::string& path, const std::string& line, OpenMode mode = OpenMode::Output) {
    auto file = fs().openText(path, mode);
    ASSERT_TRUE(file.ok()) << path << " error " << file.error;
    ASSERT_EQ(file.value->writeLine(line), err::kSuccess);
    ASSERT_EQ(file.value->close(), err::kSuccess);
  }
  std::string read(const std::string& path) {
    auto bytes = fs().readWholeFile(path);
    EXPECT_TRUE(bytes.ok()) << path << " error " << bytes.error;
    return bytes.value;
  }

  std::unique_ptr<TestMachine> machine = makeTestMachine();
  const std::string dir = machine->scratchFolder();
};

TEST_F(FilesContract, TextFilesEndLinesInCrLfAndOutputReplacesWhileAppendExtends) {
  const std::string path = dir + "a.txt";
  write(path, "one");
  write(path, "two", OpenMode::Append);
  EXPECT_EQ(read(path), "one\r\ntwo\r\n");
  write(path, "three");
  EXPECT_EQ(read(path), "three\r\n");
  write(dir + "new.txt", "", OpenMode::Append);
  EXPECT_EQ(read(dir + "new.txt"), "\r\n");

  // A file dropped without close() is closed by its owner, its lines kept.
  {
    auto file = fs().openText(dir + "dropped.txt", OpenMode::Output);
    ASSERT_TRUE(file.ok());
    ASSERT_EQ(file.value->writeLine("kept"), err::kSuccess);
  }
  EXPECT_EQ(read(dir + "dropped.txt"), "kept\r\n");

  machine->makeFolder(dir + "sub");
  EXPECT_EQ(fs().openText(dir + "nofolder\\x.txt", OpenMode::Output).error, err::kPathNotFound);
  EXPECT_EQ(fs().openText(dir + "sub", OpenMode::Append).error, err::kAccessDenied) << "a folder is not a file";
  EXPECT_EQ(fs().readWholeFile(dir + "missing.txt").error, err::kFileNotFound);
}

TEST_F(FilesContract, LengthsAttributesAndTheChecksOnThemAnswerWithoutEverFailing) {
  write(dir + "f.txt", "12345678");  // 10 bytes with CR LF
  auto empty = fs().openText(dir + "empty.bin", OpenMode::Output);
  ASSERT_TRUE(empty.ok());
  ASSERT_EQ(empty.value->close(), err::kSuccess);
  machine->makeFolder(dir + "sub");
  EXPECT_EQ(fs().fileLength(dir + "F.TXT").value, 10) << "names without regard to case";
  EXPECT_EQ(fs().fileLength(dir + "missing.txt").error, err::kFileNotFound);
  EXPECT_EQ(fs().fileLength(dir + "nofolder\\x.txt").error, err::kPathNotFound);
  EXPECT_EQ(fs().fileAttributes(dir + "missing").error, err::kFileNotFound);
  EXPECT_FALSE(fs().fileAttributes(dir + "f.txt\\").ok()) << "trailing backslash on a file";

  files::FileHandling checks(machine->platform());
  EXPECT_TRUE(checks.CheckForFileQuietly(dir + "f.txt"));
  EXPECT_TRUE(checks.CheckForFileQuietly(dir + "empty.bin")) << "an empty file is present";
  for (const std::string& path : {dir + "missing.exe", dir + "nofolder\\f.txt", dir + "sub", std::string()}) {
    EXPECT_FALSE(checks.CheckForFileQuietly(path)) << path;
  }
  EXPECT_TRUE(checks.FolderExists(dir + "sub"));
  EXPECT_TRUE(checks.FolderExists(dir + "sub\\"));
  for (const std::string& path : {dir + "f.txt", dir + "missing", std::string(), dir + "bad<name>"}) {
    EXPECT_FALSE(checks.FolderExists(path)) << path;
  }
}

TEST_F(FilesContract, NewFilesHoldExactBytesRenamesReplaceAndDeletesReportWhatIsMissing) {
  const std::string bytes("MZ\0\x90 tool \r\n\xff", 12);
  EXPECT_EQ(fs().writeNewFile(dir + "new.exe", bytes), err::kSuccess);
  EXPECT_EQ(read(dir + "new.exe"), bytes);
  write(dir + "old.exe", "old version");
  EXPECT_EQ(fs().writeNewFile(dir + "old.exe", "v2"), err::kSuccess) << "an existing file is emptied first";
  EXPECT_EQ(read(dir + "old.exe"), "v2");

  EXPECT_EQ(fs().moveFile(dir + "new.exe", dir + "old.exe"), err::kSuccess) << "the target is replaced";
  EXPECT_EQ(read(dir + "old.exe"), bytes);
  EXPECT_EQ(fs().fileLength(dir + "new.exe").error, err::kFileNotFound);
  EXPECT_EQ(fs().moveFile(dir + "new.exe", dir + "x.exe"), err::kFileNotFound);
  EXPECT_EQ(fs().writeNewFile(dir + "nofolder\\x.exe", "x"), err::kPathNotFound);

  EXPECT_EQ(fs().deleteFile(dir + "old.exe"), err::kSuccess);
  EXPECT_EQ(fs().deleteFile(dir + "old.exe"), err::kFileNotFound);
  machine->makeFolder(dir + "sub");
  EXPECT_EQ(fs().deleteFile(dir + "sub"), err::kAccessDenied) << "a folder is not deleted as a file";
}

TEST_F(FilesContract, AHeldFileCanBeReadButNotWrittenRenamedOrDeletedUntilLetGo) {
  const std::string path = dir + "held.bat";
  write(path, "echo one");
  {
    auto held = fs().holdForReading(path);
    ASSERT_TRUE(held.ok()) << held.error;
    EXPECT_EQ(held.value->readAll().value, "echo one\r\n");
    EXPECT_EQ(read(path), "echo one\r\n") << "others may read it";
    EXPECT_EQ(fs().openText(path, OpenMode::Output).error, err::kSharingViolation);
    EXPECT_EQ(fs().openText(path, OpenMode::Append).error, err::kSharingViolation);
    EXPECT_EQ(fs().writeNewFile(path, "x"), err::kSharingViolation);
    EXPECT_EQ(fs().deleteFile(path), err::kSharingViolation);
    EXPECT_EQ(fs().moveFile(path, dir + "moved.bat"), err::kSharingViolation);
    write(dir + "other.bat", "echo two");
    EXPECT_EQ(fs().moveFile(dir + "other.bat", path), err::kAccessDenied) << "nor replaced";
    EXPECT_EQ(held.value->readAll().value, "echo one\r\n") << "read again from its start";
  }
  EXPECT_EQ(fs().writeNewFile(path, "x"), err::kSuccess) << "let go";
  EXPECT_EQ(fs().holdForReading(dir + "missing.bat").error, err::kFileNotFound);
}

TEST_F(FilesContract, FullPathsAreMadeAgainstTheCurrentFolderWithoutLookingAtTheDisk) {
  machine->makeFolder(dir + "cur");
  machine->setCurrentFolder(dir + "cur");
  const std::string drive = dir.substr(0, 2);
  const std::map<std::string, std::string> cases{
      {"OT", dir + "cur\\OT"},
      {"OT\\", dir + "cur\\OT\\"},
      {".\\a\\..\\b/c", dir + "cur\\b\\c"},
      {"..\\x", dir + "x"},
      {"\\Pay\\OT", drive + "\\Pay\\OT"},
      {drive + "rel", dir + "cur\\rel"},
      {drive + "\\A\\.\\B\\\\C\\..\\", drive + "\\A\\B\\"},
      {drive + "\\..\\..\\A", drive + "\\A"},
  };
  for (const auto& [path, full] : cases) {
    const auto made = fs().fullPath(path);
    ASSERT_TRUE(made.ok()) << path << " error " << made.error;
    EXPECT_TRUE(platform::equalsNoCase(made.value, full)) << path << " -> " << made.value << ", not " << full;
  }
}

// A folder is made with its rights, or the one there taken, and granted more; a file in its
// place and a missing parent are refused. Where the file system keeps no rights (Wine's, the
// sim's scratch folder) the folder is still made, and the answer says so.
TEST_F(FilesContract, AFolderIsMadeWithItsRightsOrGrantedMoreUnlessAFileIsInItsPlace) {
  const platform::SecurityDescriptor rights{platform::sid::kAdministrators, {{platform::sid::kSystem, 0x1F01FF}}};
  EXPECT_EQ(fs().makeSecuredFolder(dir + "made", rights), err::kNotSupported);
  EXPECT_TRUE(fs().fileAttributes(dir + "made").value & platform::attr::kDirectory);
  EXPECT_EQ(fs().makeSecuredFolder(dir + "made", rights), err::kNotSupported) << "the one there is taken";
  write(dir + "file", "x");
  EXPECT_EQ(fs().makeSecuredFolder(dir + "file", rights), err::kDirectory);
  EXPECT_EQ(fs().makeSecuredFolder(dir + "missing\\made", rights), err::kPathNotFound);
  EXPECT_EQ(fs().grantToFolder(dir + "made", platform::sid::kUsers, 0x1200A9), err::kNotSupported);
  EXPECT_EQ(fs().grantToFolder(dir + "file", platform::sid::kUsers, 0x1200A9), err::kDirectory);
  EXPECT_EQ(fs().grantToFolder(dir + "missing", platform::sid::kUsers, 0x1200A9), err::kFileNotFound);
}

TEST_F(FilesContract, ListingGivesDotEntriesNamesAndAttributes) {
  write(dir + "File One.txt", "x");
  machine->makeFolder(dir + "Folder");
  auto listing = fs().listFolder(dir);
  ASSERT_TRUE(listing.ok());
  std::map<std::string, bool> seen;  // each name, and whether it is a folder
  for (const auto& entry : listing.value) seen[entry.name] = (entry.attributes & platform::attr::kDirectory) != 0;
  EXPECT_EQ(seen, (std::map<std::string, bool>{{".", true}, {"..", true}, {"File One.txt", false}, {"Folder", true}}));

  EXPECT_TRUE(fs().listFolder(dir.substr(0, dir.size() - 1)).ok()) << "folder named without backslash";
  EXPECT_EQ(fs().listFolder(dir + "missing\\").error, err::kPathNotFound);
}

}  // namespace
}  // namespace tlv::testing
