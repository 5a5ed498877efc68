// Win32 only: a level -3 log entry under Wine: the message box titled by the detail, read
// and closed from the test, and the log file beside the program with its one line.
#include <gtest/gtest.h>

#include <map>
#include <regex>
#include <set>

#include "logging/LoggingFunctions.h"
#include "testkit/win32/Folders.h"
#include "testkit/win32/Gui.h"

namespace tlv::testing {
namespace {

// Every local time from `first` to `last`, second by second.
std::vector<platform::LocalTime> secondsBetween(const SYSTEMTIME& first, const SYSTEMTIME& last) {
  FILETIME from{}, to{};
  ::SystemTimeToFileTime(&first, &from);
  ::SystemTimeToFileTime(&last, &to);
  const auto ticks = [](const FILETIME& f) { return ULARGE_INTEGER{{f.dwLowDateTime, f.dwHighDateTime}}.QuadPart; };
  std::vector<platform::LocalTime> times;
  for (auto t = ticks(from) / 10'000'000 * 10'000'000; t <= ticks(to); t += 10'000'000) {
    ULARGE_INTEGER u{};
    u.QuadPart = t;
    const FILETIME f{u.LowPart, u.HighPart};
    SYSTEMTIME s{};
    ::FileTimeToSystemTime(&f, &s);
    times.push_back(platform::LocalTime{s.wYear, s.wMonth, s.wDay, s.wHour, s.wMinute, s.wSecond});
  }
  return times;
}

class LevelMinus3Entry : public ::testing::Test {
 protected:
  void SetUp() override {
    probe = folder.copyIn(buildRoot() + "testkit\\programs\\tlvuiprobe.exe");
    ASSERT_FALSE(probe.empty()) << "tlvuiprobe.exe not found in the build tree " << buildRoot();
  }

  ScratchProgramFolder folder{"LevelMinus3Entry"};
  Gui gui;
  std::string probe;
};

TEST_F(LevelMinus3Entry, ShowsABoxTitledByTheDetailAndWritesItsLineBesideTheProgram) {
  const std::string message = folder.path() + "instsrv.exe";
  const std::string body(23, ' ');
  SYSTEMTIME before{};
  ::GetLocalTime(&before);

  const auto started = gui.start(probe, {"log", "-3", message, "Missing"});
  ASSERT_NE(started.pid, 0u) << started.failure;
  const WindowView box = gui.wait(Window::dialog("Missing").of(started.pid));
  ASSERT_TRUE(box.found) << box.failure;
  SYSTEMTIME boxSeen{};
  ::GetLocalTime(&boxSeen);

  const auto statics = box.texts("static");
  EXPECT_EQ(std::count(statics.begin(), statics.end(), message + "\r\n" + body), 1)
      << "the box's text is the message, a line break and the body";
  EXPECT_EQ(box.texts("button"), std::vector<std::string>{"OK"});
  EXPECT_TRUE(gui.press(Window::dialog("Missing").of(started.pid), "OK"));
  EXPECT_EQ(gui.waitForExit(started.pid), 0ul) << "the entry returns once the box is closed";

  // The file is named and stamped when the entry is written, before the box shows.
  std::set<std::string> names, times;
  for (const auto& t : secondsBetween(before, boxSeen)) {
    names.insert("tlvuiprobe" + logging::formatLogFileStamp(t) + ".log");
    times.insert(logging::formatLogTime(t));
  }
  const auto logs = folder.files("*.log");
  ASSERT_EQ(logs.size(), 1u);
  EXPECT_TRUE(names.count(logs[0])) << logs[0];

  const auto content = folder.read(logs[0]);
  ASSERT_TRUE(content.has_value());
  std::smatch parts;
  ASSERT_TRUE(std::regex_match(*content, parts, std::regex("([0-9]{1,2}:[0-5][0-9]:[0-5][0-9] [AP]M) (.*)\r\n")))
      << *content;
  EXPECT_TRUE(times.count(parts[1].str())) << parts[1].str();
  EXPECT_EQ(parts[2].str(), message + ":Missing" + body);
}

TEST_F(LevelMinus3Entry, TheBoxStyleDecidesTheIcon) {
  // Where the box's text starts tells whether an icon stands before it.
  std::map<std::string, int> textLeft;
  for (const char* style : {"0", "64", "16"}) {
    SCOPED_TRACE(std::string("box style ") + style);
    const std::string title = std::string("Style ") + style;
    const auto started = gui.start(probe, {"log", "-3", "text", title, style});
    ASSERT_NE(started.pid, 0u) << started.failure;
    const WindowView box = gui.wait(Window::dialog(title).of(started.pid));
    ASSERT_TRUE(box.found) << box.failure;
    for (const auto& control : box.controls) {
      if (control.kind == "static" && control.text == "text\r\n" + std::string(23, ' ')) textLeft[style] = control.x;
    }
    EXPECT_TRUE(textLeft.count(style)) << "no static shows the entry";
    EXPECT_TRUE(gui.press(Window::dialog(title).of(started.pid), "OK"));
    EXPECT_EQ(gui.waitForExit(started.pid), 0ul);
  }
  EXPECT_GT(textLeft["64"], textLeft["0"] + 16) << "the information icon";
  EXPECT_GT(textLeft["16"], textLeft["0"] + 16) << "the critical icon";
}

}  // namespace
}  // namespace tlv::testing
