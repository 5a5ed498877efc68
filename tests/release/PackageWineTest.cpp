// Win32 only: the release package as an administrator uses it: the program runs from the
// unpacked zip with the tools beside it, and the guide's removal command takes the service
// away again. The zip is checked and unpacked to C:\TlvPackage\ by check-package first.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "testkit/win32/Edition.h"
#include "testkit/win32/Folders.h"
#include "testkit/win32/Processes.h"
#include "testkit/win32/Registry.h"
#include "testkit/win32/Gui.h"
#include "testkit/win32/Services.h"
#include "tools/common/ServiceKeys.h"

namespace tlv::testing {
namespace {

const std::string kPackage = "C:\\TlvPackage\\";
constexpr char kMainWindow[] = "Make Service for Tolvane";

TEST(Package, TheUnpackedProgramRunsAndTheGuidesRemovalTakesTheServiceAway) {
  // A machine without the payment program: the run gets as far as asking for it.
  removeFolderTree(editionProgramFiles() + "Orbit-Tender\\");
  Gui gui;
  const auto ending = gui.startUntilBox(kPackage + "TlvAsService.exe");
  const auto& started = ending.started;
  ASSERT_NE(started.pid, 0u) << started.failure;
  EXPECT_EQ(ending.status, "Finding Tolvane Install");
  EXPECT_EQ(ending.box.title, "Where is Tolvane?") << ending.box.failure;

  // STOP ends the run incomplete, the payment program's path written nowhere.
  const Window prompt = Window::dialog("Where is Tolvane?").of(started.pid);
  EXPECT_TRUE(gui.type(prompt, 0, "STOP"));
  EXPECT_TRUE(gui.press(prompt, "OK"));
  const Gui::Ending stopped = gui.nextBox(started.pid, "find TLV", 20000);
  EXPECT_EQ(stopped.status, "Orbit-Tender Service InComplete");
  EXPECT_THAT(stopped.box.texts("static"), ::testing::Contains("Orbit-Tender Service InComplete"));
  EXPECT_TRUE(gui.press(Window::dialog("find TLV").of(started.pid), "OK"));
  EXPECT_FALSE(machineRegistryValue(tools::kParametersKeyPath.data(), tools::value::kApplication));
  EXPECT_TRUE(gui.close(Window::titled(kMainWindow).of(started.pid)));
  EXPECT_EQ(gui.waitForExit(started.pid, 20000), 0ul);

  // The packaged tools, placed in the Windows folder, created the service ...
  EXPECT_TRUE(waitUntil([] { return serviceExists(tools::kServiceName); }, 20000))
      << "the batch file with the packaged instsrv.exe created no service";
  // ... and the guide's command removes it.
  const std::string instsrv = windowsFolder() + "instsrv.exe";
  EXPECT_EQ(runTool(instsrv, "OrbitTender REMOVE").exitCode, 0u);
  EXPECT_FALSE(serviceExists(tools::kServiceName));

  ::DeleteFileA(instsrv.c_str());
  ::DeleteFileA((windowsFolder() + "srvany.exe").c_str());
  ::DeleteFileA((kPackage + "TolvaneAsServ.BAT").c_str());
}

}  // namespace
}  // namespace tlv::testing
