// Native: the log writer on the sim machine: line layout, delimiters, file name, size limit.
#include <gtest/gtest.h>

#include <algorithm>

#include "logging/LoggingFunctions.h"
#include "platform/sim/SimMachine.h"
#include "tests/hardening/FaultSweep.h"

namespace tlv::logging {
namespace {

using platform::sim::SimMachine;

const std::string k23Spaces(23, ' ');
const std::string kLogFile = "C:\\Tools\\TlvAsServiceDec06-2026_90507.log";

/// A sim machine whose program runs from C:\Tools at 9:05:07, with its log writer.
struct LogMachine {
  LogMachine() { machine.files.addFolder("C:\\Tools"); }
  std::string logText() const { return machine.files.contents(kLogFile); }
  SimMachine machine;
  platform::Platform platform = machine.platform();
  LoggingFunctions log{platform};
};

// A level -3 entry's line and box, byte for byte, are ServiceCreationTest's missing tool's.
class LogWriterTest : public ::testing::Test, protected LogMachine {};

/// An entry with box style 64 and the fields a test leaves out empty.
LogEntry entry(std::int32_t level, const std::string& message, const std::string& detail,
               const std::string& item = "", const std::string& delimiter = "",
               std::initializer_list<std::string> extras = {}, const std::string& strip = "") {
  LogEntry e{level, message, detail, item, delimiter, {}, strip, 64};
  std::copy(extras.begin(), extras.end(), std::begin(e.extras));
  return e;
}

TEST_F(LogWriterTest, DelimiterChoosesMarksSeparatorAndPrefix) {
  const std::pair<std::string, std::string> cases[] = {
      {"", "9:05:07 AM m:d  item    a  b " + std::string(16, ' ')},
      {"<", "9:05:07 AM m:d><item><><a><b><><><><><><><><>"},
      {"[", "9:05:07 AM m:d][item][][a][b][][][][][][][][]"},
      {"|", "9:05:07 AM m|d||item||||a||b|" + std::string(16, '|')},
      {"::", "9:05:07 AM m:ditem::ab"},
  };
  for (const auto& [delimiter, line] : cases) {
    SCOPED_TRACE("delimiter '" + delimiter + "'");
    LogMachine fresh;
    fresh.log.WriteLog(entry(0, "m", "d", "item", delimiter, {"a", "b"}));
    EXPECT_EQ(fresh.logText(), line + "\r\n");
  }
}

TEST_F(LogWriterTest, ItemsCutsStripAndLevels) {
  log.WriteLog(entry(0, "m", "d", "Run.LOG", "<"));  // an item naming a log file is left out
  log.WriteLog(entry(0, "m@@x", "d@@y", "", "<", {"keep", "@@", "gone"}));
  log.WriteLog(entry(0, "Secret message", "d", "", "<", {}, "SECRET "));
  log.WriteLog(entry(1, "not written", "d"));
  log.WriteLog(entry(2, "not written either", "d"));
  EXPECT_EQ(logText(),
            "9:05:07 AM m:d><><><><><><><><><><><>\r\n"
            "9:05:07 AM m@@x:d@@y><><keep><\r\n"
            "9:05:07 AM message:d><><><><><><><><><><><>\r\n");
  EXPECT_TRUE(machine.ui.boxes().empty());
}

TEST_F(LogWriterTest, TimeOfDayIsTwelveHourEnglish) {
  const std::pair<platform::LocalTime, std::string> cases[] = {
      {{2026, 1, 1, 0, 0, 5}, "12:00:05 AM"},
      {{2026, 1, 1, 12, 30, 0}, "12:30:00 PM"},
      {{2026, 1, 1, 23, 59, 59}, "11:59:59 PM"},
  };
  for (const auto& [time, text] : cases) EXPECT_EQ(formatLogTime(time), text);
}

TEST_F(LogWriterTest, FileIsNamedAfterProgramAndStartTimeAndKeptForTheRun) {
  machine.clock.set({2026, 12, 6, 14, 5, 7});
  log.WriteLog(entry(0, "first", "d"));
  EXPECT_EQ(log.CurrentLogFile(), "C:\\Tools\\TlvAsServiceDec06-2026_140507.log");
  machine.clock.set({2026, 12, 6, 15, 5, 7});  // an hour on
  log.WriteLog(entry(0, "second", "d"));
  EXPECT_EQ(log.CurrentLogFile(), "C:\\Tools\\TlvAsServiceDec06-2026_140507.log");
  EXPECT_NE(machine.files.contents(log.CurrentLogFile()).find("3:05:07 PM second:d"), std::string::npos);

  // A program in a drive's root gets the root, a second backslash and the name.
  LogMachine rooted;
  rooted.machine.process.setModulePath("C:\\Setup.EXE");
  rooted.machine.clock.set({2027, 3, 1, 9, 5, 7});
  rooted.log.WriteLog(entry(0, "m", "d"));
  EXPECT_EQ(rooted.log.CurrentLogFile(), "C:\\\\SetupMar01-2027_90507.log");
  EXPECT_TRUE(rooted.machine.files.exists("C:\\SetupMar01-2027_90507.log"));
}

TEST_F(LogWriterTest, StopsAfterOneMarkerLineOnceTheFileIsFull) {
  log.WriteLog(entry(0, "first", "d"));
  // Exactly at the limit is not yet full.
  machine.files.addFile(kLogFile, std::string(LoggingFunctions::kMaxLogFileSize, 'x'));
  log.WriteLog(entry(0, "at limit", "d"));
  EXPECT_FALSE(log.LogFileFull());
  const std::string full = logText() + "9:05:07 AM *****:LOG_FILE_FULL*****\r\n";

  log.WriteLog(entry(-3, "over limit", "d", "", "<", {"a"}));
  EXPECT_TRUE(log.LogFileFull());
  EXPECT_EQ(logText(), full);
  ASSERT_FALSE(machine.ui.boxes().empty());
  EXPECT_EQ(machine.ui.boxes().back().text, "*****\r\n*****") << "the level -3 entry's box shows the marker";
  EXPECT_EQ(machine.ui.boxes().back().title, "LOG_FILE_FULL");
  const std::size_t boxesAtMarker = machine.ui.boxes().size();
  log.WriteLog(entry(-3, "after", "d"));
  log.WriteLog(entry(0, "after", "d"));
  EXPECT_EQ(logText(), full);
  EXPECT_EQ(machine.ui.boxes().size(), boxesAtMarker) << "no box after the marker, not even level -3";

  // With a one-character delimiter the marker takes it as separator.
  LogMachine other;
  other.log.WriteLog(entry(0, "m", "d", "", "|"));
  other.machine.files.addFile(kLogFile, std::string(LoggingFunctions::kMaxLogFileSize + 1, 'x'));
  other.log.WriteLog(entry(0, "m", "d", "", "|"));
  EXPECT_TRUE(other.logText().ends_with("9:05:07 AM *****|LOG_FILE_FULL*****\r\n"));
}

TEST(LogWriterSweep, EachPlatformCallFailingInTurnCostsAtMostItsOwnEntryOrBox) {
  // A first entry at level -3 with a strip text, then a plain one, with one call failing.
  using platform::sim::Call;
  const std::string stripped = "9:05:07 AM message:title><><x><><><><><><><><><>\r\n";
  const std::string second = "9:05:07 AM second:d" + k23Spaces + "\r\n";
  testing::sweepEveryCall([&](const testing::InjectedFault& fault) {
    LogMachine m;
    fault.arm(m.machine.faults);
    EXPECT_NO_THROW(m.log.WriteLog(entry(-3, "my message", "title", "", "<", {"x"}, "MY ")));
    const bool inFirst = fault.n != 0 && fault.n <= m.machine.faults.callCount();
    EXPECT_NO_THROW(m.log.WriteLog(entry(0, "second", "d")));
    const auto failed = [&](Call call) { return fault.hit(m.machine.faults, call); };
    std::string first = stripped, last = second;
    if (!inFirst) {
      if (failed(Call::FilesOpenText) || failed(Call::FilesWriteLine)) last = "";
    } else if (failed(Call::FilesOpenText) || failed(Call::ProcessModulePath)) {
      first = "";  // lost silently; the next entry names the file again
    } else if (failed(Call::FilesWriteLine)) {
      first = "9:05:07 AM my message:title><><x><><><><><><><><><>\r\n";  // the line as assembled
    }
    EXPECT_EQ(m.log.CurrentLogFile(), kLogFile) << "a failure while naming the file must not fix a wrong name";
    EXPECT_EQ(m.logText(), first + last);
    EXPECT_EQ(m.machine.ui.boxes().size(), failed(Call::UiMessageBox) ? 0u : 1u) << "the box does not depend on the file";
    return fault.callsSinceArmed(m.machine.faults);
  });
}

}  // namespace
}  // namespace tlv::logging
