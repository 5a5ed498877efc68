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

using app::parseArguments;
using app::splitCommandLine;

TEST(CommandLine, SwitchesInAnyCaseWithSlashOrDashAndWrongLinesNamed) {
  struct Case {
    const char* line;
    bool quiet;
    std::optional<std::string> path;
    std::string error;
  };
  const Case cases[] = {
      {"", false, std::nullopt, ""},
      {"/quiet", true, std::nullopt, ""},
      {"-QUIET", true, std::nullopt, ""},
      {"  /Quiet   -path C:\\Pay  ", true, "C:\\Pay", ""},
      {"/quiet /PATH \"C:\\Program Files\\Orbit Tender\\\\\"", true, "C:\\Program Files\\Orbit Tender\\", ""},
      // Typed with a lone backslash before the closing quote, which the runtime reads as \".
      {"/quiet /path \"C:\\Orbit Tender\\\"", true, "C:\\Orbit Tender", ""},
      {"/quiet /path", true, std::nullopt, "/path needs the folder that holds Orbit-Tender.exe"},
      {"/quiet /path \"\"", true, std::nullopt, "/path needs the folder that holds Orbit-Tender.exe"},
      {"/quiet /silent", true, std::nullopt, "Unknown switch: /silent"},
      {"/x /quiet", true, std::nullopt, "Unknown switch: /x"},
      {"/quiet /path C:\\Program Files\\Orbit-Tender", true, "C:\\Program", "Unexpected argument: Files\\Orbit-Tender"},
      {"quiet", false, std::nullopt, "Unexpected argument: quiet"},
      {"/", false, std::nullopt, "Unexpected argument: /"},
      {"/path C:\\Pay", false, "C:\\Pay", "/path is for unattended runs: use it with /quiet"},
      {"/health /quiet", true, std::nullopt, "Use one of /quiet, /verify, /report and /health at a time"},
      {"/verify -HEALTH", false, std::nullopt, "Use one of /quiet, /verify, /report and /health at a time"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    const app::RunOptions options = parseArguments(splitCommandLine(c.line));
    EXPECT_EQ(options.quiet, c.quiet);
    EXPECT_EQ(options.path, c.path);
    EXPECT_EQ(options.error, c.error);
  }
  EXPECT_EQ(splitCommandLine(R"(a\\b "c d" e\"f "g\\" h)"),
            (std::vector<std::string>{"a\\\\b", "c d", "e\"f", "g\\", "h"}));
}

/// A sim machine run unattended: its exit code, and the log's last line.
struct UnattendedMachine : ServiceMachine {
  int runQuiet(std::string_view commandLine) { return app::mainMod(platform, tools).Main(commandLine); }
  std::string lastLogLine() const {
    const std::string text = log();
    const std::size_t end = text.rfind("\r\n");
    if (end == std::string::npos) return {};
    const std::size_t start = text.rfind("\r\n", end - 1);
    return text.substr(start == std::string::npos ? 0 : start + 2, end - (start == std::string::npos ? 0 : start + 2));
  }
};

TEST(UnattendedRun, EachEndingHasItsExitCodeLogLineAndEventAndNothingIsEverShown) {
  struct Case {
    const char* ending;
    const char* commandLine;
    std::function<void(UnattendedMachine&)> arrange;
    int exitCode;
  };
  const auto noPaymentProgram = [](UnattendedMachine& m) {
    m.sim.files.remove(std::string(kInstallFolder) + "Orbit-Tender.exe");
    m.sim.files.addFile("D:\\Pay\\Orbit-Tender.exe", "payment program");
  };
  const Case cases[] = {
      {"Service is Ready to Start", "/quiet", [](auto&) {}, 0},
      {"Orbit-Tender Service NOT Complete", "-Quiet", [](auto& m) { m.createsService = false; }, 1},
      {"Orbit-Tender Service InComplete", "/quiet", noPaymentProgram, 2},
      {"Orbit-Tender Service InComplete", "/quiet /path D:\\Elsewhere", noPaymentProgram, 2},
      {"Service is Ready to Start", "/quiet /path D:\\Pay", noPaymentProgram, 0},
      {"instsrv.exe Missing", "/quiet", [](auto& m) { m.sim.files.remove("C:\\Tools\\instsrv.exe"); }, 3},
      {"srvany.exe Missing", "/quiet", [](auto& m) { m.sim.files.remove("C:\\Tools\\srvany.exe"); }, 4},
      {"No Win / Srvany or Instsrv", "/quiet", [](auto& m) { m.sim.files.denyWritesIn("C:\\Windows"); }, 5},
      // A folder in the batch file's place: it cannot be written, while the log still can.
      {"Failed to Create Batch file", "/quiet", [](auto& m) { m.sim.files.addFolder(kBatchPath); }, 6},
      {"Usage error: Unknown switch: /force", "/quiet /force", [](auto&) {}, 87},
      // Without /quiet on a service's window station: a usage box there would wait for ever.
      {"Usage error: Unknown switch: /quite", "/quite", [](auto& m) { m.sim.ui.hideWindowStation(); }, 87},
      {"Unexpected failure: disk on fire", "/quiet", [](auto& m) {
         m.sim.faults.failWhen([](platform::sim::Call call) -> bool {
           if (call == platform::sim::Call::HashingSha256) throw std::runtime_error("disk on fire");
           return false;
         }, 0);
       }, 7},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(std::string(c.commandLine) + ": " + c.ending);
    UnattendedMachine m;
    c.arrange(m);
    EXPECT_EQ(m.runQuiet(c.commandLine), c.exitCode);
    const std::string detail = std::string(c.ending) + " (exit code " + std::to_string(c.exitCode) + ")";
    EXPECT_EQ(m.lastLogLine(), "9:05:07 AM Unattended run:" + detail + std::string(23, ' '));
    using Entry = platform::sim::SimEventLog::Entry;
    const std::uint16_t type = c.exitCode == 0 ? platform::eventtype::kInformation : platform::eventtype::kError;
    const std::vector<Entry> event{{type, "TlvAsService unattended run: " + detail}};
    EXPECT_EQ(m.sim.eventLog.entries(), event);
    EXPECT_FALSE(m.sim.ui.shownWindow().has_value());
    EXPECT_TRUE(m.sim.ui.boxes().empty());
    EXPECT_TRUE(m.sim.ui.prompts().empty());
    if (c.exitCode == 87) {
      EXPECT_TRUE(m.sim.process.startedBatchFiles().empty()) << "a wrong line runs nothing";
    }
  }
  {  // The folder given with /path is the one registered, its trailing backslash optional.
    UnattendedMachine m;
    noPaymentProgram(m);
    ASSERT_EQ(m.runQuiet("/quiet /path D:\\Pay"), 0);
    EXPECT_EQ(m.registry.ReadString(kParametersKey, tools::value::kApplication, "-"), "D:\\Pay\\Orbit-Tender.exe");
  }
  {  // Program Files holds the program: /path is not used, and the log says so.
    UnattendedMachine m;
    ASSERT_EQ(m.runQuiet("/quiet /path D:\\Pay"), 0);
    EXPECT_NE(m.log().find(" /path D:\\Pay:Not used, " + std::string(kInstallFolder) +
                           "Orbit-Tender.exe was found first"),
              std::string::npos)
        << m.log();
  }
}

TEST(UnattendedRun, RelativeFoldersAreRegisteredAsFullPathsAgainstTheCurrentFolder) {
  for (const bool quiet : {true, false}) {
    SCOPED_TRACE(quiet ? "/path" : "typed at the prompt");
    UnattendedMachine m;
    m.sim.files.remove(std::string(kInstallFolder) + "Orbit-Tender.exe");
    m.sim.files.addFile("D:\\Apps\\OT\\Orbit-Tender.exe", "payment program");
    m.sim.files.setCurrentFolder("D:\\Apps");
    if (quiet) {
      EXPECT_EQ(m.runQuiet("/quiet /path OT"), 0);
    } else {
      m.sim.ui.queuePromptAnswer(".\\OT");
      EXPECT_EQ(m.run(), 0);
      EXPECT_EQ(m.sim.ui.currentStatus(), "Service is Ready to Start");
    }
    EXPECT_EQ(m.registry.ReadString(kParametersKey, tools::value::kApplication, "-"), "D:\\Apps\\OT\\Orbit-Tender.exe");
    EXPECT_NE(m.log().find(" D:\\Apps\\OT\\Orbit-Tender.exe:Found"), std::string::npos) << m.log();
  }
}

// A slow till: the batch file creates the service only after the run's half-second pause.
// Every wait for it is what is left of its 30 s after the pause.
TEST(UnattendedRun, WaitsForASlowBatchFileWhereTheWindowRunKeepsItsFixedPause) {
  for (const bool quiet : {true, false}) {
    SCOPED_TRACE(quiet ? "unattended" : "window");
    UnattendedMachine m;
    m.createsService = false;
    m.sim.process.onBatchEnd([&m](const std::string&) { m.registry.CreateKey(kServiceKey); });
    if (quiet) {
      EXPECT_EQ(m.runQuiet("/quiet"), 0);
    } else {
      EXPECT_EQ(m.run(), 0);
      EXPECT_EQ(m.sim.ui.currentStatus(), "Orbit-Tender Service NOT Complete");
    }
    EXPECT_EQ(m.sim.process.batchWaits(), std::vector<unsigned>{29500}) << (quiet ? "before the check" : "only at the end");
    EXPECT_EQ(m.sim.process.sleeps(), std::vector<unsigned>{500});
  }
  UnattendedMachine created;  // the service is there at once: the run still sees its batch file end
  EXPECT_EQ(created.runQuiet("/quiet"), 0);
  EXPECT_EQ(created.sim.process.batchWaits(), std::vector<unsigned>{29500});
}

// A hung instsrv: 30 s after its start the batch file's interpreter is ended, with all it
// started, and a run that waited for it ends NOT Complete.
TEST(UnattendedRun, ABatchFileStillRunning30SecondsAfterItsStartIsEndedAndTheRunIsNotComplete) {
  const std::string ended = "TolvaneAsServ.BAT:Its command interpreter was ended after 30 s, with all it started";
  const std::string stuck = "TolvaneAsServ.BAT:Its command interpreter still ran after 30 s and could not be ended";
  struct Case {
    const char* name;
    bool quiet;
    std::uint64_t takesMs;
    bool createsService;  // before it hangs
    bool endRefused;
    int exitCode;
    const std::string* logged;
    bool serviceLeft;
  };
  const Case cases[] = {
      {"ends within its time", true, 29000, true, false, 0, nullptr, true},
      {"hangs before the service", true, 120000, false, false, 1, &ended, false},
      {"hangs after creating the service", true, 120000, true, false, 1, &ended, false},
      {"hangs and cannot be ended", true, 120000, false, true, 1, &stuck, false},
      {"window run: ended when let go of", false, 120000, true, false, 0, &ended, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UnattendedMachine m;
    m.createsService = c.createsService;
    m.sim.process.batchFilesTake(c.takesMs);
    if (c.endRefused) m.sim.faults.failWhen([](platform::sim::Call call) { return call == platform::sim::Call::ProcessEnd; }, 5);
    const std::uint64_t before = m.sim.clock.tickMilliseconds();
    EXPECT_EQ(c.quiet ? m.runQuiet("/quiet") : m.run(), c.exitCode);
    EXPECT_LE(m.sim.clock.tickMilliseconds() - before, 30000u) << "no wait past the batch file's 30 s";
    const std::string log = m.log();
    EXPECT_EQ(m.sim.process.endedBatchFiles().size(), c.logged ? 1u : 0u);
    if (c.logged) {
      EXPECT_NE(log.find(*c.logged), std::string::npos) << log;
    } else {
      EXPECT_EQ(log.find("Its command interpreter"), std::string::npos) << log;
    }
    if (c.quiet && c.exitCode != 0) {
      EXPECT_EQ(m.lastLogLine().find("Unattended run:Orbit-Tender Service NOT Complete (exit code 1)"), 11u) << log;
    }
    EXPECT_EQ(m.sim.services.configuration(tools::kServiceName).ok(), c.serviceLeft);
  }
}

// An automatic service without its program fails at every start of Windows: the run removes
// the one it created, after its interpreter, and never one that was there before it.
TEST(UnattendedRun, ARunThatCannotCompleteRemovesOnlyTheServiceItCreated) {
  const std::string removed = " Service OrbitTender:Removed: this run created it and could not complete it";
  struct Case {
    const char* name;
    std::function<void(UnattendedMachine&)> arrange;
    bool serviceLeft;
    const char* logged;
  };
  const Case cases[] = {
      {"created by this run", [](auto&) {}, false, removed.c_str()},
      {"there before the run", [](auto& m) { m.sim.services.add(tools::kServiceName, {"C:\\Windows\\srvany.exe", 2}); },
       true, nullptr},
      {"the manager could not tell before", [](auto& m) {
         m.sim.faults.failWhen([asked = false](platform::sim::Call call) mutable {
           return call == platform::sim::Call::ServicesConfiguration && !std::exchange(asked, true);
         }, platform::err::kAccessDenied);
       }, true, nullptr},
      {"its interpreter could not be ended", [](auto& m) {
         m.sim.faults.failWhen([](platform::sim::Call call) { return call == platform::sim::Call::ProcessWaitForEnd || call == platform::sim::Call::ProcessEnd; },
                               platform::err::kAccessDenied);
       }, true, " Service OrbitTender:Not removed: the batch file's command interpreter could not be ended"},
      {"the manager refused", [](auto& m) {
         m.sim.faults.failWhen([](platform::sim::Call call) { return call == platform::sim::Call::ServicesDelete; }, platform::err::kAccessDenied);
       }, true, " Service OrbitTender:Not removed (error 5): this run created it and could not complete it"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    UnattendedMachine m;
    m.sim.files.remove(std::string(kInstallFolder) + "Orbit-Tender.exe");
    c.arrange(m);
    EXPECT_EQ(m.runQuiet("/quiet"), 2);
    EXPECT_EQ(m.sim.services.configuration(tools::kServiceName).ok(), c.serviceLeft);
    const std::string log = m.log();
    if (c.logged) {
      EXPECT_NE(log.find(c.logged), std::string::npos) << log;
    }
    if (c.serviceLeft) {
      EXPECT_EQ(log.find(removed), std::string::npos) << log;
    }
  }
}

TEST(UnattendedRun, AnErrorNoStepForesawInAWindowRunIsLoggedAndShown) {
  UnattendedMachine m;
  m.sim.faults.failWhen([](platform::sim::Call call) -> bool {
    if (call == platform::sim::Call::HashingSha256) throw std::runtime_error("disk on fire");
    return false;
  }, 0);
  EXPECT_EQ(m.run(), 0) << "the window stays until the user closes it";
  ASSERT_EQ(m.sim.ui.boxes().size(), 1u);
  EXPECT_EQ(m.sim.ui.boxes()[0].title, "Unexpected failure");
  EXPECT_EQ(m.sim.ui.currentStatus(), "Checking for instsrv.exe") << "the step that failed";
  EXPECT_NE(m.log().find(" disk on fire:Unexpected failure"), std::string::npos) << m.log();
}

TEST(UnattendedRun, AWrongCommandLineInANormalRunShowsTheUsageAndRunsNothing) {
  UnattendedMachine m;
  EXPECT_EQ(m.runQuiet("/force"), 87);
  ASSERT_EQ(m.sim.ui.boxes().size(), 1u);
  EXPECT_EQ(m.sim.ui.boxes()[0].text, "Unknown switch: /force\r\n\r\n" + app::usageText());
  EXPECT_EQ(m.sim.ui.boxes()[0].title, "TlvAsService");
  EXPECT_FALSE(m.sim.ui.shownWindow().has_value());
  EXPECT_TRUE(m.sim.process.startedBatchFiles().empty());
  EXPECT_FALSE(m.sim.files.exists(kLogPath));
  EXPECT_TRUE(m.sim.eventLog.entries().empty());
}

}  // namespace
}  // namespace tlv::testing
