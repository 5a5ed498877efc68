// Native: /verify and /report on the sim machine after an unattended run: each drift from what
// the run left gives its own exit code and log line, and the report holds every part or says
// why it cannot.
#include <gtest/gtest.h>

#include <functional>

#include "app/ServiceVerify.h"
#include "platform/WindowsPath.h"
#include "tests/service/ServiceMachine.h"

namespace tlv::testing {
namespace {

using platform::sim::Call;

/// A sim machine on which an unattended run made the service.
struct ReadyMachine : ServiceMachine {
  ReadyMachine() {
    EXPECT_EQ(app::mainMod(platform, tools).Main("/quiet"), 0);
    sim.files.remove(kLogPath);  // each run below starts a log of its own
  }
};

TEST(Verify, EachDriftFromTheRunGivesItsOwnCodeAndLogLineAndNothingChanges) {
  struct Case {
    const char* drift;
    std::function<void(ReadyMachine&)> arrange;
    int code;
  };
  const Case cases[] = {
      {"none", [](auto&) {}, 0},
      {"flag not reported", [](auto& m) { m.sim.services.add(tools::kServiceName, {"C:\\Windows\\srvany.exe", 2}, std::nullopt); }, 0},
      {"service deleted", [](auto& m) { m.sim.services.remove(tools::kServiceName); }, 20},
      {"another program", [](auto& m) { m.sim.services.add(tools::kServiceName, {"C:\\Tools\\other.exe", 2}); }, 21},
      {"started by hand", [](auto& m) { m.sim.services.add(tools::kServiceName, {"\"C:\\Windows\\srvany.exe\"", 3}); }, 22},
      {"a foreign srvany.exe", [](auto& m) { m.sim.files.addFile("C:\\Windows\\srvany.exe", miniPe("foreign")); }, 23},
      {"Application names a missing file",
       [](auto& m) { m.registry.WriteString(kParametersKey, tools::value::kApplication, "C:\\Gone\\Orbit-Tender.exe"); }, 24},
      {"description changed", [](auto& m) { m.registry.WriteString(kServiceKey, tools::value::kDescription, "Something"); }, 25},
      {"recovery actions removed", [](auto& m) { m.registry.KillValue(kServiceKey, tools::value::kFailureActions); }, 26},
      {"recovery not on exit", [](auto& m) { m.sim.services.add(tools::kServiceName, {"C:\\Windows\\srvany.exe", 2}, false); }, 27},
      {"the service cannot be read", [](auto& m) { m.sim.faults.failCalls(Call::ServicesConfiguration, 5); }, 30},
      {"the recovery flag cannot be read",
       [](auto& m) { m.sim.faults.failCalls(Call::ServicesFailureActionsFlag, 5); }, 30},
      {"srvany.exe is replaced at the next start of Windows",
       [](auto& m) {
         m.sim.files.addFile("C:\\Windows\\srvany.exe.partial", kSrvanyBytes);
         m.sim.files.addFile("C:\\Windows\\srvany.exe", miniPe("earlier"));
         EXPECT_EQ(m.sim.files.moveFileAtRestart("C:\\Windows\\srvany.exe.partial", "C:\\Windows\\srvany.exe"), 0u);
       },
       31},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.drift);
    ReadyMachine m;
    c.arrange(m);
    const auto filesBefore = m.sim.files.allFiles();
    const std::size_t eventsBefore = m.sim.eventLog.entries().size();
    EXPECT_EQ(m.runWith("/VERIFY"), c.code);
    const std::string log = m.log();
    auto filesAfter = m.sim.files.allFiles();
    filesAfter.erase(platform::upperCase(kLogPath));
    EXPECT_EQ(filesAfter, filesBefore) << "verify changes nothing";
    EXPECT_NE(log.find("Verify:" + std::string(c.code ? "A check fails" : "All checks hold") + " (exit code " +
                       std::to_string(c.code) + ")"),
              std::string::npos)
        << log;
    EXPECT_EQ(m.sim.eventLog.entries().size(), eventsBefore + 1);
    EXPECT_TRUE(m.sim.ui.boxes().empty());
    if (c.code != 0) {
      EXPECT_NE(log.find(":FAILS (exit code " + std::to_string(c.code) + ")"), std::string::npos) << log;
    }
  }
  ReadyMachine m;
  m.sim.services.remove(tools::kServiceName);
  m.sim.files.remove("C:\\Windows\\instsrv.exe");
  const auto results = m.checks();
  ASSERT_EQ(results.size(), 15u);
  EXPECT_EQ(results[3].exitCode, 23) << "the tools are checked without the service";
  for (std::size_t i : {1u, 2u, 4u, 5u, 6u, 7u, 8u, 9u, 10u, 11u, 12u, 13u, 14u}) EXPECT_EQ(results[i].outcome, app::CheckOutcome::Skipped) << i;
}

// Who may change what the service runs as SYSTEM: only administrators, SYSTEM,
// TrustedInstaller and the creator owner may replace the program, its DLLs, a folder on its
// path, srvany's start folder, the service or its keys.
TEST(Verify, OnlyAdministratorsMayReplaceWhatTheServiceRuns) {
  using platform::AccessEntry;
  using platform::SecurityDescriptor;
  constexpr char kUsers[] = "S-1-5-32-545", kAuthenticated[] = "S-1-5-11";
  const std::string& program = kProgramPath;
  const std::string folder = platform::folderOfPath(program), start = "C:\\PayData";
  const SecurityDescriptor safe{"S-1-5-32-544",
                                {{"S-1-5-18", 0x1F01FF}, {"S-1-5-32-544", 0x1F01FF}, {kUsers, 0x1200A9},
                                 {platform::sid::kCreatorOwner, 0x10000000, true, true}, {kUsers, 0x1F01FF, false}}};
  const auto with = [&](std::vector<AccessEntry> extra, std::string owner = "S-1-5-32-544") {
    SecurityDescriptor changed = safe;
    changed.owner = std::move(owner);
    changed.entries.insert(changed.entries.end(), extra.begin(), extra.end());
    return changed;
  };
  struct Case {
    const char* name;
    std::string object;  ///< a path, "key:" and a key, or "service"
    SecurityDescriptor descriptor;
    int code;
    const char* found;  ///< in the log line
  };
  const Case cases[] = {
      {"only administrators", program, safe, 0, ""},
      {"users may add a subfolder, or all below only", folder, with({{kUsers, 0x0004}, {kUsers, 0x1F01FF, true, true}}),
       0, ""},
      {"users may add files above", "C:\\Program Files (x86)", with({{kUsers, 0x40000000}}), 0, ""},
      {"users may start the service", "service", with({{kUsers, 0x0010}}), 0, ""},
      {"users may write the program", program, with({{kUsers, 0x0002}}), 29, "Users (S-1-5-32-545): write"},
      {"everyone may change its access list", program, with({{"S-1-1-0", 0x00040000}}), 29,
       "Everyone (S-1-1-0): change its access list"},
      {"a user owns it", program, with({}, "S-1-5-21-7-7-7-1001"), 29, "owner S-1-5-21-7-7-7-1001"},
      {"no access list", program, {"S-1-5-32-544", {{"S-1-1-0", 0x10000000}}}, 29, "Everyone (S-1-1-0): write"},
      {"users may add DLLs to its folder", folder, with({{kAuthenticated, 0x0002}}), 29,
       "Authenticated Users (S-1-5-11): add files"},
      {"users may rename its folder", folder, with({{kUsers, 0x00010000}}), 29, "delete or rename it"},
      {"users may add DLLs to the start folder", start, with({{kUsers, 0x0002}}), 29, "C:\\PayData: Users"},
      {"users may set the Parameters values", "key:" + std::string(kParametersKey), with({{kUsers, 0x0002}}), 29,
       "set values"},
      {"users may write the service key", "key:" + std::string(kServiceKey), with({{kUsers, 0x40000000}}), 29,
       "set values, add keys"},
      {"users may change the service", "service", with({{kUsers, 0x0002}}), 29, "change its configuration"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ReadyMachine m;
    m.sim.files.addFolder(start);
    m.registry.WriteString(kParametersKey, tools::value::kAppDirectory, start);
    for (const std::string& path : {program, folder, std::string("C:\\Program Files (x86)"), std::string("C:\\"), start}) {
      m.sim.files.setSecurity(path, path == c.object ? c.descriptor : safe);
    }
    for (const std::string key : {kServiceKey, kParametersKey}) {
      m.sim.registry.setSecurity(platform::hkey::kLocalMachine, key.substr(sizeof "HKEY_LOCAL_MACHINE\\" - 1),
                                 c.object == "key:" + key ? c.descriptor : safe);
    }
    m.sim.services.setSecurity(tools::kServiceName, c.object == "service" ? c.descriptor : safe);
    EXPECT_EQ(m.runWith("/verify"), c.code);
    EXPECT_NE(m.log().find(c.found), std::string::npos) << m.log();
  }
  // Where the system keeps no descriptors (Wine's files), the check is not reported; one
  // that cannot be read is its own failure.
  ReadyMachine m;
  EXPECT_EQ(m.runWith("/verify"), 0);
  const auto results = m.checks();
  EXPECT_EQ(results[5].outcome, app::CheckOutcome::NotReported) << results[5].detail;
  m.sim.faults.failCalls(Call::RegistryKeySecurity, 5);
  EXPECT_EQ(m.runWith("/verify"), 30);
  EXPECT_NE(m.log().find("could not be read: HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\OrbitTender: "
                         "Access is denied (error 5)"),
            std::string::npos)
      << m.log();
}

// One rule for Application, as srvany starts it: the program, then the administrator's
// arguments. Anything else glued to the path names another file: /verify fails, a run repairs.
TEST(Verify, ApplicationNamesTheProgramAsSrvanyStartsIt) {
  const std::pair<std::string, bool> cases[] = {  // the value, and whether /verify passes and a run keeps it
      {kProgramPath + " /till 7", true},
      {"\"" + kProgramPath + "\"", true},
      {kProgramPath + ".old", false},
      {kProgramPath + "\" -x", false},
  };
  for (const auto& [value, kept] : cases) {
    SCOPED_TRACE(value);
    ReadyMachine m;
    m.registry.WriteString(kParametersKey, tools::value::kApplication, value);
    EXPECT_EQ(m.runWith("/verify"), kept ? 0 : 24);
    EXPECT_EQ(m.runWith("/quiet"), 0);
    EXPECT_EQ(m.registry.ReadString(kParametersKey, tools::value::kApplication, "-"), kept ? value : kProgramPath);
    EXPECT_EQ(m.log().find(":Not the payment program, written anew") == std::string::npos, kept) << m.log();
  }
}

// Through a second name or a link users could change what the service runs: such a tool, or
// batch file, is not the program's own until a run puts a file of its own in its place.
TEST(Verify, ALinkedToolFailsUntilARunPutsAFileOfItsOwnInItsPlace) {
  const std::string srvany = "C:\\Windows\\srvany.exe";
  for (const bool reparse : {false, true}) {
    SCOPED_TRACE(reparse ? "a link" : "a second name");
    ReadyMachine m;
    if (reparse) {
      m.sim.files.setAttributes(srvany, platform::attr::kArchive | platform::attr::kReparsePoint);
    } else {
      m.sim.files.setNameCount(srvany, 2);
    }
    const std::string what = reparse ? "a link" : "2 names";
    EXPECT_EQ(m.runWith("/verify"), 23);
    EXPECT_NE(m.log().find(srvany + " (" + what + ") not a file of its own"), std::string::npos) << m.log();
    EXPECT_EQ(m.runWith("/quiet"), 0);
    EXPECT_NE(m.log().find(srvany + ":Not a file of its own (" + what + "), replaced by this release's"),
              std::string::npos) << m.log();
    EXPECT_EQ(m.runWith("/verify"), 0);
  }
  ReadyMachine m;
  m.sim.files.setNameCount(kBatchPath, 2);
  EXPECT_EQ(m.runWith("/quiet"), 0);
  EXPECT_NE(m.log().find(kBatchPath + ":Replaced"), std::string::npos) << m.log();
}

// A deployment tool's detection: a release older than its package's counts as not installed.
TEST(Verify, AReleaseOlderThanTheLowestAcceptedIsItsOwnFailure) {
  const std::string own = app::thisRelease().text();
  struct Case {
    std::string line;
    const char* recorded;  ///< the Version the package recorded, if any
    int code;
  };
  const Case cases[] = {
      {"/verify /minversion " + own, nullptr, 0},
      {"/verify /minversion 0.9", nullptr, 0},
      {"/verify -MINVERSION 65535.0", nullptr, 28},
      {"/verify /minversion " + own, "0.9.0", 28},
      {"/verify /minversion " + own, "65535.0.0", 0},
      {"/verify /minversion 1.2.x", nullptr, 87},
      {"/verify /minversion", nullptr, 87},
      {"/quiet /minversion 1.0.0", nullptr, 87},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line);
    ReadyMachine m;
    if (c.recorded) m.registry.WriteString(app::kPackageKey, "Version", c.recorded);
    EXPECT_EQ(m.runWith(c.line), c.code);
    if (c.code == 28) {
      const std::string found = c.recorded ? c.recorded : own;
      EXPECT_NE(m.log().find(":FAILS (exit code 28): release " + found), std::string::npos) << m.log();
    }
  }
  using app::ReleaseVersion;
  EXPECT_GT(ReleaseVersion::parse("1.10"), ReleaseVersion::parse("1.9.7"));
  EXPECT_EQ(ReleaseVersion::parse("1.2.0.0"), ReleaseVersion::parse("1.2"));
  for (const char* wrong : {"", "1.", ".1", "1..2", "1.2.3.4.5", "65536", "-1", "1.2 ", "v1"}) {
    EXPECT_FALSE(ReleaseVersion::parse(wrong).has_value()) << wrong;
  }
}

TEST(Report, HoldsEveryPartAndSaysWhichCannotBeRead) {
  ReadyMachine m;
  m.sim.files.remove("C:\\Windows\\instsrv.exe");
  m.sim.files.addFile("C:\\Windows\\Logs\\TlvAsService\\OrbitTender\\OrbitTender.log", "secret");
  m.sim.files.setNameCount("C:\\Windows\\Logs\\TlvAsService\\OrbitTender\\OrbitTender.log", 2);
  ASSERT_EQ(m.runWith("/report C:\\Tools\\till.txt"), 0);
  const std::string report = m.sim.files.contents("C:\\Tools\\till.txt");
  for (const std::string part :
       {"Program: C:\\Tools\\TlvAsService.exe, version 1.0.0", "[Windows]", "  Windows folder: C:\\Windows\\",
        "  The service OrbitTender exists: holds", "FAILS (exit code 23): C:\\Windows\\instsrv.exe missing",
        "  /verify would exit with 23",
        "REGEDIT4\r\n\r\n[HKEY_LOCAL_MACHINE\\SYSTEM\\CurrentControlSet\\Services\\OrbitTender]",
        "\"Description\"=\"Processes Credit Cards For Meadowlark\"", "  C:\\Windows\\instsrv.exe: missing",
        "  C:\\Program Files (x86)\\Orbit-Tender\\Orbit-Tender.exe: 15 bytes", "[The service host's log]\r\n  (none)",
        "OrbitTender.log, its last lines]\r\n  (not read: it is a link or has other names)"}) {
    EXPECT_NE(report.find(part), std::string::npos) << part << "\n" << report;
  }
  EXPECT_EQ(report.find("secret"), std::string::npos) << "a log with other names is not read";
  EXPECT_NE(m.log().find("Report:Written to C:\\Tools\\till.txt (exit code 0)"), std::string::npos);
  EXPECT_EQ(m.runWith("/report C:\\NoSuchFolder\\till.txt"), 1) << "not written";
}

// The report is a file of its own, for administrators only, written nowhere but at its name,
// and without the payment program's arguments, which may hold a key.
TEST(Report, WritesOnlyItsOwnFileAndNoArguments) {
  ReadyMachine m;
  m.sim.files.addFile("C:\\Tools\\till.txt.tmp.reg", "someone's");
  m.sim.files.addFile("C:\\Tools\\till.txt", "an older report");
  m.registry.WriteString(kParametersKey, tools::value::kAppParameters, "--key 4111111111111111");
  m.registry.WriteString(kParametersKey, tools::value::kApplication, kProgramPath + " --pin 2468");
  ASSERT_EQ(m.runWith("/report C:\\Tools\\till.txt"), 0);
  const std::string report = m.sim.files.contents("C:\\Tools\\till.txt");
  for (const char* secret : {"4111", "2468"}) EXPECT_EQ(report.find(secret), std::string::npos) << secret << report;
  EXPECT_NE(report.find("\"AppParameters\"=\"(arguments: 22 characters, not shown)\""), std::string::npos) << report;
  EXPECT_NE(report.find("Orbit-Tender.exe (arguments: 10 characters, not shown)\""), std::string::npos) << report;
  EXPECT_EQ(m.sim.files.protectionOf("C:\\Tools\\till.txt"), platform::FileProtection::AdministratorsOnly);
  EXPECT_EQ(m.sim.files.contents("C:\\Tools\\till.txt.tmp.reg"), "someone's");
  for (const auto& [path, bytes] : m.sim.files.allFiles()) EXPECT_FALSE(path.ends_with(".NEW")) << path;

  m.sim.files.addFolder("C:\\Linked", platform::attr::kDirectory | platform::attr::kReparsePoint);
  EXPECT_EQ(m.runWith("/report C:\\Linked\\till.txt"), 2);
  EXPECT_FALSE(m.sim.files.exists("C:\\Linked\\till.txt"));
  EXPECT_NE(m.log().find("Report:Not written to C:\\Linked\\till.txt: the folder C:\\Linked is a link (exit code 2)"),
            std::string::npos) << m.log();
  m.registry.WriteString(kParametersKey, tools::value::kApplication, "C:\\Gone\\Orbit-Tender.exe --pin 2468");
  EXPECT_EQ(m.runWith("/verify"), 24);
  EXPECT_EQ(m.log().find("2468"), std::string::npos) << m.log();
}

}  // namespace
}  // namespace tlv::testing
