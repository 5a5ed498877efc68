// Win32 only: the robot's smoke test under Wine, on the platform's prompt shown by the probe
// program: typing and pressing each button, and a failure said in one line. The end-to-end
// tests use the rest of what it can do (menus, watching a window, screenshots).
#include <gtest/gtest.h>

#include "testkit/win32/Folders.h"
#include "testkit/win32/Robot.h"

namespace tlv::testing {
namespace {

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

TEST_F(RobotDriving, TypesIntoThePromptPressesItsButtonsAndSaysWhatItCouldNotDo) {
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
  // What it cannot do, it says in one line.
  const RobotRun run = robot.run({"wait", "--title", "No Such Window", "--timeout", "200"});
  EXPECT_EQ(run.exitCode, 1);
  EXPECT_EQ(run.failure, "tlvrobot: no window title=\"No Such Window\" within 200 ms");
}

}  // namespace
}  // namespace tlv::testing
