// Native: the error-handling forms and the run-time error numbering of file failures.
#include <gtest/gtest.h>

#include <tuple>

#include "files/FileHandling.h"
#include "logging/ErrorForms.h"
#include "platform/sim/SimMachine.h"

namespace tlv::logging {
namespace {

using platform::sim::SimMachine;

TEST(ErrorFormsTest, EachFormHandlesAFailureInItsOwnWay) {
  SimMachine machine;
  machine.files.addFolder("C:\\Tools");
  platform::Platform platform = machine.platform();
  LoggingFunctions log(platform);
  // A, count and stop: the limit entry for the first error.
  CountAndStop countAndStop(log, "jclass_WinEnvir", "IsWin64OS");
  countAndStop.fail(runError(5));
  EXPECT_EQ(countAndStop.ErrorCount, 1);
  // B, log and continue: one entry per failing step.
  LogAndContinue logAndContinue(log, "GetUserProfileFolders ERROR#:", "Start GetUserProfileFolders");
  logAndContinue.fail(runError(53));
  logAndContinue.fail(RunError{-2147024891, "Access is denied", kErrorSource});
  // C, capture and continue: the error kept, nothing written.
  CaptureAndContinue capture("jclass_WinEnvir", "MonitorCount");
  capture.fail(runError(6));
  EXPECT_EQ(capture.captured.number, 6);
  EXPECT_EQ(capture.captured.description, "Overflow");

  EXPECT_EQ(machine.files.contents(log.CurrentLogFile()),
            "9:05:07 AM jclass_WinEnvir:.IsWin64OS!TlvAsService ERROR#:=5:REACHED_MAX_ERRORS:=Invalid procedure call "
            "or argument><><1 Thrown><0 Max><Task:=><Start Function><\r\n"
            "9:05:07 AM GetUserProfileFolders ERROR#:53:File not found><><Task><Start GetUserProfileFolders><\r\n"
            "9:05:07 AM GetUserProfileFolders ERROR#:-2147024891:Access is denied><><Task><Start "
            "GetUserProfileFolders><\r\n");
  EXPECT_TRUE(machine.ui.boxes().empty());
}

TEST(RunErrorTest, FileFailuresGetTheRunTimeNumbersUsersKnow) {
  namespace err = platform::err;
  using Op = FileOperation;
  const std::tuple<platform::Win32Error, FileOperation, std::int32_t> cases[] = {
      {err::kFileNotFound, Op::Open, 53},
      {err::kPathNotFound, Op::Open, 76},
      {err::kAccessDenied, Op::Open, 75},
      {err::kAccessDenied, Op::Copy, 70},
      {err::kSharingViolation, Op::Copy, 70},
      {err::kDiskFull, Op::Write, 61},
      {err::kInvalidName, Op::Open, 52},
      {err::kWriteFault, Op::Write, 57},
      {err::kWriteFault, Op::Open, 75},  // an unlisted error: a write is a device error, an open an access error
  };
  for (const auto& [error, operation, number] : cases) {
    EXPECT_EQ(runErrorForFile(error, operation).number, number) << "win32 error " << error;
  }
}

// The program asks only the quiet check; its answers on both machines are FilesContract's.
TEST(FileHandlingTest, AFailingLengthReadCountsAsAMissingFile) {
  SimMachine machine;
  machine.files.addFile("C:\\Tools\\here.exe", "x");
  platform::Platform platform = machine.platform();
  machine.faults.failNthCall(1, platform::err::kNotReady);
  EXPECT_FALSE(files::FileHandling(platform).CheckForFileQuietly("C:\\Tools\\here.exe"));
}

}  // namespace
}  // namespace tlv::logging
