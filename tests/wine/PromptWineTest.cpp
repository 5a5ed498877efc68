// Win32 only: the platform's input prompt under Wine, shown from a second thread of the test
// and answered from the first: what it shows, and the answer each button gives.
#include <gtest/gtest.h>

#include <future>

#include "platform/win32/Win32Ui.h"
#include "testkit/win32/Gui.h"

namespace tlv::testing {
namespace {

using Kind = platform::PromptAnswer::Kind;

TEST(InputPrompt, ShowsItsDefaultAndAnswersWhatWasTypedOrCancel) {
  struct Case {
    const char* button;
    const char* typed;
    Kind kind;
    const char* text;
  };
  for (const Case& c : {Case{"OK", "C:\\Orbit \"Folder\"\\", Kind::Ok, "C:\\Orbit \"Folder\"\\"},
                        Case{"Cancel", "ignored", Kind::Cancelled, ""}, Case{"OK", "", Kind::Ok, ""}}) {
    SCOPED_TRACE(std::string(c.button) + " after typing " + c.typed);
    platform::win32::Win32Ui ui(::GetModuleHandleA(nullptr));
    auto answer = std::async(std::launch::async, [&ui] {
      return ui.inputBox("Where is Orbit-Tender.exe?", "Find Orbit", "C:\\Default");
    });
    Gui gui;
    const Window prompt = Window::dialog("Find Orbit").of(::GetCurrentProcessId());
    const WindowView before = gui.wait(prompt);
    ASSERT_TRUE(before.found) << before.failure;
    EXPECT_EQ(before.texts("edit"), std::vector<std::string>{"C:\\Default"});
    EXPECT_EQ(before.texts("static"), std::vector<std::string>{"Where is Orbit-Tender.exe?"});
    EXPECT_EQ(before.texts("button"), (std::vector<std::string>{"OK", "Cancel"}));

    ASSERT_TRUE(gui.type(prompt, 0, c.typed));
    EXPECT_EQ(gui.wait(prompt).texts("edit"), std::vector<std::string>{c.typed});
    ASSERT_TRUE(gui.press(prompt, c.button));
    ASSERT_EQ(answer.wait_for(std::chrono::seconds(10)), std::future_status::ready) << "the prompt did not close";
    const platform::PromptAnswer got = answer.get();
    EXPECT_EQ(got.kind, c.kind);
    EXPECT_EQ(got.text, c.text);
  }
}

}  // namespace
}  // namespace tlv::testing
