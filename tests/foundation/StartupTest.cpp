// Native: start-up on the sim machine: the run waits for the one-shot timer, and LocalPath.
// The window's texts as drawn are proven under Wine (ProgramWindowWineTest), the run itself
// by ServiceCreationTest.
#include <gtest/gtest.h>

#include "app/frmTlvAsService.h"
#include "app/mainMod.h"
#include "platform/sim/SimMachine.h"

namespace tlv::app {
namespace {

using platform::sim::SimMachine;

const ToolDigests kNoTools{};  // these tests end before any tool is checked

TEST(StartupTest, TheRunStartsFromTheTimerWhichItStopsAndNotBeforeIt) {
  for (const bool timerFires : {false, true}) {
    SCOPED_TRACE(timerFires ? "the timer fires" : "closed before the timer");
    SimMachine machine;
    if (!timerFires) machine.ui.setWindowActions({});
    platform::Platform platform = machine.platform();
    EXPECT_EQ(mainMod(platform, kNoTools).Main(), 0);
    ASSERT_FALSE(machine.ui.statuses().empty());
    EXPECT_EQ(machine.ui.statuses().size() > 1, timerFires);
    EXPECT_EQ(machine.ui.timerEnabled(), !timerFires) << "the timer handler disables the timer";
  }
}

TEST(StartupTest, LocalPathIsTheProgramFolderWithOneBackslashAndTwoAtARoot) {
  for (const auto& [program, localPath] : {std::pair{"C:\\Tools\\TlvAsService.exe", "C:\\Tools\\"},
                                           std::pair{"C:\\TlvAsService.exe", "C:\\\\"}}) {
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
