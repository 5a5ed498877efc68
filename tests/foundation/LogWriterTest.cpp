// Native: the log writer on the sim machine: line layout, delimiters, file name, size limit.
#include <gtest/gtest.h>

#include <tuple>

#include "logging/LoggingFunctions.h"
#include "platform/sim/SimMachine.h"

namespace tlv::logging {
namespace {

using platform::sim::SimMachine;

const std::string k23Spaces(23, ' ');
const std::string kLogFile = "C:\\Tools\\TlvAsServiceDec06-2026_90507.log";

class LogWriterTest : public ::testing::Test {
 protected:
  void SetUp() override { machine.files.addFolder("C:\\Tools"); }

  void write(std::int32_t level, const std::string& message, const std::string& detail, const std::string& item = "",
             const std::string& delimiter = "", std::initializer_list<std::string> extras = {},
             const std::string& strip = "", std::int32_t box = 64) {
    LogEntry entry{level, message, detail, item, delimiter, {}, strip, box};
    std::size_t i = 0;
    for (const std::string& extra : extras) entry.extras[i++] = extra;
    log.WriteLog(entry);
  }
  std::string logText() { return machine.files.contents(kLogFile); }

  SimMachine machine;
  platform::Platform platform = machine.platform();
  LoggingFunctions log{platform};
};

TEST_F(LogWriterTest, WorkedExamplesComeOutByteForByte) {
  // A missing tool: level -3, logged and shown.
  write(-3, "C:\\Tools\\instsrv.exe", "Missing");
  EXPECT_EQ(logText(), "9:05:07 AM C:\\Tools\\instsrv.exe:Missing" + k23Spaces + "\r\n");
  ASSERT_EQ(machine.ui.boxes().size(), 1u);
  EXPECT_EQ(machine.ui.boxes()[0].text, "C:\\Tools\\instsrv.exe\r\n" + k23Spaces);
  EXPECT_EQ(machine.ui.boxes()[0].title, "Missing");
  EXPECT_EQ(machine.ui.boxes()[0].style, 64u);

  // The limit entry of a count-and-stop procedure.
  write(-1, "jclass_WinEnvir:.IsWin64OS!TlvAsService ERROR#:=5", "REACHED_MAX_ERRORS:=Invalid procedure call", "",
        "<", {"1 Thrown", "0 Max", "Task:=", "Start Function", "@@"});
  EXPECT_EQ(logText().substr(logText().find("\r\n") + 2),
            "9:05:07 AM jclass_WinEnvir:.IsWin64OS!TlvAsService ERROR#:=5:REACHED_MAX_ERRORS:=Invalid procedure "
            "call><><1 Thrown><0 Max><Task:=><Start Function><\r\n");
  EXPECT_EQ(machine.ui.boxes().size(), 1u) << "only level -3 shows a box";
}

TEST_F(LogWriterTest, DelimiterChoosesMarksSeparatorAndPrefix) {
  struct Case {
    std::string delimiter;
    std::string expected;
  };
  const Case cases[] = {
      {"", "9:05:07 AM m:d  item    a  b " + std::string(16, ' ')},
      {"<", "9:05:07 AM m:d><item><><a><b><><><><><><><><>"},
      {"[", "9:05:07 AM m:d][item][][a][b][][][][][][][][]"},
      {"|", "9:05:07 AM m|d||item||||a||b|" + std::string(16, '|')},
      {"::", "9:05:07 AM m:ditem::ab"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE("delimiter '" + c.delimiter + "'");
    SimMachine fresh;
    fresh.files.addFolder("C:\\Tools");
    platform::Platform p = fresh.platform();
    LoggingFunctions writer(p);
    writer.WriteLog(LogEntry{0, "m", "d", "item", c.delimiter, {"a", "b"}, "", 64});
    EXPECT_EQ(fresh.files.contents(kLogFile), c.expected + "\r\n");
  }
}

TEST_F(LogWriterTest, ItemsCutsStripAndLevels) {
  write(0, "m", "d", "Run.LOG", "<");  // an item naming a log file is left out
  write(0, "m@@x", "d@@y", "", "<", {"keep", "@@", "gone"});
  write(0, "Secret message", "d", "", "<", {}, "SECRET ");
  write(1, "not written", "d", "", "", {}, "", 64);
  write(2, "not written either", "d", "", "", {}, "", 64);
  EXPECT_EQ(logText(),
            "9:05:07 AM m:d><><><><><><><><><><><>\r\n"
            "9:05:07 AM m@@x:d@@y><><keep><\r\n"
            "9:05:07 AM message:d><><><><><><><><><><><>\r\n");
  EXPECT_TRUE(machine.ui.boxes().empty());
}

TEST_F(LogWriterTest, TimeOfDayIsTwelveHourEnglish) {
  const std::pair<platform::LocalTime, std::string> cases[] = {
      {{2026, 1, 1, 0, 0, 5}, "12:00:05 AM"},   {{2026, 1, 1, 9, 5, 7}, "9:05:07 AM"},
      {{2026, 1, 1, 12, 30, 0}, "12:30:00 PM"}, {{2026, 1, 1, 14, 5, 7}, "2:05:07 PM"},
      {{2026, 1, 1, 23, 59, 59}, "11:59:59 PM"},
  };
  for (const auto& [time, text] : cases) EXPECT_EQ(formatLogTime(time), text);
}

TEST_F(LogWriterTest, FileIsNamedAfterProgramAndStartTimeAndKeptForTheRun) {
  machine.clock.set({2026, 12, 6, 14, 5, 7});
  write(0, "first", "d");
  EXPECT_EQ(log.CurrentLogFile(), "C:\\Tools\\TlvAsServiceDec06-2026_140507.log");
  machine.clock.advanceSeconds(3600);
  write(0, "second", "d");
  EXPECT_EQ(log.CurrentLogFile(), "C:\\Tools\\TlvAsServiceDec06-2026_140507.log");
  EXPECT_NE(machine.files.contents(log.CurrentLogFile()).find("3:05:07 PM second:d"), std::string::npos);

  // A program in a drive's root gets the root, a second backslash and the name.
  SimMachine rooted;
  rooted.process.setModulePath("C:\\Setup.EXE");
  rooted.clock.set({2027, 3, 1, 9, 5, 7});
  platform::Platform p = rooted.platform();
  LoggingFunctions writer(p);
  writer.WriteLog(LogEntry{0, "m", "d", "", "", {}, "", 64});
  EXPECT_EQ(writer.CurrentLogFile(), "C:\\\\SetupMar01-2027_90507.log");
  EXPECT_TRUE(rooted.files.exists("C:\\SetupMar01-2027_90507.log"));
}

TEST_F(LogWriterTest, StopsAfterOneMarkerLineOnceTheFileIsFull) {
  write(0, "first", "d");
  // Exactly at the limit is not yet full.
  machine.files.addFile(kLogFile, std::string(LoggingFunctions::kMaxLogFileSize, 'x'));
  write(0, "at limit", "d");
  EXPECT_FALSE(log.LogFileFull());
  const std::string beforeMarker = logText();

  write(-3, "over limit", "d", "", "<", {"a"});
  EXPECT_TRUE(log.LogFileFull());
  EXPECT_EQ(logText(), beforeMarker + "9:05:07 AM *****:LOG_FILE_FULL*****\r\n");
  const std::size_t boxesAtMarker = machine.ui.boxes().size();

  write(-3, "after", "d");
  write(0, "after", "d");
  EXPECT_EQ(logText(), beforeMarker + "9:05:07 AM *****:LOG_FILE_FULL*****\r\n");
  EXPECT_EQ(machine.ui.boxes().size(), boxesAtMarker) << "no box after the marker, not even level -3";

  // With a one-character delimiter the marker takes it as separator.
  SimMachine other;
  other.files.addFolder("C:\\Tools");
  platform::Platform p = other.platform();
  LoggingFunctions writer(p);
  writer.WriteLog(LogEntry{0, "m", "d", "", "|", {}, "", 0});
  other.files.addFile(kLogFile, std::string(LoggingFunctions::kMaxLogFileSize + 1, 'x'));
  writer.WriteLog(LogEntry{0, "m", "d", "", "|", {}, "", 0});
  EXPECT_TRUE(other.files.contents(kLogFile).ends_with("9:05:07 AM *****|LOG_FILE_FULL*****\r\n"));
}

TEST_F(LogWriterTest, UnwritableFolderLosesTheEntryQuietlyButStillShowsTheBox) {
  machine.files.denyWritesIn("C:\\Tools");
  write(-3, "C:\\Tools\\srvany.exe", "Missing");
  EXPECT_FALSE(machine.files.exists(kLogFile));
  ASSERT_EQ(machine.ui.boxes().size(), 1u);
  EXPECT_EQ(machine.ui.boxes()[0].title, "Missing");

  // A log file deleted during the run is not full: the next entry creates it again.
  SimMachine other;
  other.files.addFolder("C:\\Tools");
  platform::Platform p = other.platform();
  LoggingFunctions writer(p);
  writer.WriteLog(LogEntry{0, "one", "d", "", "", {}, "", 0});
  other.files.remove(kLogFile);
  writer.WriteLog(LogEntry{0, "two", "d", "", "", {}, "", 0});
  EXPECT_EQ(other.files.contents(kLogFile), "9:05:07 AM two:d" + k23Spaces + "\r\n");
}

TEST_F(LogWriterTest, EveryPlatformCallFailingInTurnGoesUnnoticedByTheCaller) {
  // One level -3 entry with a strip text, run once to count its platform calls, then again
  // with each call failing in turn.
  struct Outcome {
    std::size_t calls = 0;
    std::string failedCall;
    std::string newLines;
    std::size_t boxes = 0;
  };
  auto run = [](std::size_t failAt) {
    SimMachine m;
    m.files.addFolder("C:\\Tools");
    platform::Platform p = m.platform();
    LoggingFunctions writer(p);
    writer.WriteLog(LogEntry{0, "warm-up", "d", "", "", {}, "", 0});
    const std::string before = m.files.contents(writer.CurrentLogFile());
    const std::size_t callsBefore = m.faults.callCount();
    if (failAt) m.faults.failNthCall(failAt, platform::err::kAccessDenied);
    EXPECT_NO_THROW(writer.WriteLog(LogEntry{-3, "my message", "title", "", "<", {"x"}, "MY ", 64}));
    Outcome o;
    o.calls = m.faults.callCount() - callsBefore;
    o.failedCall = m.faults.failedCalls().empty() ? "" : m.faults.failedCalls().front();
    o.newLines = m.files.contents(writer.CurrentLogFile()).substr(before.size());
    o.boxes = m.ui.boxes().size();
    return o;
  };
  const std::string stripped = "9:05:07 AM message:title><><x><><><><><><><><><>\r\n";
  const std::string unstripped = "9:05:07 AM my message:title><><x><><><><><><><><><>\r\n";
  const Outcome clean = run(0);
  ASSERT_EQ(clean.newLines, stripped);
  ASSERT_GE(clean.calls, 5u);
  for (std::size_t n = 1; n <= clean.calls; ++n) {
    const Outcome o = run(n);
    SCOPED_TRACE("failing call " + std::to_string(n) + ": " + o.failedCall);
    EXPECT_EQ(o.boxes, o.failedCall == "ui.messageBox" ? 0u : 1u) << "the box does not depend on the file";
    if (o.failedCall == "files.openText") {
      EXPECT_EQ(o.newLines, "") << "entry lost silently";
    } else if (o.failedCall == "files.writeLine") {
      EXPECT_EQ(o.newLines, unstripped) << "a failed write of the stripped line writes it as assembled";
    } else {
      EXPECT_EQ(o.newLines, stripped);
    }
  }
}

TEST_F(LogWriterTest, FirstEntryWithEachCallFailingNamesTheFileRightOrNotAtAll) {
  // The first entry fixes the file name; a failure while naming it must not fix a wrong one.
  auto run = [](std::size_t failAt) {
    SimMachine m;
    m.files.addFolder("C:\\Tools");
    platform::Platform p = m.platform();
    LoggingFunctions writer(p);
    if (failAt) m.faults.failNthCall(failAt, 122);
    EXPECT_NO_THROW(writer.WriteLog(LogEntry{-3, "first", "title", "", "", {}, "", 64}));
    const std::size_t calls = m.faults.callCount();
    const std::string failed = m.faults.failedCalls().empty() ? "" : m.faults.failedCalls().front();
    m.faults.clearFaults();
    writer.WriteLog(LogEntry{0, "second", "d", "", "", {}, "", 0});
    return std::tuple(calls, failed, writer.CurrentLogFile(), m.files.contents(kLogFile), m.ui.boxes().size());
  };
  const std::size_t calls = std::get<0>(run(0));
  ASSERT_GE(calls, 4u);
  for (std::size_t n = 1; n <= calls; ++n) {
    const auto [_, failed, file, text, boxes] = run(n);
    SCOPED_TRACE("failing call " + std::to_string(n) + ": " + failed);
    EXPECT_EQ(file, kLogFile);
    EXPECT_TRUE(text.ends_with("9:05:07 AM second:d" + k23Spaces + "\r\n")) << text;
    EXPECT_EQ(boxes, failed == "ui.messageBox" ? 0u : 1u);
  }
}

}  // namespace
}  // namespace tlv::logging
