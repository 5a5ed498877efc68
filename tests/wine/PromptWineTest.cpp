// Win32 only: the platform's input prompt under Wine, shown by the probe program: what it
// shows, and the answer each button gives.
#include <gtest/gtest.h>

#include "testkit/win32/Folders.h"
#include "testkit/win32/Gui.h"

namespace tlv::testing {
namespace {

class InputPrompt : public ::testing::Test {
 protected:
  void SetUp() override {
    probe = folder.copyIn(buildRoot() + "testkit\\programs\\tlvuiprobe.exe");
    ASSERT_FALSE(probe.empty()) << "tlvuiprobe.exe not found in the build tree " << buildRoot();
  }

  ScratchProgramFolder folder{"InputPrompt"};
  Gui gui;
  std::string probe;
};

TEST_F(InputPrompt, ShowsItsDefaultAndAnswersWhatWasTypedOrCancel) {
  struct Case {
    const char* button;
    const char* typed;
    const char* answer;
  };
  for (const Case& c : {Case{"OK", "C:\\Orbit \"Folder\"\\", "OK:C:\\Orbit \"Folder\"\\"},
                        Case{"Cancel", "ignored", "CANCEL"}, Case{"OK", "", "OK:"}}) {
    SCOPED_TRACE(std::string(c.button) + " after typing " + c.typed);
    const auto started = gui.start(probe, {"input", "Where is Orbit-Tender.exe?", "Find Orbit", "C:\\Default"});
    ASSERT_NE(started.pid, 0u) << started.failure;
    const Window prompt = Window::dialog("Find Orbit").of(started.pid);

    const WindowView before = gui.wait(prompt);
    ASSERT_TRUE(before.found) << before.failure;
    EXPECT_EQ(before.texts("edit"), std::vector<std::string>{"C:\\Default"});
    EXPECT_EQ(before.texts("static"), std::vector<std::string>{"Where is Orbit-Tender.exe?"});
    EXPECT_EQ(before.texts("button"), (std::vector<std::string>{"OK", "Cancel"}));

    ASSERT_TRUE(gui.type(prompt, 0, c.typed));
    EXPECT_EQ(gui.wait(prompt).texts("edit"), std::vector<std::string>{c.typed});
    ASSERT_TRUE(gui.press(prompt, c.button));
    EXPECT_EQ(gui.waitForExit(started.pid), 0ul);
    EXPECT_EQ(folder.read("answer.txt").value_or("<none>"), std::string(c.answer) + "\r\n");
  }
}

}  // namespace
}  // namespace tlv::testing
