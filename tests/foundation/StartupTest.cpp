// Native: start-up on the sim machine: the window, LocalPath, the one-shot timer.
#include <gtest/gtest.h>

#include "app/frmTlvAsService.h"
#include "app/mainMod.h"
#include "platform/sim/SimMachine.h"

namespace tlv::app {
namespace {

using platform::sim::SimMachine;

const ToolDigests kNoTools{};  // these tests end before any tool is checked

TEST(StartupTest, WindowOpensAndTheTimerRunsTheWorkflowOnce) {
  SimMachine machine;
  platform::Platform platform = machine.platform();
  mainMod program(platform, kNoTools);
  EXPECT_EQ(program.Main(), 0);
  // The window's geometry and texts as drawn are proven under Wine (ProgramWindowWineTest).
  ASSERT_TRUE(machine.ui.shownWindow().has_value());
  EXPECT_EQ(machine.ui.shownWindow()->caption, "Make Service for Tolvane");
  EXPECT_EQ(machine.ui.shownWindow()->menuCaption, "Create Tol Vane Service");
  EXPECT_FALSE(machine.ui.timerEnabled()) << "the timer handler disables the timer";
  ASSERT_GE(machine.ui.statuses().size(), 2u);
  EXPECT_EQ(machine.ui.statuses()[0], "Status");
  EXPECT_EQ(machine.ui.statuses()[1], "Checking for Tlv.Bat") << "the run starts from the timer";
}

TEST(StartupTest, ClosingBeforeTheTimerEndsWithoutARun) {
  SimMachine machine;
  machine.ui.setWindowActions({});
  platform::Platform platform = machine.platform();
  EXPECT_EQ(mainMod(platform, kNoTools).Main(), 0);
  EXPECT_EQ(machine.ui.statuses(), std::vector<std::string>{"Status"});
  EXPECT_TRUE(machine.ui.timerEnabled());
}

TEST(StartupTest, LocalPathIsTheProgramFolderWithOneBackslashAndTwoAtARoot) {
  const std::pair<std::string, std::string> cases[] = {
      {"C:\\Tools\\TlvAsService.exe", "C:\\Tools\\"},
      {"C:\\TlvAsService.exe", "C:\\\\"},
  };
  for (const auto& [program, localPath] : cases) {
    SCOPED_TRACE(program);
    SimMachine machine;
    machine.process.setModulePath(program);
    platform::Platform platform = machine.platform();
    logging::LoggingFunctions log(platform);
    environment::jclass_WinEnviron environment(platform, log);
    RunContext run{platform, log, environment, kNoTools};
    frmTlvAsService form(run);
    form.Form_Load();
    EXPECT_EQ(form.LocalPath(), localPath);
  }
}

}  // namespace
}  // namespace tlv::app
