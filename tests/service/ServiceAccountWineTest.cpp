// Win32 only: the service's account and dependencies under Wine with the real program and
// tools. Wine stores the account but does not enforce it, and its service manager knows
// neither delayed start, nor SID types, nor required privileges: those are shown on the sim
// (ServiceAccountTest.cpp), as is every rule of who may change what.
#include <gtest/gtest.h>

#include "app/ServiceRegistryKeys.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32Registry.h"
#include "platform/WindowsPath.h"
#include "registry/HexText.h"
#include "testkit/win32/Edition.h"
#include "testkit/win32/Folders.h"
#include "testkit/win32/Processes.h"
#include "testkit/win32/Registry.h"
#include "testkit/win32/Services.h"
#include "tools/common/HostLogPlaces.h"

namespace tlv::testing {
namespace {

using platform::win32::UniqueServiceHandle;

constexpr const char* kService = tools::kServiceName;
const std::string kInstallFolder = editionProgramFiles() + "Orbit-Tender\\";

void forgetService() {
  removeService(kService);
  ::DeleteFileA((windowsFolder() + "instsrv.exe").c_str());
  ::DeleteFileA((windowsFolder() + "srvany.exe").c_str());
}

// What an administrator does by hand: sc has no "config" under Wine, the call itself works.
// Wine's manager then drops the values it does not keep (the description, the recovery
// actions): they are put back, so that only the account differs from what the run left.
bool setAccount(const char* account) {
  UniqueServiceHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
  UniqueServiceHandle service(manager ? ::OpenServiceA(manager.get(), kService, SERVICE_CHANGE_CONFIG) : nullptr);
  if (!service || !::ChangeServiceConfigA(service.get(), SERVICE_NO_CHANGE, SERVICE_NO_CHANGE, SERVICE_NO_CHANGE,
                                          nullptr, nullptr, nullptr, nullptr, account, "", nullptr)) {
    return false;
  }
  const std::string key = tools::kServiceKeyPath.data();
  const std::string actions = registry::hexToBytes(app::kFailureActions);
  return ::RegSetKeyValueA(HKEY_LOCAL_MACHINE, key.c_str(), tools::value::kDescription, REG_SZ, app::kDescription,
                           sizeof app::kDescription) == ERROR_SUCCESS &&
         ::RegSetKeyValueA(HKEY_LOCAL_MACHINE, key.c_str(), tools::value::kFailureActions, REG_BINARY, actions.data(),
                           static_cast<DWORD>(actions.size())) == ERROR_SUCCESS;
}

class ServiceAccountWine : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { warmUpServiceCreation(); }
  void SetUp() override {
    forgetService();
    program = folder.copyIn(buildRoot() + "app\\TlvAsService.exe");
    ASSERT_FALSE(program.empty() || folder.copyIn(buildRoot() + "tools\\instsrv\\instsrv.exe").empty());
    ASSERT_FALSE(folder.copyIn(buildRoot() + "tools\\srvany\\srvany.exe").empty());
    ::CreateDirectoryA(kInstallFolder.c_str(), nullptr);
    ASSERT_TRUE(::CopyFileA((buildRoot() + "demo\\Orbit-Tender.exe").c_str(),
                            (kInstallFolder + "Orbit-Tender.exe").c_str(), FALSE));
  }
  void TearDown() override {
    forgetService();
    removeFolderTree(kInstallFolder);
  }
  int run(const std::string& arguments) { return runWatchingForWindows(program, arguments).exitCode; }
  std::string lastLog() {
    const auto logs = folder.files("*.log");
    return logs.empty() ? std::string() : folder.read(logs.back()).value_or("");
  }

  ScratchFolder folder = ScratchFolder::programs("ServiceAccount");
  std::string program;
};

TEST_F(ServiceAccountWine, TheChosenAccountStaysAndVerifyTellsItsDrift) {
  ASSERT_EQ(run("/quiet /account \"NT SERVICE\\OrbitTender\""), 0) << lastLog();
  EXPECT_TRUE(platform::equalsNoCase(serviceConfig(kService).account, "NT SERVICE\\OrbitTender"))
      << serviceConfig(kService).account;
  EXPECT_NE(lastLog().find("Service OrbitTender:SID type not set: the service manager does not know it"),
            std::string::npos)
      << lastLog();
  EXPECT_EQ(run("/verify"), 0) << lastLog();

  // srvany as that account writes its text log and its watch where the run made them for it,
  // and the key keeps what the run gave it (Wine keeps keys' descriptors, not files').
  platform::win32::Win32Registry registry;
  auto watchKey = registry.openKeyEx(platform::hkey::kLocalMachine, tools::watchKeyPath(kService),
                                     platform::keyaccess::kReadControl);
  ASSERT_TRUE(watchKey.ok()) << watchKey.error;
  EXPECT_EQ(registry.keySecurity(watchKey.value.get()).value, tools::accountWatchKeySecurity(kService));
  const std::string ownLog = tools::accountLogFolder(windowsFolder(), kService) + "\\" + kService + ".log";
  ::DeleteFileA(ownLog.c_str());
  ASSERT_TRUE(startService(kService));
  EXPECT_TRUE(waitUntil([&] { return run("/health") == 0; }, 15000)) << "srvany watches";
  EXPECT_TRUE(stopService(kService));
  const std::vector<int> events = loggedEvents(readFile(ownLog));
  EXPECT_TRUE(!events.empty() && events.front() == 100) << readFile(ownLog);


  ASSERT_TRUE(setAccount("LocalSystem")) << ::GetLastError();
  EXPECT_EQ(run("/verify"), 32);
  EXPECT_NE(lastLog().find("Verify It runs as the account recorded:FAILS (exit code 32): LocalSystem, recorded "
                           "NT SERVICE\\OrbitTender"),
            std::string::npos)
      << lastLog();
}

TEST_F(ServiceAccountWine, DependenciesAreSetAndWhatCannotBeSetIsRefused) {
  // Only the manager knows which services exist (the refused accounts: natively).
  EXPECT_EQ(run("/quiet /depend NoSuchService"), 9);
  EXPECT_FALSE(serviceExists(kService)) << "a refused run changes nothing";

  ASSERT_EQ(run("/quiet /depend RpcSs"), 0) << lastLog();
  const std::string dependOn = std::string(tools::kServiceKeyPath.data());
  EXPECT_EQ(machineRegistryValue(dependOn, tools::value::kDependOnService), std::string("RpcSs\0\0", 7));
  EXPECT_EQ(run("/verify"), 0) << lastLog();
  // The account set later keeps the dependency: Wine's manager clears those a change does not name.
  ASSERT_EQ(run("/quiet /account \"NT AUTHORITY\\LocalService\""), 0) << lastLog();
  EXPECT_EQ(machineRegistryValue(dependOn, tools::value::kDependOnService), std::string("RpcSs\0\0", 7));
  EXPECT_EQ(run("/verify"), 0) << lastLog();
}

}  // namespace
}  // namespace tlv::testing
