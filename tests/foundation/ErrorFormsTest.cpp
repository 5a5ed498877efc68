// Native: the error-handling forms and the run-time error numbering of file failures.
#include <gtest/gtest.h>

#include "files/FileHandling.h"
#include "logging/ErrorForms.h"
#include "platform/sim/SimMachine.h"

namespace tlv::logging {
namespace {

using platform::sim::SimMachine;

class ErrorFormsTest : public ::testing::Test {
 protected:
  void SetUp() override { machine.files.addFolder("C:\\Tools"); }
  std::string logText() { return machine.files.contents(log.CurrentLogFile()); }

  SimMachine machine;
  platform::Platform platform = machine.platform();
  LoggingFunctions log{platform};
};

TEST_F(ErrorFormsTest, CountAndStopWritesTheLimitEntryForTheFirstError) {
  CountAndStop form(log, "jclass_WinEnvir", "IsWin64OS");
  EXPECT_EQ(form.ProcName, "jclass_WinEnvir:.IsWin64OS!");
  form.fail(runError(5));
  EXPECT_EQ(form.ErrorCount, 1);
  EXPECT_EQ(logText(),
            "9:05:07 AM jclass_WinEnvir:.IsWin64OS!TlvAsService ERROR#:=5:REACHED_MAX_ERRORS:=Invalid procedure call "
            "or argument><><1 Thrown><0 Max><Task:=><Start Function><\r\n");
  EXPECT_TRUE(machine.ui.boxes().empty());
}

TEST_F(ErrorFormsTest, LogAndContinueWritesOneEntryPerFailingStep) {
  LogAndContinue form(log, "GetUserProfileFolders ERROR#:", "Start GetUserProfileFolders");
  form.fail(runError(53));
  form.fail(RunError{-2147024891, "Access is denied", kErrorSource});
  EXPECT_EQ(logText(),
            "9:05:07 AM GetUserProfileFolders ERROR#:53:File not found><><Task><Start GetUserProfileFolders><\r\n"
            "9:05:07 AM GetUserProfileFolders ERROR#:-2147024891:Access is denied><><Task><Start "
            "GetUserProfileFolders><\r\n");
}

TEST_F(ErrorFormsTest, CaptureAndContinueKeepsTheErrorAndWritesNothing) {
  CaptureAndContinue form("jclass_WinEnvir", "MonitorCount");
  form.fail(runError(6));
  EXPECT_EQ(form.captured.number, 6);
  EXPECT_EQ(form.captured.description, "Overflow");
  EXPECT_EQ(form.Task, "Start Function");
  EXPECT_TRUE(log.CurrentLogFile().empty()) << "nothing was logged";
}

TEST(RunErrorTest, FileFailuresGetTheRunTimeNumbersUsersKnow) {
  namespace err = platform::err;
  const struct {
    platform::Win32Error error;
    FileOperation operation;
    std::int32_t number;
    const char* description;
  } cases[] = {
      {err::kFileNotFound, FileOperation::Open, 53, "File not found"},
      {err::kPathNotFound, FileOperation::Open, 76, "Path not found"},
      {err::kAccessDenied, FileOperation::Open, 75, "Path/File access error"},
      {err::kAccessDenied, FileOperation::Copy, 70, "Permission denied"},
      {err::kSharingViolation, FileOperation::Copy, 70, "Permission denied"},
      {err::kDiskFull, FileOperation::Write, 61, "Disk full"},
      {err::kInvalidName, FileOperation::Open, 52, "Bad file name or number"},
      {err::kWriteFault, FileOperation::Write, 57, "Device I/O error"},
      {err::kWriteFault, FileOperation::Open, 75, "Path/File access error"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE("win32 error " + std::to_string(c.error));
    const RunError e = runErrorForFile(c.error, c.operation);
    EXPECT_EQ(e.number, c.number);
    EXPECT_EQ(e.description, c.description);
    EXPECT_EQ(e.source, "TlvAsService");
  }
}

TEST(FileHandlingTest, CheckForFileTellsTheUserOnlyWhenAskedTo) {
  SimMachine machine;
  machine.files.addFile("C:\\Tools\\here.exe", "x");
  platform::Platform platform = machine.platform();
  files::FileHandling files(platform);

  std::string message, title;
  bool quiet = false;
  EXPECT_FALSE(files.CheckForFile("C:\\Tools\\srvany.exe", message, title, quiet));
  EXPECT_EQ(message, "The File: C:\\Tools\\srvany.exe Does not Exist!");
  EXPECT_EQ(title, "Check for File");
  ASSERT_EQ(machine.ui.boxes().size(), 1u);
  EXPECT_EQ(machine.ui.boxes()[0].text, message);
  EXPECT_EQ(machine.ui.boxes()[0].title, "Check for File");
  EXPECT_EQ(machine.ui.boxes()[0].style, 64u);

  std::string own = "Please copy it", noTitle;
  EXPECT_FALSE(files.CheckForFile("C:\\Tools\\x.exe", own, noTitle, quiet));
  EXPECT_EQ(own, "Please copy it") << "a caller's message is shown unchanged";
  EXPECT_EQ(machine.ui.boxes().back().text, "Please copy it");

  std::string m2, t2;
  EXPECT_FALSE(files.CheckForFile("", m2, t2, quiet)) << "an empty path shows nothing";
  EXPECT_TRUE(m2.empty() && t2.empty());
  quiet = true;
  EXPECT_FALSE(files.CheckForFile("C:\\Tools\\gone.exe", m2, t2, quiet));
  EXPECT_TRUE(m2.empty() && t2.empty()) << "quiet leaves the texts alone";
  EXPECT_TRUE(files.CheckForFile("C:\\Tools\\here.exe", m2, t2, quiet));
  EXPECT_EQ(machine.ui.boxes().size(), 2u);

  // A failing length read counts as a missing file and never reaches the caller.
  machine.faults.failNthCall(1, platform::err::kNotReady);
  EXPECT_FALSE(files.CheckForFileQuietly("C:\\Tools\\here.exe"));
}

}  // namespace
}  // namespace tlv::logging
