// Native: the command line and the unattended run on the sim machine: every switch form, and
// every ending's exit code, log line and event-log entry, with nothing ever shown.
#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <utility>

#include "app/CommandLine.h"
#include "app/QuietRun.h"
#include "tests/service/ServiceMachine.h"

namespace tlv::testing {
namespace {

using platform::sim::Call;

TEST(CommandLine, SwitchesInAnyCaseWithSlashOrDashAndWrongLinesNamed) {
  struct Case {
    const char* line;
    bool quiet;
    std::optional<std::string> path;
    std::string error;
  };
  const Case cases[] = {
      {"", false, std::nullopt, ""},
      {"-QUIET", true, std::nullopt, ""},
      {"  /Quiet   -path C:\\Pay  ", true, "C:\\Pay", ""},
      {"/quiet /PATH \"C:\\Program Files\\Orbit Tender\\\\\"", true, "C:\\Program Files\\Orbit Tender\\", ""},
      // Typed with a lone backslash before the closing quote, which the runtime reads as \".
      {"/quiet /path \"C:\\Orbit Tender\\\"", true, "C:\\Orbit Tender", ""},
      {"/quiet /path \"\"", true, std::nullopt, "/path needs the folder that holds Orbit-Tender.exe"},
      {"/x /quiet", true, std::nullopt, "Unknown switch: /x"},
      {"/quiet /path C:\\Program Files\\Orbit-Tender", true, "C:\\Program", "Unexpected argument: Files\\Orbit-Tender"},
      {"quiet", false, std::nullopt, "Unexpected argument: quiet"},
      {"/", false, std::nullopt, "Unexpected argument: /"},
      {"/path C:\\Pay", false, "C:\\Pay", "/path is for unattended runs: use it with /quiet"},
      {"/verify -HEALTH", false, std::nullopt, "Use one of /quiet, /verify, /report and /health at a time"},
      {"/quiet /account", true, std::nullopt, "/account needs the account the service runs as"},
      {"/quiet /account a /account b", true, std::nullopt, "Give /account once"},
      {"/quiet /depend", true, std::nullopt, "/depend needs the service to start after"},
      {"/quiet /privilege SeShutdown", true, std::nullopt, "/privilege needs a privilege name such as SeChangeNotifyPrivilege"},
      {"/quiet /privilege Se-Privilege", true, std::nullopt, "/privilege needs a privilege name such as SeChangeNotifyPrivilege"},
      {"/quiet /datafolder", true, std::nullopt, "/datafolder needs the folder the payment program writes its data to"},
      {"/verify /delayed", false, std::nullopt,
       "/account, /datafolder, /delayed, /depend and /privilege are for unattended runs: use them with /quiet"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const app::RunOptions options = app::parseArguments(app::splitCommandLine(c.line));
    EXPECT_EQ(options.quiet, c.quiet);
    EXPECT_EQ(options.path, c.path);
    EXPECT_EQ(options.error, c.error);
  }
  EXPECT_EQ(app::splitCommandLine(R"(a\\b "c d" e\"f "g\\" h)"),
            (std::vector<std::string>{"a\\\\b", "c d", "e\"f", "g\\", "h"}));
}

void failUnexpectedly(ServiceMachine& m) {
  m.sim.faults.failWhen([](Call call) -> bool {
    if (call == Call::HashingSha256) throw std::runtime_error("disk on fire");
    return false;
  }, 0);
}

TEST(UnattendedRun, EachEndingHasItsExitCodeLogLineAndEventAndNothingIsEverShown) {
  struct Case {
    const char* ending;
    const char* commandLine;
    std::function<void(ServiceMachine&)> arrange;
    int exitCode;
  };
  const auto elsewhere = [](ServiceMachine& m) { m.moveProgramTo("D:\\Pay\\"); };
  const Case cases[] = {
      {"Service is Ready to Start", "/quiet", [](auto&) {}, 0},
      {"Orbit-Tender Service NOT Complete", "-Quiet", [](auto& m) { m.createsService = false; }, 1},
      {"Orbit-Tender Service InComplete", "/quiet", elsewhere, 2},
      {"Orbit-Tender Service InComplete", "/quiet /path D:\\Elsewhere", elsewhere, 2},
      {"Service is Ready to Start", "/quiet /path D:\\Pay", elsewhere, 0},
      {"instsrv.exe Missing", "/quiet", [](auto& m) { m.sim.files.remove("C:\\Tools\\instsrv.exe"); }, 3},
      {"srvany.exe Missing", "/quiet", [](auto& m) { m.sim.files.remove("C:\\Tools\\srvany.exe"); }, 4},
      {"No Win / Srvany or Instsrv", "/quiet", [](auto& m) { m.sim.files.denyWritesIn("C:\\Windows"); }, 5},
      // A folder in the batch file's place: it cannot be written, while the log still can.
      {"Failed to Create Batch file", "/quiet", [](auto& m) { m.sim.files.addFolder(kBatchPath); }, 6},
      {"Usage error: Unknown switch: /force", "/quiet /force", [](auto&) {}, 87},
      // Without /quiet on a service's window station: a usage box there would wait for ever.
      {"Usage error: Unknown switch: /quite", "/quite", [](auto& m) { m.sim.ui.hideWindowStation(); }, 87},
      {"Unexpected failure: disk on fire", "/quiet", failUnexpectedly, 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.commandLine) + ": " + c.ending);
    ServiceMachine m;
    c.arrange(m);
    EXPECT_EQ(m.runWith(c.commandLine), c.exitCode);
    const std::string detail = std::string(c.ending) + " (exit code " + std::to_string(c.exitCode) + ")";
    EXPECT_EQ(m.lastLogLine(), "9:05:07 AM Unattended run:" + detail + std::string(23, ' '));
    using Entry = platform::sim::SimEventLog::Entry;
    const std::uint16_t type = c.exitCode == 0 ? platform::eventtype::kInformation : platform::eventtype::kError;
    EXPECT_EQ(m.sim.eventLog.entries(), (std::vector<Entry>{{type, "TlvAsService unattended run: " + detail}}));
    EXPECT_EQ(m.sim.faults.callCount(Call::UiShowModalWindow), 0u);
    EXPECT_TRUE(m.sim.ui.boxes().empty());
    EXPECT_TRUE(m.sim.ui.prompts().empty());
    if (c.exitCode == 87) {
      EXPECT_TRUE(m.sim.process.startedBatchFiles().empty()) << "a wrong line runs nothing";
    }
  }
  ServiceMachine m;  // Program Files holds the program: /path is not used, and the log says so
  ASSERT_EQ(m.runWith("/quiet /path D:\\Pay"), 0);
  EXPECT_NE(m.log().find(" /path D:\\Pay:Not used, " + kProgramPath + " was found first"), std::string::npos) << m.log();
}

TEST(UnattendedRun, RelativeFoldersAreRegisteredAsFullPathsAgainstTheCurrentFolder) {
  ServiceMachine m;
  m.moveProgramTo("D:\\Apps\\OT\\");
  m.sim.files.setCurrentFolder("D:\\Apps");
  EXPECT_EQ(m.runWith("/quiet /path OT"), 0);
  EXPECT_EQ(m.registry.ReadString(kParametersKey, tools::value::kApplication, "-"), "D:\\Apps\\OT\\Orbit-Tender.exe");
  EXPECT_NE(m.log().find(" D:\\Apps\\OT\\Orbit-Tender.exe:Found"), std::string::npos) << m.log();
}

// A slow till: the batch file creates the service only after the run's half-second pause.
// The wait for it is what is left of its 30 s after the pause.
TEST(UnattendedRun, WaitsForASlowBatchFileForWhatIsLeftOfItsTime) {
  ServiceMachine m;
  m.createsService = false;
  m.sim.process.onBatchEnd([&m](const std::string&) { m.registry.CreateKey(kServiceKey); });
  EXPECT_EQ(m.runWith("/quiet"), 0);
  EXPECT_EQ(m.sim.process.batchWaits(), std::vector<unsigned>{29500});
  EXPECT_EQ(m.sim.process.sleeps(), std::vector<unsigned>{500});
}

// A hung instsrv: 30 s after its start the batch file's interpreter is ended, with all it
// started, and the run ends NOT Complete.
TEST(UnattendedRun, ABatchFileStillRunning30SecondsAfterItsStartIsEndedAndTheRunIsNotComplete) {
  const std::string ended = "TolvaneAsServ.BAT:Its command interpreter was ended after 30 s, with all it started";
  const std::string stuck = "TolvaneAsServ.BAT:Its command interpreter still ran after 30 s and could not be ended";
  struct Case {
    std::uint64_t takesMs;
    bool createsService;  // before it hangs
    bool endRefused;
    const std::string* logged;
  };
  const Case cases[] = {
      {29000, true, false, nullptr},
      {120000, false, false, &ended},
      {120000, true, false, &ended},
      {120000, false, true, &stuck},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.logged ? *c.logged + (c.createsService ? ", after creating the service" : "") : "ends in time");
    ServiceMachine m;
    m.createsService = c.createsService;
    m.sim.process.batchFilesTake(c.takesMs);
    if (c.endRefused) m.sim.faults.failCalls(Call::ProcessEnd, 5);
    const std::uint64_t before = m.sim.clock.tickMilliseconds();
    EXPECT_EQ(m.runWith("/quiet"), c.logged ? 1 : 0);
    EXPECT_LE(m.sim.clock.tickMilliseconds() - before, 30000u) << "no wait past the batch file's 30 s";
    EXPECT_EQ(m.sim.faults.callCount(Call::ProcessEnd), c.logged ? 1u : 0u);
    EXPECT_EQ(m.log().find(c.logged ? *c.logged : "Its command interpreter") != std::string::npos, c.logged != nullptr)
        << m.log();
    if (c.logged) {
      EXPECT_EQ(m.lastLogLine().find("Unattended run:Orbit-Tender Service NOT Complete (exit code 1)"), 11u);
    }
    EXPECT_EQ(m.sim.services.configuration(tools::kServiceName).ok(), c.logged == nullptr);
  }
}

// An automatic service without its program fails at every start of Windows: the run removes
// the one it created, after its interpreter, and never one that was there before it.
TEST(UnattendedRun, ARunThatCannotCompleteRemovesOnlyTheServiceItCreated) {
  const std::string removed = " Service OrbitTender:Removed: this run created it and could not complete it";
  const auto refuse = [](const std::function<bool(Call)>& when) {
    return [=](ServiceMachine& m) { m.sim.faults.failWhen(when, platform::err::kAccessDenied); };
  };
  const std::pair<std::function<void(ServiceMachine&)>, const char*> cases[] = {  // serviceLeft: logged != removed
      {[](auto&) {}, removed.c_str()},
      {[](auto& m) { m.sim.services.add(tools::kServiceName, {"C:\\Windows\\srvany.exe", 2}); }, nullptr},
      {refuse([asked = false](Call call) mutable { return call == Call::ServicesConfiguration && !std::exchange(asked, true); }),
       nullptr},
      {refuse([](Call call) { return call == Call::ProcessWaitForEnd || call == Call::ProcessEnd; }),
       " Service OrbitTender:Not removed: the batch file's command interpreter could not be ended"},
      {refuse([](Call call) { return call == Call::ServicesDelete; }),
       " Service OrbitTender:Not removed (error 5): this run created it and could not complete it"},
  };
  for (const auto& [arrange, logged] : cases) {
    SCOPED_TRACE(logged ? logged : "not created by this run");
    ServiceMachine m;
    m.moveProgramTo();
    arrange(m);
    EXPECT_EQ(m.runWith("/quiet"), 2);
    const bool serviceLeft = logged != removed.c_str();
    EXPECT_EQ(m.sim.services.configuration(tools::kServiceName).ok(), serviceLeft);
    const std::string log = m.log();
    EXPECT_TRUE(!logged || log.find(logged) != std::string::npos) << log;
    EXPECT_TRUE(!serviceLeft || log.find(removed) == std::string::npos) << log;
  }
}

TEST(UnattendedRun, AnErrorNoStepForesawInAWindowRunIsLoggedAndShown) {
  ServiceMachine m;
  failUnexpectedly(m);
  EXPECT_EQ(m.run(), 0) << "the window stays until the user closes it";
  ASSERT_EQ(m.sim.ui.boxes().size(), 1u);
  EXPECT_EQ(m.sim.ui.boxes()[0].title, "Unexpected failure");
  EXPECT_EQ(m.sim.ui.currentStatus(), "Checking for instsrv.exe") << "the step that failed";
  EXPECT_NE(m.log().find(" disk on fire:Unexpected failure"), std::string::npos) << m.log();
}

TEST(UnattendedRun, AWrongCommandLineInANormalRunShowsTheUsageAndRunsNothing) {
  ServiceMachine m;
  EXPECT_EQ(m.runWith("/force"), 87);
  ASSERT_EQ(m.sim.ui.boxes().size(), 1u);
  EXPECT_EQ(m.sim.ui.boxes()[0].text, "Unknown switch: /force\r\n\r\n" + app::usageText());
  EXPECT_EQ(m.sim.ui.boxes()[0].title, "TlvAsService");
  EXPECT_EQ(m.sim.faults.callCount(Call::UiShowModalWindow), 0u);
  EXPECT_TRUE(m.sim.process.startedBatchFiles().empty());
  EXPECT_FALSE(m.sim.files.exists(kLogPath));
  EXPECT_TRUE(m.sim.eventLog.entries().empty());
}

}  // namespace
}  // namespace tlv::testing
