// Win32 only: the robot's own abilities under Wine, on the platform's prompt and window
// shown by the probe program: typing, pressing, choosing a menu item, and its failures.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <thread>

#include "testkit/robot/DumpFormat.h"
#include "testkit/win32/Folders.h"
#include "testkit/win32/Robot.h"

namespace tlv::testing {
namespace {

using platform::win32::UniqueKernelHandle;

class RobotDriving : public ::testing::Test {
 protected:
  void SetUp() override {
    probe = folder.copyIn(buildRoot() + "testkit\\programs\\tlvuiprobe.exe");
    ASSERT_FALSE(probe.empty()) << "tlvuiprobe.exe not found in the build tree " << buildRoot();
  }

  ScratchProgramFolder folder{"RobotDriving"};
  Robot robot;
  std::string probe;
};

TEST_F(RobotDriving, TypesIntoThePromptAndPressesItsButtons) {
  struct Case {
    const char* button;
    const char* typed;
    const char* answer;
  };
  for (const Case& c : {Case{"OK", "C:\\Orbit \"Folder\"\\", "OK:C:\\Orbit \"Folder\"\\"},
                        Case{"Cancel", "ignored", "CANCEL"}, Case{"OK", "", "OK:"}}) {
    SCOPED_TRACE(std::string(c.button) + " after typing " + c.typed);
    const auto started = robot.start(probe, {"input", "Where is Orbit-Tender.exe?", "Find Orbit", "C:\\Default"});
    ASSERT_NE(started.pid, 0u) << started.run.failure;
    const Window prompt = Window::dialog("Find Orbit").of(started.pid);

    const WindowView before = robot.wait(prompt);
    ASSERT_TRUE(before.found) << before.failure;
    EXPECT_EQ(before.texts("edit"), std::vector<std::string>{"C:\\Default"});
    EXPECT_EQ(before.texts("static"), std::vector<std::string>{"Where is Orbit-Tender.exe?"});
    EXPECT_EQ(before.texts("button"), (std::vector<std::string>{"OK", "Cancel"}));

    ASSERT_TRUE(robot.type(prompt, 0, c.typed));
    EXPECT_EQ(robot.wait(prompt).texts("edit"), std::vector<std::string>{c.typed});
    ASSERT_TRUE(robot.press(prompt, c.button));
    EXPECT_EQ(robot.waitForExit(started.pid), 0ul);
    EXPECT_EQ(folder.read("answer.txt").value_or("<none>"), std::string(c.answer) + "\r\n");
  }
}

TEST_F(RobotDriving, ChoosesMenuItemsByTheCaptionAPersonReads) {
  const auto started = robot.start(probe, {"window", "Probe Window", "&Count This"});
  ASSERT_NE(started.pid, 0u) << started.run.failure;
  const Window window = Window::titled("Probe Window").of(started.pid);
  const WindowView first = robot.wait(window);
  ASSERT_TRUE(first.found) << first.failure;
  EXPECT_EQ(first.menu, std::vector<std::string>{"&Count This"});

  EXPECT_TRUE(robot.chooseMenu(window, "Count This"));
  EXPECT_TRUE(robot.chooseMenu(window, "&Count This"));
  std::vector<std::string> statics;
  for (int attempt = 0; attempt < 50 && statics != std::vector<std::string>{"Chosen 2"}; ++attempt) {
    statics = robot.wait(window).texts("static");
    ::Sleep(50);
  }
  EXPECT_EQ(statics, std::vector<std::string>{"Chosen 2"});

  const RobotRun missingItem = robot.run({"menu", "--title", "Probe Window", "No Such Item"});
  EXPECT_EQ(missingItem.exitCode, 1);
  EXPECT_EQ(missingItem.failure, "tlvrobot: the window has no menu item \"No Such Item\"");
  const RobotRun missingButton = robot.run({"press", "--title", "Probe Window", "OK"});
  EXPECT_EQ(missingButton.exitCode, 1);
  EXPECT_EQ(missingButton.failure, "tlvrobot: the window has no button \"OK\"");

  ASSERT_TRUE(robot.close(window));
  EXPECT_EQ(robot.waitForExit(started.pid), 0ul);
}

TEST_F(RobotDriving, WatchesEveryTextTheWindowShowsUntilItsTimeIsUp) {
  // The watch runs on its own thread while this one chooses the menu item twice.
  RobotRun watch;
  std::thread watcher([&] { watch = robot.run({"start", "--watch", "--timeout", "4000", probe, "window", "Watched", "Go"}); });
  const Window window = Window::titled("Watched");
  // Looked for here rather than with the robot: under Wine, a menu read by a second robot
  // while the watch hooks the same thread can take the watch's hook away with it.
  bool shown = false;
  for (int i = 0; i < 100 && !shown; ++i, ::Sleep(50)) shown = ::FindWindowA(nullptr, "Watched") != nullptr;
  ::Sleep(500);  // the watch takes hold of the window once it is idle
  const bool chosen = shown && robot.chooseMenu(window, "Go") && robot.chooseMenu(window, "Go");
  watcher.join();
  EXPECT_TRUE(robot.close(window));
  for (const auto& line : watch.lines()) {
    // Started by the watch, not through robot.start: its end is waited for here.
    if (line.kind() != "process") continue;
    UniqueKernelHandle process(::OpenProcess(SYNCHRONIZE, FALSE, static_cast<DWORD>(line.numberField("pid").value_or(0))));
    if (process) {
      EXPECT_EQ(::WaitForSingleObject(process.get(), 10000), WAIT_OBJECT_0);
    }
  }
  ASSERT_TRUE(chosen);

  std::vector<std::string> texts;
  std::int64_t previousMs = 0;
  for (const auto& line : watch.lines()) {
    if (line.kind() != "changed") continue;
    texts.push_back(line.field("text").value_or("?"));
    EXPECT_EQ(line.numberField("id"), 200);
    EXPECT_EQ(line.field("class"), "Static");
    EXPECT_GE(line.numberField("ms").value_or(-1), previousMs) << "in the order they happened";
    previousMs = line.numberField("ms").value_or(-1);
  }
  EXPECT_EQ(texts, (std::vector<std::string>{"Chosen 0", "Chosen 1", "Chosen 2"})) << watch.output;
  EXPECT_EQ(watch.exitCode, 1);
  EXPECT_THAT(watch.failure, ::testing::MatchesRegex("tlvrobot: no dialog of pid \\d+ within 4000 ms"));
}

TEST_F(RobotDriving, SaysInOneLineWhatItCouldNotDo) {
  struct Case {
    std::vector<std::string> args;
    int exitCode;
    std::string failure;
  };
  const std::vector<Case> cases{
      {{"wait", "--title", "No Such Window", "--timeout", "200"},
       1,
       "tlvrobot: no window title=\"No Such Window\" within 200 ms"},
      {{"start", folder.path() + "missing.exe"},
       1,
       "tlvrobot: cannot start " + tools::robot::quoteText(folder.path() + "missing.exe") + ": error 2"},
      {{"waitexit", "--timeout", "100", std::to_string(::GetCurrentProcessId())},
       1,
       "tlvrobot: pid " + std::to_string(::GetCurrentProcessId()) + " was still running after 100 ms"},
      {{"frobnicate"}, 2, "tlvrobot: unknown command \"frobnicate\""},
      {{"press", "OK"}, 2, "tlvrobot: name the window with --title, --class or --pid"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.args.front());
    const RobotRun run = robot.run(c.args);
    EXPECT_EQ(run.exitCode, c.exitCode);
    EXPECT_EQ(run.failure, c.failure);
    EXPECT_EQ(run.output, "");
  }
}

}  // namespace
}  // namespace tlv::testing
