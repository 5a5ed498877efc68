// Win32 only: instsrv.exe under Wine's service control manager.
#include <gtest/gtest.h>

#include <vector>

#include "testkit/win32/Folders.h"
#include "testkit/win32/Processes.h"
#include "testkit/win32/Registry.h"
#include "testkit/win32/Services.h"
#include "tools/common/ServiceKeys.h"

namespace tlv::testing {
namespace {

std::string instsrv() { return testProgramFolder() + "instsrv.exe"; }

// The batch file's plain path is ServiceCreationWineTest's; a blank in it must reach the
// manager quoted, or the manager would try C:\Program.exe first.
TEST(Instsrv, CreatesAnOwnProcessAutoStartServiceUnderLocalSystemForTheGivenProgram) {
  ScratchService service;
  const ToolRun run = runTool(instsrv(), service.name() + " \"C:\\Program Files\\Tlv Tools\\srvany.exe\"");
  EXPECT_EQ(run.exitCode, 0u) << run.output;
  EXPECT_NE(run.output.find("created the service " + service.name()), std::string::npos) << run.output;
  const ServiceConfig config = serviceConfig(service.name());
  EXPECT_EQ(config.serviceType, static_cast<DWORD>(SERVICE_WIN32_OWN_PROCESS));
  EXPECT_EQ(config.startType, static_cast<DWORD>(SERVICE_AUTO_START));
  EXPECT_EQ(config.binaryPath, "\"C:\\Program Files\\Tlv Tools\\srvany.exe\"");
  EXPECT_EQ(config.account, "LocalSystem");
}

TEST(Instsrv, ASecondCallReportsTheExistingServiceAndChangesNothing) {
  ScratchService service;
  ASSERT_EQ(runTool(instsrv(), service.name() + " C:\\Windows\\srvany.exe").exitCode, 0u);

  const ToolRun again = runTool(instsrv(), service.name() + " C:\\Windows\\other.exe");
  EXPECT_EQ(again.exitCode, static_cast<DWORD>(ERROR_SERVICE_EXISTS));
  EXPECT_NE(again.output.find("already exists"), std::string::npos) << again.output;
  EXPECT_EQ(serviceConfig(service.name()).binaryPath, "C:\\Windows\\srvany.exe");
}

TEST(Instsrv, RemoveStopsTheRunningServiceAndDeletesItWithItsEventSource) {
  ScratchFolder scratch;  // outlives the service: the program writes to it until the end
  ScratchService service;
  ASSERT_TRUE(service.installWithSrvany());
  service.setParameter(tools::value::kApplication, testProgramFolder() + kTestAppName);
  service.setParameter(tools::value::kAppParameters, "--marker \"" + scratch.path() + "marker.txt\"");
  ASSERT_EQ(service.start(), 0u);
  ASSERT_TRUE(service.waitForState(SERVICE_RUNNING, 10000));
  service.rememberHostProcess();
  ASSERT_TRUE(waitUntil([&] { return !processesNamed(kTestAppName).empty(); }, 5000));
  // srvany of the build tree lies in no folder only administrators can change: it registers no
  // message file, so the event source that REMOVE deletes is made here.
  const std::string source = tools::eventSourceKeyPath(service.name());
  EXPECT_FALSE(machineRegistryString(source, "EventMessageFile"));
  const std::string messageFile = testProgramFolder() + "srvany.exe";
  ASSERT_EQ(::RegSetKeyValueA(HKEY_LOCAL_MACHINE, source.c_str(), "EventMessageFile", REG_SZ, messageFile.c_str(),
                              static_cast<DWORD>(messageFile.size() + 1)), ERROR_SUCCESS);

  const ToolRun run = runTool(instsrv(), service.name() + " REMOVE");
  EXPECT_EQ(run.exitCode, 0u) << run.output;
  EXPECT_NE(run.output.find("removed the service " + service.name()), std::string::npos) << run.output;
  EXPECT_EQ(service.status().dwCurrentState, 0u) << "the service is gone";
  EXPECT_TRUE(processesNamed(kTestAppName).empty());
  EXPECT_FALSE(processRunning(service.hostProcessId()));
  EXPECT_FALSE(machineRegistryString(tools::eventSourceKeyPath(service.name()), "EventMessageFile"));

  const ToolRun missing = runTool(instsrv(), service.name() + " REMOVE");
  EXPECT_EQ(missing.exitCode, static_cast<DWORD>(ERROR_SERVICE_DOES_NOT_EXIST));
  EXPECT_NE(missing.output.find("no service named"), std::string::npos) << missing.output;
}

// Which argument lists are wrong: natively. Here: none at all, and "" as the runtime splits it.
TEST(Instsrv, WrongOrMissingArgumentsPrintTheUsageAndFail) {
  for (const char* arguments : {"", "\"\" C:\\Windows\\srvany.exe"}) {
    SCOPED_TRACE(arguments);
    const ToolRun run = runTool(instsrv(), arguments);
    EXPECT_EQ(run.exitCode, static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_NE(run.output.find("usage: instsrv <service name>"), std::string::npos) << run.output;
  }
}

}  // namespace
}  // namespace tlv::testing
