// Native: start-up on the sim machine: the window's design, LocalPath, the one-shot timer.
#include <gtest/gtest.h>

#include <array>

#include "app/frmTlvAsService.h"
#include "app/mainMod.h"
#include "platform/sim/SimMachine.h"

namespace tlv::app {
namespace {

using platform::sim::SimMachine;
using platform::sim::WindowAction;

TEST(StartupTest, WindowOpensWithItsDesignAndTheTimerRunsTheWorkflowOnce) {
  SimMachine machine;
  platform::Platform platform = machine.platform();
  mainMod program(platform);
  EXPECT_EQ(program.Main(), 0);
  EXPECT_TRUE(program.gWinEnviron != nullptr);

  ASSERT_TRUE(machine.ui.shownWindow().has_value());
  const platform::WindowDesign& d = *machine.ui.shownWindow();
  EXPECT_EQ(d.caption, "Make Service for Tolvane");
  EXPECT_EQ(std::pair(d.clientWidth, d.clientHeight), std::pair(5805, 3390));
  EXPECT_EQ(d.labelText, "Status");
  EXPECT_EQ((std::array{d.labelLeft, d.labelTop, d.labelWidth, d.labelHeight}), (std::array{600, 600, 3615, 375}));
  EXPECT_EQ(d.labelFont, "MS Sans Serif");
  EXPECT_DOUBLE_EQ(d.labelPointSize, 13.5);
  EXPECT_TRUE(d.labelBold);
  EXPECT_EQ(d.menuCaption, "Create Tol Vane Service");
  EXPECT_EQ(d.timerMilliseconds, 500u);

  EXPECT_FALSE(machine.ui.timerEnabled()) << "the timer handler disables the timer";
  ASSERT_GE(machine.ui.statuses().size(), 2u);
  EXPECT_EQ(machine.ui.statuses()[0], "Status");
  EXPECT_EQ(machine.ui.statuses()[1], "Checking for Tlv.Bat") << "the run starts from the timer";
}

TEST(StartupTest, ClosingBeforeTheTimerEndsWithoutARun) {
  SimMachine machine;
  machine.ui.setWindowActions({});
  platform::Platform platform = machine.platform();
  EXPECT_EQ(mainMod(platform).Main(), 0);
  EXPECT_EQ(machine.ui.statuses(), std::vector<std::string>{"Status"});
  EXPECT_TRUE(machine.ui.timerEnabled());
}

TEST(StartupTest, LocalPathIsTheProgramFolderWithOneBackslashAndTwoAtARoot) {
  const std::pair<std::string, std::string> cases[] = {
      {"C:\\Tools\\TlvAsService.exe", "C:\\Tools\\"},
      {"D:\\Program Files (x86)\\Tlv\\TlvAsService.exe", "D:\\Program Files (x86)\\Tlv\\"},
      {"C:\\TlvAsService.exe", "C:\\\\"},
  };
  for (const auto& [program, localPath] : cases) {
    SCOPED_TRACE(program);
    SimMachine machine;
    machine.process.setModulePath(program);
    platform::Platform platform = machine.platform();
    logging::LoggingFunctions log(platform);
    environment::jclass_WinEnviron environment(platform, log);
    frmTlvAsService form(platform, log, environment);
    form.Form_Load();
    EXPECT_EQ(form.LocalPath(), localPath);
  }
}

}  // namespace
}  // namespace tlv::app
