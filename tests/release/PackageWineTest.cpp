// Win32 only: the release package as an administrator uses it: the program runs from the
// unpacked zip with the tools beside it, and the guide's removal command takes the service
// away again. The zip is checked and unpacked to C:\TlvPackage\ by check-package first.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/win32/UniqueHandle.h"
#include "tests/wine/Edition.h"
#include "tests/wine/Robot.h"
#include "tests/wine/ScratchProgramFolder.h"

namespace tlv::testing {
namespace {

using platform::win32::UniqueKernelHandle;
using platform::win32::UniqueServiceHandle;

const std::string kPackage = "C:\\TlvPackage\\";
constexpr char kMainWindow[] = "Make Service for Tolvane";

std::string windowsFolder() {
  char folder[MAX_PATH] = {};
  ::GetWindowsDirectoryA(folder, MAX_PATH);
  return std::string(folder) + "\\";
}

bool serviceExists() {
  UniqueServiceHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
  return manager && UniqueServiceHandle(::OpenServiceA(manager.get(), "OrbitTender", SERVICE_QUERY_STATUS));
}

// Runs a console program hidden and returns its exit code; -1 when it did not run or end.
long runAndWait(const std::string& command) {
  std::string commandLine = command;  // CreateProcessA may write into its command line
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW, nullptr, nullptr,
                        &startup, &info)) {
    return -1;
  }
  UniqueKernelHandle process(info.hProcess);
  UniqueKernelHandle thread(info.hThread);
  if (::WaitForSingleObject(process.get(), 60000) != WAIT_OBJECT_0) return -1;
  DWORD code = 0;
  return ::GetExitCodeProcess(process.get(), &code) ? static_cast<long>(code) : -1;
}

TEST(Package, TheUnpackedProgramRunsAndTheGuidesRemovalTakesTheServiceAway) {
  // A machine without the payment program: the run gets as far as asking for it.
  removeFolderTree(editionProgramFiles() + "Orbit-Tender\\");
  Robot robot;
  const auto watched = robot.startWatching(kPackage + "TlvAsService.exe");
  const auto& started = watched.started;
  ASSERT_NE(started.pid, 0u) << started.run.failure;
  EXPECT_THAT(watched.texts(), ::testing::ElementsAre("Status", "Checking for Tlv.Bat", "Making Tlv.Bat",
                                                      "Checking for instsrv.exe", "", "Copying Files to \\Windows",
                                                      "Creating Service", "Finding Tolvane Install"));
  EXPECT_EQ(watched.dialog.title, "Where is Tolvane?") << watched.dialog.failure;

  const Window prompt = Window::dialog("Where is Tolvane?").of(started.pid);
  EXPECT_TRUE(robot.type(prompt, 0, "STOP"));
  EXPECT_TRUE(robot.press(prompt, "OK"));
  EXPECT_TRUE(robot.press(Window::dialog("find TLV").of(started.pid).within(20000), "OK"));
  EXPECT_TRUE(robot.close(Window::titled(kMainWindow).of(started.pid)));
  EXPECT_EQ(robot.waitForExit(started.pid, 20000), 0ul);

  // The packaged tools, placed in the Windows folder, created the service ...
  bool created = false;
  for (int i = 0; i < 200 && !created; ++i, ::Sleep(100)) created = serviceExists();
  EXPECT_TRUE(created) << "the batch file with the packaged instsrv.exe created no service";
  // ... and the guide's command removes it.
  const std::string instsrv = windowsFolder() + "instsrv.exe";
  EXPECT_EQ(runAndWait("\"" + instsrv + "\" OrbitTender REMOVE"), 0);
  EXPECT_FALSE(serviceExists());

  ::DeleteFileA(instsrv.c_str());
  ::DeleteFileA((windowsFolder() + "srvany.exe").c_str());
  ::DeleteFileA((kPackage + "TolvaneAsServ.BAT").c_str());
}

}  // namespace
}  // namespace tlv::testing
