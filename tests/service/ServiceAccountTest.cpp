// Native: the service's account, start, dependencies and privileges on the sim machine: every
// option of /quiet, every refusal, the record and every /verify comparison against it. The
// sim's manager stands for Windows' (and, with forgetConfig2, for Wine's); the rules of who
// may change what are shown here, since Wine does not enforce them.
#include <gtest/gtest.h>

#include <functional>

#include "app/ServiceRecord.h"
#include "app/ServiceVerify.h"
#include "tests/hardening/FaultSweep.h"
#include "tests/service/ServiceMachine.h"
#include "tools/common/HostLogPlaces.h"
#include "tools/common/ServiceSid.h"

namespace tlv::testing {
namespace {

using platform::sim::Call;
constexpr char kVirtual[] = "NT SERVICE\\OrbitTender";

/// A till with services the payment program may start after.
struct AccountMachine : ServiceMachine {
  AccountMachine() {
    sim.services.add("RpcSs", {"C:\\Windows\\System32\\svchost.exe", platform::servicestart::kAutomatic});
    sim.services.add("Tcpip", {"C:\\Windows\\System32\\drivers\\tcpip.sys", 0});
  }
  int runLine(std::string_view commandLine) {
    sim.files.remove(kLogPath);
    return app::mainMod(platform, tools).Main(commandLine);
  }
  platform::ServiceConfiguration service() { return sim.services.configuration(tools::kServiceName).value; }
  std::optional<app::ServiceRecord> record() { return app::readRecord(sim.registry).record; }
  bool logs(const std::string& line) { return log().find(line) != std::string::npos; }
};

// Refused before anything is placed or run, each with its code, its log line and event.
TEST(ServiceAccount, AnAccountNotOfferedAndAMissingDependencyAreRefusedBeforeAnythingChanges) {
  struct Case {
    const char* line;
    int code;
    std::string outcome;
  };
  const std::string offered =
      " (only accounts without a password: take NT SERVICE\\OrbitTender, NT AUTHORITY\\LocalService or "
      "NT AUTHORITY\\NetworkService)";
  const Case cases[] = {
      {"/quiet /account .\\till", 8, "Account refused: .\\till" + offered},
      {"/quiet /account LocalSystem", 8, "Account refused: LocalSystem" + offered},
      {"/quiet /account \"NT AUTHORITY\\SYSTEM\"", 8, "Account refused: NT AUTHORITY\\SYSTEM" + offered},
      {"/quiet /account \"NT SERVICE\\TrustedInstaller\"", 8, "Account refused: NT SERVICE\\TrustedInstaller" + offered},
      {"/quiet /depend RpcSs /depend NoSuchService", 9, "Dependency refused: NoSuchService: no such service"},
      {"/quiet /depend orbittender", 9, "Dependency refused: orbittender: the service itself"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    AccountMachine m;
    EXPECT_EQ(m.runLine(c.line), c.code);
    const std::string detail = c.outcome + " (exit code " + std::to_string(c.code) + ")";
    EXPECT_TRUE(m.logs("Unattended run:" + detail)) << m.log();
    EXPECT_EQ(m.sim.eventLog.entries(),
              (std::vector<platform::sim::SimEventLog::Entry>{{platform::eventtype::kError,
                                                               "TlvAsService unattended run: " + detail}}));
    EXPECT_TRUE(m.sim.process.startedBatchFiles().empty());
    EXPECT_FALSE(m.sim.files.exists("C:\\Windows\\srvany.exe"));
  }
}

// What each option sets, on a new service and on one an administrator set up before; what is
// not given stays as the service has it.
TEST(ServiceAccount, EachOptionSetsItsPartAndWhatIsNotGivenStays) {
  struct Case {
    const char* line;
    std::function<void(AccountMachine&)> before;  // on the service an earlier run left
    app::ServiceRecord recorded;
    std::uint32_t sidType;
    std::vector<std::string> logged;
  };
  const auto earlier = [](const char* line) {
    return [=](AccountMachine& m) { ASSERT_EQ(m.runLine(line), 0); };
  };
  const Case cases[] = {
      {"/quiet", {}, {"LocalSystem"}, platform::servicesid::kNone, {"Service OrbitTender:Account LocalSystem kept"}},
      {"/quiet /account \"nt service\\orbittender\"",
       {},
       {kVirtual},
       platform::servicesid::kUnrestricted,
       {"Service OrbitTender:Account NT SERVICE\\OrbitTender set", "Service OrbitTender:SID type unrestricted"}},
      {"/quiet /account \"NT AUTHORITY\\LocalService\" /delayed /depend RpcSs /DEPEND Tcpip "
       "/privilege SeChangeNotifyPrivilege",
       {},
       {"NT AUTHORITY\\LocalService", true, {"RpcSs", "Tcpip"}, {"SeChangeNotifyPrivilege"}},
       platform::servicesid::kUnrestricted,
       {"Service OrbitTender:Account NT AUTHORITY\\LocalService set", "Service OrbitTender:Delayed start set",
        "Service OrbitTender:Starts after RpcSs, Tcpip",
        "Service OrbitTender:Required privileges SeChangeNotifyPrivilege"}},
      // A later run without the options keeps all of them.
      {"/quiet",
       earlier("/quiet /account \"NT AUTHORITY\\NetworkService\" /delayed /depend RpcSs /privilege SeShutdownPrivilege"),
       {"NT AUTHORITY\\NetworkService", true, {"RpcSs"}, {"SeShutdownPrivilege"}},
       platform::servicesid::kUnrestricted,
       {"Service OrbitTender:Account NT AUTHORITY\\NetworkService kept"}},
      // An account an administrator set by hand is kept, and the run records it.
      {"/quiet",
       [](AccountMachine& m) {
         ASSERT_EQ(m.runLine("/quiet"), 0);
         ASSERT_EQ(m.sim.services.change(tools::kServiceName, {"NT AUTHORITY\\LocalService", std::nullopt}), 0u);
       },
       {"NT AUTHORITY\\LocalService"},
       platform::servicesid::kUnrestricted,
       {"Service OrbitTender:Account NT AUTHORITY\\LocalService kept"}},
      // Another dependency replaces the earlier ones; the account is not set again.
      {"/quiet /account \"NT SERVICE\\OrbitTender\" /depend Tcpip",
       earlier("/quiet /account \"NT SERVICE\\OrbitTender\" /depend RpcSs"),
       {kVirtual, false, {"Tcpip"}},
       platform::servicesid::kUnrestricted,
       {"Service OrbitTender:Account NT SERVICE\\OrbitTender kept", "Service OrbitTender:Starts after Tcpip"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    AccountMachine m;
    if (c.before) c.before(m);
    ASSERT_EQ(m.runLine(c.line), 0) << m.log();
    const platform::ServiceConfiguration service = m.service();
    EXPECT_TRUE(app::sameNames({service.account}, {c.recorded.account})) << service.account;
    EXPECT_EQ(service.dependencies, c.recorded.dependencies);
    EXPECT_EQ(m.sim.services.delayedAutoStart(tools::kServiceName).value, c.recorded.delayed);
    EXPECT_EQ(m.sim.services.sidType(tools::kServiceName).value, c.sidType);
    EXPECT_EQ(m.sim.services.requiredPrivileges(tools::kServiceName).value, c.recorded.privileges);
    EXPECT_EQ(m.record(), c.recorded);
    for (const std::string& line : c.logged) EXPECT_TRUE(m.logs(line)) << line << "\n" << m.log();
    EXPECT_EQ(m.runLine("/verify"), 0) << m.log();
  }
}

// The service's own SID gets read and run on the payment program's folder and modify on the
// data folder, each logged; every entry that was there stays as it was. srvany gets a log
// folder and a Watch key of its own, made by the run. LocalSystem, which has all, is given
// nothing.
TEST(ServiceAccount, TheAccountIsGrantedWhatTheProgramAndSrvanyNeedAndNobodyElseMore) {
  const std::string programFolder = std::string(kInstallFolder).substr(0, std::string(kInstallFolder).size() - 1);
  const platform::SecurityDescriptor before{platform::sid::kAdministrators,
                                            {{platform::sid::kAdministrators, 0x1F01FF}, {"S-1-5-32-545", 0x1200A9}}};
  const std::string service = tools::serviceSid(tools::kServiceName);
  struct Case {
    const char* line;
    bool dataFolderKeepsRights;
    std::vector<platform::AccessEntry> addedToProgram, addedToData;
    std::vector<std::string> logged;
  };
  const Case cases[] = {
      {"/quiet /account \"NT SERVICE\\OrbitTender\" /datafolder D:\\Data", true,
       {{service, platform::folderright::kReadAndExecute}},
       {{service, platform::folderright::kModify}},
       {programFolder + ":Read and execute granted to NT SERVICE\\OrbitTender",
        "D:\\Data:Modify granted to NT SERVICE\\OrbitTender"}},
      {"/quiet /account \"NT AUTHORITY\\NetworkService\" /datafolder D:\\Data", false,
       {{service, platform::folderright::kReadAndExecute}},
       {},
       {"D:\\Data:Not granted: this file system keeps no rights"}},
      {"/quiet /datafolder D:\\Data", true, {}, {}, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    AccountMachine m;
    m.sim.files.addFolder("D:\\Data");
    m.sim.files.setSecurity(programFolder, before);
    m.sim.files.setSecurity("C:\\Windows", before);
    if (c.dataFolderKeepsRights) m.sim.files.setSecurity("D:\\Data", before);
    ASSERT_EQ(m.runLine(c.line), 0) << m.log();
    for (const auto& [folder, added] : {std::pair{programFolder, c.addedToProgram}, std::pair{std::string("D:\\Data"), c.addedToData}}) {
      const auto found = m.sim.files.security(folder);
      if (!found.ok()) continue;  // keeps none
      std::vector<platform::AccessEntry> expected = before.entries;
      expected.insert(expected.end(), added.begin(), added.end());
      EXPECT_EQ(found.value.entries, expected) << folder;
    }
    for (const std::string& line : c.logged) EXPECT_TRUE(m.logs(line)) << line << "\n" << m.log();
    EXPECT_EQ(m.registry.ReadString("HKEY_LOCAL_MACHINE\\" + tools::eventSourceKeyPath(tools::kServiceName),
                                    "EventMessageFile", "none"),
              c.addedToProgram.empty() ? "none" : "C:\\Windows\\srvany.exe")
        << "the event source srvany cannot register as another account";
    const bool another = !c.addedToProgram.empty();
    const std::string ownLogs = tools::accountLogFolder("C:\\Windows\\", tools::kServiceName);
    EXPECT_EQ(m.sim.files.security(ownLogs).value,
              another ? tools::accountLogFolderSecurity(tools::kServiceName) : platform::SecurityDescriptor{});
    EXPECT_EQ(m.sim.files.security("C:\\Windows\\Logs\\TlvAsService").value,
              another ? tools::hostLogFolderSecurity() : platform::SecurityDescriptor{});
    auto watch = m.sim.registry.openKeyEx(platform::hkey::kLocalMachine, tools::watchKeyPath(tools::kServiceName),
                                          platform::keyaccess::kReadControl);
    EXPECT_EQ(watch.ok() ? m.sim.registry.keySecurity(watch.value.get()).value : platform::SecurityDescriptor{},
              another ? tools::accountWatchKeySecurity(tools::kServiceName) : platform::SecurityDescriptor{});
    EXPECT_EQ(m.logs(ownLogs + ":Made for srvany's text log as "), another) << m.log();
  }
}

// Refused before anything changes, or refused by the system on the way: with 10, and a service
// this run created goes again.
TEST(ServiceAccount, ADataFolderThatIsNoFolderOfItsOwnIsRefusedAndASettingRefusedEndsTheRun) {
  struct Case {
    const char* folder;
    std::function<void(AccountMachine&)> arrange;
    int code;
    std::string outcome;
  };
  const Case cases[] = {
      {"D:\\Gone", [](auto&) {}, 11, "Data folder refused: D:\\Gone: it is missing"},
      {"D:\\Data", [](auto& m) { m.sim.files.addFile("D:\\Data", "x"); }, 11, "Data folder refused: D:\\Data: it is a file"},
      {"D:\\Data",
       [](auto& m) { m.sim.files.addFolder("D:\\Data", platform::attr::kDirectory | platform::attr::kReparsePoint); }, 11,
       "Data folder refused: D:\\Data: it is a link"},
      {"Data", [](auto& m) { m.sim.files.addFolder("C:\\Data"); }, 11, "Data folder refused: Data: it is not a full path"},
      {"D:\\Data",
       [](auto& m) {
         m.sim.files.addFolder("D:\\Data");
         m.sim.faults.failWhen([](Call call) { return call == Call::FilesGrantToFolder; }, platform::err::kAccessDenied);
       },
       10, "Service settings not made: Read and execute on C:\\Program Files (x86)\\Orbit-Tender: "},
      {"D:\\Data",
       [](auto& m) {
         m.sim.files.addFolder("D:\\Data");
         m.sim.faults.failWhen([](Call call) { return call == Call::RegistrySetKeySecurity; }, platform::err::kAccessDenied);
       },
       10, "Service settings not made: srvany's Watch key could not be made: "},
      {"D:\\Data",
       [](auto& m) {
         m.sim.files.addFolder("D:\\Data");
         m.sim.faults.failWhen([](Call call) { return call == Call::ServicesChange; }, platform::err::kAccessDenied);
       },
       10, "Service settings not made: its account or dependencies could not be set: "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.outcome);
    AccountMachine m;
    c.arrange(m);
    EXPECT_EQ(m.runLine(std::string("/quiet /account \"NT SERVICE\\OrbitTender\" /datafolder ") + c.folder), c.code);
    EXPECT_TRUE(m.logs("Unattended run:" + c.outcome)) << m.log();
    EXPECT_FALSE(m.sim.services.configuration(tools::kServiceName).ok()) << "refused, or removed again";
  }
}

// A manager that does not know delayed start, SID types and privileges (Wine's): the run says
// so and ends ready, the record keeps the choice, /verify reads them as not reported.
TEST(ServiceAccount, SettingsTheManagerDoesNotKnowAreNotedAndReadAsNotReported) {
  AccountMachine m;
  m.sim.services.forgetConfig2();
  ASSERT_EQ(m.runLine("/quiet /account \"NT SERVICE\\OrbitTender\" /delayed /privilege SeChangeNotifyPrivilege"), 0);
  for (const char* what : {"Delayed start", "SID type", "Required privileges"}) {
    EXPECT_TRUE(m.logs(std::string("Service OrbitTender:") + what + " not set: the service manager does not know it"))
        << what;
  }
  EXPECT_EQ(m.record(), (app::ServiceRecord{kVirtual, true, {}, {"SeChangeNotifyPrivilege"}}));
  const auto results = m.checks();
  for (const auto& result : results) {
    const bool unknown = result.name.starts_with("Its start") || result.name.starts_with("Its token") ||
                         result.name.starts_with("Its privileges");
    if (unknown) {
      EXPECT_EQ(result.outcome, app::CheckOutcome::NotReported) << result.name;
    }
  }
  EXPECT_EQ(app::verifyExitCode(results), 0);
}

// Each drift from the record has its own code; without a record the account is named and
// nothing fails.
TEST(ServiceAccount, VerifyComparesTheServiceWithTheRecord) {
  struct Case {
    const char* drift;
    std::function<void(AccountMachine&)> arrange;
    int code;
    std::string line;
  };
  const auto services = [](AccountMachine& m) -> platform::sim::SimServiceManager& { return m.sim.services; };
  const std::string name = tools::kServiceName;
  const Case cases[] = {
      {"none", [](auto&) {}, 0, "Verify:All checks hold"},
      {"account set back", [&](auto& m) { EXPECT_EQ(services(m).change(name, {"LocalSystem", std::nullopt}), 0u); }, 32,
       "Verify It runs as the account recorded:FAILS (exit code 32): LocalSystem, recorded NT SERVICE\\OrbitTender"},
      {"not delayed", [&](auto& m) { EXPECT_EQ(services(m).setDelayedAutoStart(name, false), 0u); }, 33,
       "Verify Its start is the one recorded:FAILS (exit code 33): automatic, recorded delayed"},
      {"a dependency dropped",
       [&](auto& m) { EXPECT_EQ(services(m).change(name, {std::nullopt, std::vector<std::string>{}}), 0u); }, 34,
       "Verify It starts after the services recorded:FAILS (exit code 34): none, recorded RpcSs"},
      {"its own SID off", [&](auto& m) { EXPECT_EQ(services(m).setSidType(name, platform::servicesid::kNone), 0u); },
       35, "Verify Its token carries its own SID, when not LocalSystem:FAILS (exit code 35): SID type 0"},
      {"privileges widened", [&](auto& m) { EXPECT_EQ(services(m).setRequiredPrivileges(name, {}), 0u); }, 36,
       "Verify Its privileges are those recorded:FAILS (exit code 36): all of its account's, recorded SeChangeNotifyPrivilege"},
      {"no record",
       [](auto& m) {
         m.registry.KillValue(kParametersKey, tools::value::kChosenSetup);
         EXPECT_EQ(m.record(), std::nullopt);
         EXPECT_EQ(m.sim.services.change(tools::kServiceName, {"LocalSystem", std::nullopt}), 0u);
       },
       0, "Verify It runs as the account recorded:skipped: no record of a choice: it runs as LocalSystem"},
      {"the record unreadable",
       [](auto& m) {
         m.sim.faults.failWhen([](Call call) { return call == Call::RegistryQueryValue; }, platform::err::kAccessDenied);
       },
       30, "Verify It runs as the account recorded:FAILS (exit code 30): the record could not be read: "},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.drift);
    AccountMachine m;
    ASSERT_EQ(m.runLine("/quiet /account \"NT SERVICE\\OrbitTender\" /delayed /depend RpcSs "
                        "/privilege SeChangeNotifyPrivilege"),
              0);
    c.arrange(m);
    // An unreadable registry fails earlier checks first: it is only not a pass.
    const int code = m.runLine("/verify");
    EXPECT_TRUE(c.code == 30 ? code != 0 : code == c.code) << code;
    EXPECT_TRUE(m.logs(c.line)) << m.log();
  }
}

// Each platform call of a run with every option failing in turn: the run ends with one of its
// codes, never calls a service ready that does not run as chosen or has no record, and never
// leaves a service it created and could not complete, unless it says so.
TEST(ServiceAccount, AnyCallFailingEndsTheRunWithItsCodeAndNeverHalfDone) {
  const char* line = "/quiet /account \"NT SERVICE\\OrbitTender\" /delayed /depend RpcSs "
                     "/privilege SeChangeNotifyPrivilege /datafolder D:\\Data";
  sweepEveryCall([&](const InjectedFault& fault) {
    AccountMachine m;
    m.sim.files.addFolder("D:\\Data");
    fault.arm(m.sim.faults);
    const int code = m.runLine(line);
    auto calls = fault.callsSinceArmed(m.sim.faults);
    m.sim.faults.clearFaults();  // what follows only looks
    SCOPED_TRACE("exit code " + std::to_string(code));
    EXPECT_TRUE(fault.n == 0 ? code == 0 : (code >= 0 && code <= 11) || code == 87) << m.log();
    const bool exists = m.sim.services.configuration(tools::kServiceName).ok();
    if (code == 0) {
      EXPECT_TRUE(exists);
      EXPECT_TRUE(app::sameNames({m.service().account}, {kVirtual}));
      EXPECT_EQ(m.record(), (app::ServiceRecord{kVirtual, true, {"RpcSs"}, {"SeChangeNotifyPrivilege"}}));
    } else if (exists) {
      EXPECT_TRUE(m.logs("Service OrbitTender:Not removed")) << m.log();
    }
    return calls;
  });
}

TEST(ServiceAccount, TheServicesOwnSidIsComputedFromItsName) {
  EXPECT_EQ(tools::serviceSid("TrustedInstaller"), platform::sid::kTrustedInstaller);
  EXPECT_EQ(tools::serviceSid("trustedinstaller"), platform::sid::kTrustedInstaller);
  EXPECT_EQ(tools::serviceSid(tools::kServiceName), "S-1-5-80-3960726742-102158737-2698855893-3144148834-97170028");
}

}  // namespace
}  // namespace tlv::testing
