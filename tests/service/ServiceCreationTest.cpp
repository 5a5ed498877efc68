// Native: the whole service creation on the sim machine: statuses, boxes, log lines, files
// and registry values of every ending.
#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <optional>

#include "tests/service/ServiceMachine.h"

namespace tlv::testing {
namespace {

using platform::sim::ShownBox;
using Statuses = std::vector<std::string>;

const std::string k23Spaces(23, ' ');
const std::string kFailureActionsHex =
    "80 51 01 00 00 00 00 00 00 00 00 00 03 00 00 00 77 00 73 00 01 00 00 00 60 EA 00 00 01 00 00 00 60 EA 00 00 "
    "01 00 00 00 60 EA 00 00";

void expectBoxes(const std::vector<ShownBox>& seen, const std::vector<ShownBox>& expected) {
  ASSERT_EQ(seen.size(), expected.size());
  for (std::size_t i = 0; i < seen.size(); ++i) {
    SCOPED_TRACE("box " + std::to_string(i));
    EXPECT_EQ(seen[i].text, expected[i].text);
    EXPECT_EQ(seen[i].title, expected[i].title);
    EXPECT_EQ(seen[i].style, expected[i].style);
  }
}

TEST(ServiceCreationTest, FirstRunOnAFreshMachineEndsReady) {
  ServiceMachine m;
  EXPECT_EQ(m.run(), 0);
  EXPECT_EQ(m.sim.ui.statuses(),
            (Statuses{"Status", "Checking for Tlv.Bat", "Making Tlv.Bat", "Checking for instsrv.exe", "",
                      "Copying Files to \\Windows", "Creating Service", "Finding Tolvane Install", "Verifying Service",
                      "Service is Ready to Start"}));
  expectBoxes(m.sim.ui.boxes(), {{"Service is Ready to Start", "Services", 64}});

  EXPECT_EQ(m.sim.files.contents(kBatchPath), kBatchBytes);
  EXPECT_EQ(m.sim.files.contents("C:\\Windows\\instsrv.exe"), kInstsrvBytes);
  EXPECT_EQ(m.sim.files.contents("C:\\Windows\\srvany.exe"), kSrvanyBytes);
  EXPECT_EQ(m.sim.process.startedBatchFiles(), std::vector<std::string>{kBatchPath});
  EXPECT_EQ(m.sim.process.sleeps(), std::vector<unsigned>{500});

  EXPECT_EQ(m.registry.ReadString(kParametersKey, tools::value::kApplication, "-"),
            "C:\\Program Files (x86)\\Orbit-Tender\\Orbit-Tender.exe");
  EXPECT_EQ(m.registry.ReadString(kServiceKey, tools::value::kDescription, "-"), "Processes Credit Cards For Meadowlark");
  EXPECT_EQ(m.registry.ReadBinary(kServiceKey, tools::value::kFailureActions, "-"), kFailureActionsHex);
  EXPECT_FALSE(m.sim.files.exists(kLogPath)) << "a clean run logs nothing";
  EXPECT_TRUE(m.sim.ui.prompts().empty());
}

TEST(ServiceCreationTest, RepeatedRunsKeepTheBatchFileAndToolsButRunTheBatchFileAgain) {
  ServiceMachine m;
  m.sim.files.addFile(kBatchPath, kBatchBytes);  // the program's own, left by an earlier run
  m.sim.files.addFile("C:\\Windows\\instsrv.exe", "older instsrv");
  m.sim.files.addFile("C:\\Windows\\srvany.exe", "older srvany");
  m.run(/*menuRuns=*/2);

  const Statuses oneRun{"Checking for Tlv.Bat", "Checking for instsrv.exe", "", "Copying Files to \\Windows",
                        "Creating Service", "Finding Tolvane Install", "Verifying Service", "Service is Ready to Start"};
  Statuses expected{"Status"};
  for (int i = 0; i < 3; ++i) expected.insert(expected.end(), oneRun.begin(), oneRun.end());
  EXPECT_EQ(m.sim.ui.statuses(), expected);
  EXPECT_EQ(m.sim.ui.boxes().size(), 3u);
  EXPECT_EQ(m.sim.files.contents(kBatchPath), kBatchBytes);
  EXPECT_EQ(m.sim.files.contents("C:\\Windows\\srvany.exe"), "older srvany") << "a placed tool is used as found";
  EXPECT_EQ(m.sim.process.startedBatchFiles().size(), 3u);
  EXPECT_FALSE(m.sim.files.exists(kLogPath)) << "reusing the program's own batch file is silent";
}

// The program runs as administrator from a folder that other users may be able to change:
// a batch file it did not write is never run, it is written anew first.
TEST(ServiceCreationTest, OnlyTheProgramsOwnBatchFileRunsAnyOtherIsWrittenAnewAndLogged) {
  struct Case {
    const char* what;
    std::function<void(platform::sim::SimMachine&)> arrange;
  };
  std::string oneByteOff = kBatchBytes;
  oneByteOff[oneByteOff.find("srvany")] = 'S';
  const Case cases[] = {
      {"planted first line", [](auto& sim) { sim.files.addFile(kBatchPath, "echo planted> C:\\planted.txt\r\n" + kBatchBytes); }},
      {"one byte different", [&](auto& sim) { sim.files.addFile(kBatchPath, oneByteOff); }},
      {"longer", [](auto& sim) { sim.files.addFile(kBatchPath, kBatchBytes + "x"); }},
      {"shorter", [](auto& sim) { sim.files.addFile(kBatchPath, kBatchBytes.substr(0, kBatchBytes.size() - 1)); }},
      {"empty", [](auto& sim) { sim.files.addFile(kBatchPath, ""); }},
      {"unreadable", [](auto& sim) {
         sim.files.addFile(kBatchPath, kBatchBytes);
         // Locked while the run first looks at it; the file written anew reads back.
         sim.faults.failWhen([holds = 0](platform::sim::Call call) mutable {
           return call == platform::sim::Call::FilesHoldForReading && holds++ == 0;
         }, platform::err::kSharingViolation);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ServiceMachine m;
    c.arrange(m.sim);
    m.run();
    EXPECT_EQ(m.sim.ui.statuses(), (Statuses{"Status", "Checking for Tlv.Bat", "Making Tlv.Bat", "Checking for instsrv.exe",
                                              "", "Copying Files to \\Windows", "Creating Service",
                                              "Finding Tolvane Install", "Verifying Service", "Service is Ready to Start"}));
    EXPECT_EQ(m.sim.files.contents(kBatchPath), kBatchBytes) << "what ran is the program's own";
    EXPECT_EQ(m.sim.process.startedBatchFiles(), std::vector<std::string>{kBatchPath});
    EXPECT_EQ(m.log(), "9:05:07 AM " + kBatchPath + ":Replaced" + k23Spaces + "\r\n");
  }
  {  // A foreign batch file that cannot be written over is not run either, and says so.
    ServiceMachine m;
    m.sim.files.addFile(kBatchPath, "echo planted\r\n", platform::attr::kReadOnly);
    m.run();
    EXPECT_EQ(m.sim.ui.currentStatus(), "Failed to Create Batch file");
    EXPECT_TRUE(m.sim.process.startedBatchFiles().empty());
    EXPECT_NE(m.log().find(kBatchPath + ":Not the program's own, not replaced"), std::string::npos) << m.log();
    EXPECT_EQ(m.log().find(":Replaced"), std::string::npos) << "nothing was replaced";
  }
  {  // Changed again between its rewrite and the check that follows: not run.
    ServiceMachine m;
    m.sim.files.addFile(kBatchPath, "echo planted\r\n");
    m.sim.faults.failWhen([&, closes = 0](platform::sim::Call call) mutable {
      if (call == platform::sim::Call::FilesClose && closes++ == 0) m.sim.files.addFile(kBatchPath, "echo quicker\r\n");
      return false;
    }, platform::err::kSuccess);
    m.run();
    EXPECT_EQ(m.sim.ui.currentStatus(), "Failed to Create Batch file");
    EXPECT_TRUE(m.sim.process.startedBatchFiles().empty());
  }
}

// The command interpreter reads the batch file line by line while it runs: nobody can change
// it from its check until the interpreter has ended, in the window run as in the unattended one.
TEST(ServiceCreationTest, TheBatchFileIsHeldFromItsCheckUntilItsInterpreterHasEnded) {
  for (const bool quiet : {false, true}) {
    SCOPED_TRACE(quiet ? "unattended" : "window");
    ServiceMachine m;
    std::vector<platform::Win32Error> writesWhileRunning;
    // At its start and at the first wait for its end, while the interpreter still reads it.
    const auto tryToChange = [&](const std::string&) {
      writesWhileRunning.push_back(m.sim.files.writeNewFile(kBatchPath, "echo planted\r\n"));
      writesWhileRunning.push_back(m.sim.files.deleteFile(kBatchPath));
    };
    m.sim.process.onBatchStart([&](const std::string& path) {
      tryToChange(path);
      m.registry.CreateKey(kServiceKey);
    });
    m.sim.process.onBatchEnd(tryToChange);
    const int exitCode = quiet ? app::mainMod(m.platform, m.tools).Main("/quiet") : m.run(/*menuRuns=*/1);
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(writesWhileRunning, std::vector<platform::Win32Error>(quiet ? 4 : 8, platform::err::kSharingViolation));
    const auto& calls = m.sim.faults.calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), platform::sim::Call::ProcessWaitForEnd), quiet ? 1 : 2)
        << "each run's interpreter is waited for before the file is let go";
    EXPECT_EQ(m.sim.files.writeNewFile(kBatchPath, "x"), platform::err::kSuccess) << "let go at the end";
  }
}

// A tool beside the program that is missing, or is not this release's own, is not placed in
// the Windows folder, where the service control manager would run it as LocalSystem. It is
// known by its bytes, not by what its version resource claims.
TEST(ServiceCreationTest, AMissingToolOrOneThatIsNotThisReleasesOwnEndsTheRunAndTouchesNothing) {
  struct Case {
    const char* what;
    std::function<std::optional<std::string>(const std::string& genuine)> bytes;  // nullopt: no file
  };
  const Case cases[] = {
      {"missing", [](const std::string&) { return std::nullopt; }},
      {"one byte of the DOS stub changed", [](std::string b) { b[0x20] ^= 1; return b; }},
      {"another program", [](const std::string&) { return miniPe("another tool"); }},
      {"the other tool", [](const std::string& b) { return b == kSrvanyBytes ? kInstsrvBytes : kSrvanyBytes; }},
      {"no program at all", [](const std::string&) { return std::string("echo not a program"); }},
  };
  for (const std::string tool : {"instsrv.exe", "srvany.exe"}) {
    for (const Case& c : cases) {
      SCOPED_TRACE(tool + ": " + c.what);
      ServiceMachine m;
      const std::string path = "C:\\Tools\\" + tool;
      const auto bytes = c.bytes(m.sim.files.contents(path));
      m.sim.files.remove(path);
      if (bytes) {
        m.sim.files.addFile(path, *bytes);
        m.sim.files.setProductVersion(path, {"TlvAsService", "1.0.0"});  // a copied label changes nothing
      }
      m.run();
      EXPECT_EQ(m.sim.ui.currentStatus(), tool + " Missing");
      expectBoxes(m.sim.ui.boxes(), {{path + "\r\n" + k23Spaces, "Missing", 64}});
      const std::string foreign = bytes ? "9:05:07 AM " + path + ":Not this release's own" + k23Spaces + "\r\n" : "";
      EXPECT_EQ(m.log(), foreign + "9:05:07 AM " + path + ":Missing" + k23Spaces + "\r\n");
      EXPECT_FALSE(m.sim.files.exists("C:\\Windows\\instsrv.exe"));
      EXPECT_TRUE(m.sim.process.startedBatchFiles().empty());
      EXPECT_FALSE(m.registry.KeyExists(kServiceKey));
    }
  }
  {  // The system cannot hash (bcrypt.dll does not load): told as such, and nothing is placed.
    ServiceMachine m;
    constexpr platform::Win32Error kModuleNotFound = 126;
    m.sim.faults.failWhen([](platform::sim::Call call) { return call == platform::sim::Call::HashingSha256; }, kModuleNotFound);
    m.run();
    EXPECT_EQ(m.sim.ui.currentStatus(), "instsrv.exe Missing");
    EXPECT_EQ(m.log().find("C:\\Tools\\instsrv.exe:Could not be checked, system error 126"), 11u) << m.log();
    EXPECT_FALSE(m.sim.files.exists("C:\\Windows\\instsrv.exe"));
  }
}

// What was checked is what is placed: the tool beside the program is read once, and its
// name in the Windows folder never stands for a file written in part.
TEST(ServiceCreationTest, ToolsArePlacedFromTheBytesCheckedAndNeverHalfWritten) {
  {  // Swapped for another program between the check and the placement.
    ServiceMachine m;
    m.sim.faults.failWhen([&](platform::sim::Call call) {
      if (call == platform::sim::Call::FilesWriteNewFile) m.sim.files.addFile("C:\\Tools\\srvany.exe", miniPe("planted"));
      return false;
    }, platform::err::kSuccess);
    m.run();
    EXPECT_EQ(m.sim.ui.currentStatus(), "Service is Ready to Start");
    EXPECT_EQ(m.sim.files.contents("C:\\Windows\\srvany.exe"), kSrvanyBytes);
    const auto& calls = m.sim.faults.calls();
    EXPECT_EQ(std::count(calls.begin(), calls.end(), platform::sim::Call::FilesReadWholeFile), 0) << "each tool read through its held handle";
    EXPECT_EQ(std::count(calls.begin(), calls.end(), platform::sim::Call::FilesHeldLength), std::count(calls.begin(), calls.end(), platform::sim::Call::FilesReadAll));
  }
  {  // A write cut short (disk full) leaves nothing under the tool's name, nor a partial file.
    ServiceMachine m;
    m.sim.faults.failWhen([](platform::sim::Call call) { return call == platform::sim::Call::FilesWriteNewFile; }, platform::err::kDiskFull);
    m.run();
    EXPECT_EQ(m.sim.ui.currentStatus(), "No Win / Srvany or Instsrv");
    EXPECT_EQ(m.log(), "9:05:07 AM copy instsrv.exe Error: 61:Disk full" + k23Spaces +
                           "\r\n9:05:07 AM copy srvany.exe Error: 61:Disk full" + k23Spaces + "\r\n");
    auto windows = m.sim.files.listFolder("C:\\Windows");
    ASSERT_TRUE(windows.ok());
    for (const auto& entry : windows.value) EXPECT_EQ(entry.name.find(".exe"), std::string::npos) << entry.name;
  }
  {  // The rename refused: the written file goes again.
    ServiceMachine m;
    m.sim.faults.failWhen([](platform::sim::Call call) { return call == platform::sim::Call::FilesMoveFile; }, platform::err::kAccessDenied);
    m.run();
    EXPECT_EQ(m.sim.ui.currentStatus(), "No Win / Srvany or Instsrv");
    EXPECT_FALSE(m.sim.files.exists("C:\\Windows\\srvany.exe.partial"));
    EXPECT_FALSE(m.sim.files.exists("C:\\Windows\\srvany.exe"));
  }
}

// Fixes of the tools must reach machines that ran an earlier release: an earlier release of
// this product's own tool in the Windows folder is replaced; any other file there is kept.
TEST(ServiceCreationTest, AnEarlierReleasesToolInTheWindowsFolderIsReplacedAnyOtherIsKept) {
  const std::string target = "C:\\Windows\\srvany.exe";
  struct Case {
    const char* what;
    std::optional<platform::ProductVersion> version;
    bool replaced;
  };
  const Case cases[] = {
      {"earlier release", platform::ProductVersion{"TlvAsService", "0.9.9"}, true},
      {"same release written shorter", platform::ProductVersion{"TlvAsService", "1.0"}, false},
      {"newer release", platform::ProductVersion{"TlvAsService", "1.0.10"}, false},
      {"another product", platform::ProductVersion{"Resource Kit", "0.1"}, false},
      {"a version that is no number", platform::ProductVersion{"TlvAsService", "0.9-beta"}, false},
      {"no version resource", std::nullopt, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ServiceMachine m;
    m.sim.files.addFile(target, "placed earlier");
    if (c.version) m.sim.files.setProductVersion(target, *c.version);
    m.run();
    EXPECT_EQ(m.sim.ui.currentStatus(), "Service is Ready to Start");
    EXPECT_EQ(m.sim.files.contents(target), c.replaced ? kSrvanyBytes : "placed earlier");
    EXPECT_EQ(m.log(), c.replaced ? "9:05:07 AM " + target + ":Version 0.9.9 replaced by 1.0.0" + k23Spaces + "\r\n" : "");
  }
}

// A host that a running service uses cannot be replaced, only renamed: the new one takes its
// name for the service's next start, and a later run deletes the old one once it is free.
TEST(ServiceCreationTest, AHostInUseIsRenamedAsideAndALaterRunDeletesIt) {
  const std::string target = "C:\\Windows\\srvany.exe";
  const std::string aside = target + ".20261206-090507.old";
  {
    ServiceMachine m;
    m.sim.files.addFile(target, "running host");
    m.sim.files.setProductVersion(target, {"TlvAsService", "0.9.0"});
    m.sim.files.markRunning(target);
    m.sim.files.addFile(aside, "set aside by an earlier run, still running");
    m.sim.files.markRunning(aside);
    m.run();
    EXPECT_EQ(m.sim.ui.currentStatus(), "Service is Ready to Start");
    EXPECT_EQ(m.sim.files.contents(target), kSrvanyBytes);
    EXPECT_EQ(m.sim.files.contents(target + ".20261206-090507-2.old"), "running host") << "no name collides";
    EXPECT_EQ(m.sim.files.contents(aside), "set aside by an earlier run, still running");
    EXPECT_EQ(m.log(), "9:05:07 AM " + target + ":Version 0.9.0 replaced by 1.0.0" + k23Spaces + "\r\n");
  }
  {  // Free again (the service has restarted): the next run deletes what was set aside.
    ServiceMachine m;
    m.sim.files.addFile(aside, "old host");
    m.sim.files.addFile("C:\\Windows\\instsrv.exe.20261205-080000.old", "old tool");
    m.run();
    EXPECT_FALSE(m.sim.files.exists(aside));
    EXPECT_FALSE(m.sim.files.exists("C:\\Windows\\instsrv.exe.20261205-080000.old"));
  }
  {  // Not even a rename allowed: Windows replaces it at its next start, and the log says so.
    ServiceMachine m;
    m.sim.files.addFile(target, "running host");
    m.sim.files.setProductVersion(target, {"TlvAsService", "0.9.0"});
    m.sim.files.markRunning(target, /*renamable=*/false);
    m.run();
    EXPECT_EQ(m.sim.ui.currentStatus(), "Service is Ready to Start");
    EXPECT_EQ(m.sim.files.movesAtRestart().value,
              (std::vector<std::pair<std::string, std::string>>{{target + ".partial", target}}));
    EXPECT_EQ(m.sim.files.contents(target + ".partial"), kSrvanyBytes);
    EXPECT_EQ(m.log(), "9:05:07 AM " + target + ":Version 0.9.0 replaced by 1.0.0 at the next start of Windows" +
                           k23Spaces + "\r\n");
  }
}

// A host set aside for its replacement, whose replacement then fails: it goes back under its
// name, and where that fails too the run says the host is missing and does not go on.
TEST(ServiceCreationTest, AHostSetAsideThatCannotBePutBackIsLoggedAndEndsTheRun) {
  const std::string target = "C:\\Windows\\srvany.exe";
  const std::string aside = target + ".20261206-090507.old";
  struct Case {
    const char* name;
    bool restoreFails;
    const char* status;
    int verifyCode;
  };
  const Case cases[] = {
      {"put back", false, "Service is Ready to Start", 0},
      {"not put back", true, "No Win / Srvany or Instsrv", 23},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ServiceMachine m;
    m.run();  // the service, complete: the next run finds its host an earlier release, running
    ASSERT_EQ(m.sim.ui.currentStatus(), "Service is Ready to Start");
    m.sim.files.setProductVersion(target, {"TlvAsService", "0.9.0"});
    m.sim.files.markRunning(target);
    // The moves: onto the running host (refused), the host aside, the new one in, the host back.
    m.sim.faults.failWhen([moves = 0, &c](platform::sim::Call call) mutable {
      if (call != platform::sim::Call::FilesMoveFile) return false;
      ++moves;
      return moves == 3 || (moves == 4 && c.restoreFails);
    }, platform::err::kAccessDenied);
    m.run();
    EXPECT_EQ(m.sim.ui.currentStatus(), c.status);
    EXPECT_EQ(m.sim.files.exists(target), !c.restoreFails);
    EXPECT_EQ(m.sim.files.exists(aside), c.restoreFails);
    const std::string log = m.log();
    EXPECT_NE(log.find("copy srvany.exe Error: 70:Permission denied"), std::string::npos) << log;
    const std::string stranded = target + ":Missing: set aside as " + aside + " and not put back (error 5)";
    EXPECT_EQ(log.find(stranded) != std::string::npos, c.restoreFails) << log;
    m.sim.faults.clearFaults();
    EXPECT_EQ(app::mainMod(m.platform, m.tools).Main("/verify"), c.verifyCode);
  }
}

TEST(ServiceCreationTest, ToolPlacementCopiesWhatIsMissingAndLogsARefusedCopy) {
  {  // Windows folder refuses new files: both copies are logged, the run ends.
    ServiceMachine m;
    m.sim.files.denyWritesIn("C:\\Windows");
    m.run();
    EXPECT_EQ(m.sim.ui.currentStatus(), "No Win / Srvany or Instsrv");
    expectBoxes(m.sim.ui.boxes(), {{"Files Failed to be retrieved", "No Win\\ Srvany or instsrv", 16}});
    EXPECT_EQ(m.log(), "9:05:07 AM copy instsrv.exe Error: 70:Permission denied" + k23Spaces +
                           "\r\n9:05:07 AM copy srvany.exe Error: 70:Permission denied" + k23Spaces + "\r\n");
    EXPECT_TRUE(m.sim.process.startedBatchFiles().empty());
  }
  {  // One tool already placed, the other refused: still not placed, one entry.
    ServiceMachine m;
    m.sim.files.addFile("C:\\Windows\\instsrv.exe", "placed");
    m.sim.files.denyWritesIn("C:\\Windows");
    m.run();
    EXPECT_EQ(m.log(), "9:05:07 AM copy srvany.exe Error: 70:Permission denied" + k23Spaces + "\r\n");
    EXPECT_EQ(m.sim.ui.currentStatus(), "No Win / Srvany or Instsrv");
  }
}

TEST(ServiceCreationTest, BatchFileFailuresAreShownAndTheRunEndsWithoutIt) {
  {  // Refused (75): one entry and one box, then the run reports the missing batch file.
    ServiceMachine m;
    m.sim.files.addFolder(kBatchPath);  // a folder in the way of the file
    m.run();
    expectBoxes(m.sim.ui.boxes(), {{"ERR75Path/File access error\r\n" + k23Spaces, "Make TolvaneAsServ.Bat", 64},
                                   {"Failed to Create Batch file", "TlvAsService", 0}});
    EXPECT_EQ(m.log(), "9:05:07 AM ERR75Path/File access error:Make TolvaneAsServ.Bat" + k23Spaces + "\r\n");
    EXPECT_EQ(m.sim.ui.currentStatus(), "Failed to Create Batch file");
    EXPECT_TRUE(m.sim.process.startedBatchFiles().empty());
  }
  {  // Another error: each failing step adds its own entry and box.
    ServiceMachine m;
    bool first = true;
    m.sim.faults.failWhen([&](platform::sim::Call call) { return call == platform::sim::Call::FilesOpenText && std::exchange(first, false); },
                          platform::err::kPathNotFound);
    m.run();
    ASSERT_EQ(m.sim.ui.boxes().size(), 3u);
    EXPECT_EQ(m.sim.ui.boxes()[0].text, "ERR76Path not found\r\n" + k23Spaces);
    EXPECT_EQ(m.sim.ui.boxes()[1].text, "ERR52Bad file name or number\r\n" + k23Spaces);
    EXPECT_EQ(m.sim.ui.currentStatus(), "Failed to Create Batch file");
  }
  {  // A write that fails leaves no half batch file behind for a later run to execute.
    ServiceMachine m;
    m.sim.faults.failWhen([](platform::sim::Call call) { return call == platform::sim::Call::FilesWriteLine; }, platform::err::kDiskFull);
    m.run();
    EXPECT_EQ(m.sim.ui.boxes().at(0).text, "ERR61Disk full\r\n" + k23Spaces);
    EXPECT_FALSE(m.sim.files.exists(kBatchPath));
    EXPECT_EQ(m.sim.ui.currentStatus(), "Failed to Create Batch file");
  }
}

TEST(ServiceCreationTest, InstallFolderPromptLoopsUntilAFolderHoldsTheProgramOrStop) {
  const std::string prompt = "Type the Path to the 'Orbit-Tender\\' Folder\r\n'STOP' to Quit";
  {  // A wrong folder, Cancel, then the right one typed without its backslash. Cancel names
     // no folder: not the current drive's root, whatever lies there.
    ServiceMachine m;
    m.sim.files.remove(std::string(kInstallFolder) + "Orbit-Tender.exe");
    m.sim.files.addFile("D:\\POS\\Orbit-Tender.exe", "payment program");
    m.sim.files.addFile("C:\\Orbit-Tender.exe", "planted at the root");
    m.sim.ui.queuePromptAnswer("C:\\Wrong\\");
    m.sim.ui.queuePromptAnswer(std::nullopt);
    m.sim.ui.queuePromptAnswer("d:\\pos");
    m.run();
    ASSERT_EQ(m.sim.ui.prompts().size(), 3u);
    for (const auto& shown : m.sim.ui.prompts()) {
      EXPECT_EQ(shown.prompt, prompt);
      EXPECT_EQ(shown.title, "Where is Tolvane?");
      EXPECT_EQ(shown.defaultText, kInstallFolder) << "a rejected answer is not the next default";
    }
    EXPECT_EQ(m.sim.ui.currentStatus(), "Service is Ready to Start");
    EXPECT_EQ(m.registry.ReadString(kParametersKey, tools::value::kApplication, "-"), "d:\\pos\\Orbit-Tender.exe");
  }
  for (const std::string stop : {"STOP", "stop", "sToP"}) {
    SCOPED_TRACE(stop);
    ServiceMachine m;
    m.sim.files.remove(std::string(kInstallFolder) + "Orbit-Tender.exe");
    m.sim.ui.queuePromptAnswer(stop);
    m.run();
    EXPECT_EQ(m.sim.ui.currentStatus(), "Orbit-Tender Service InComplete");
    expectBoxes(m.sim.ui.boxes(), {{"Orbit-Tender Service InComplete", "find TLV", 16}});
    EXPECT_FALSE(m.registry.KeyExists(kParametersKey)) << "nothing verified or written";
  }
  {  // A prompt that cannot be shown ends the run instead of asking forever.
    ServiceMachine m;
    m.sim.files.remove(std::string(kInstallFolder) + "Orbit-Tender.exe");
    m.sim.ui.failPrompts();
    m.run();
    EXPECT_EQ(m.sim.ui.currentStatus(), "Orbit-Tender Service InComplete");
  }
}

TEST(ServiceCreationTest, ApplicationAndDescriptionAreKeptWhenRightAndReplacedWhenWrong) {
  struct Case {
    const char* name;
    const char* application;  // nullptr: no value
    const char* description;  // nullptr: no value
    std::string expectedApplication;
    std::string expectedDescription;
  };
  const std::string program = std::string(kInstallFolder) + "Orbit-Tender.exe";
  const Case cases[] = {
      {"other case and arguments kept", "C:\\PROGRAM FILES (X86)\\ORBIT-TENDER\\ORBIT-TENDER.EXE /service",
       "Processes Credit Cards For Meadowlark (store 4)", "C:\\PROGRAM FILES (X86)\\ORBIT-TENDER\\ORBIT-TENDER.EXE /service",
       "Processes Credit Cards For Meadowlark (store 4)"},
      {"another path overwritten", "C:\\Old\\Orbit-Tender.exe", "Something else", program,
       "Processes Credit Cards For Meadowlark"},
      {"shorter text overwritten", "C:\\Program", "Processes", program, "Processes Credit Cards For Meadowlark"},
      {"missing values written", nullptr, nullptr, program, "Processes Credit Cards For Meadowlark"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    ServiceMachine m;
    m.registry.CreateKey(kServiceKey);
    if (c.application) m.registry.WriteString(kParametersKey, tools::value::kApplication, c.application);
    if (c.description) m.registry.WriteString(kServiceKey, tools::value::kDescription, c.description);
    m.run();
    EXPECT_EQ(m.sim.ui.currentStatus(), "Service is Ready to Start");
    EXPECT_EQ(m.registry.ReadString(kParametersKey, tools::value::kApplication, "-"), c.expectedApplication);
    EXPECT_EQ(m.registry.ReadString(kServiceKey, tools::value::kDescription, "-"), c.expectedDescription);
    EXPECT_EQ(m.registry.ReadBinary(kServiceKey, tools::value::kFailureActions, "-"), kFailureActionsHex);
  }
}

TEST(ServiceCreationTest, AStepThatReportsFalseIsLoggedByItsStepTextAndTheRunIsNotComplete) {
  using platform::hkey::kLocalMachine;
  const std::string services = tools::kServiceKeyPath.data();
  struct Case {
    const char* step;
    std::function<void(ServiceMachine&)> afterBatchFile;
  };
  const Case cases[] = {
      // The batch file did not create the service (yet).
      {"Is Root Key?", [](ServiceMachine&) {}},
      // A key that refuses new subkeys also refuses the full access KeyExists asks for, so
      // the creation of Parameters is made to fail on its own.
      {"Create Params",
       [&](ServiceMachine& m) {
         m.sim.registry.addKey(kLocalMachine, services);
         m.sim.faults.failWhen([](platform::sim::Call call) { return call == platform::sim::Call::RegistryCreateKey; }, 5);
       }},
      {"Write Application?",
       [&](ServiceMachine& m) {
         m.sim.registry.addKey(kLocalMachine, services + "\\Parameters");
         m.sim.registry.denyAccess(kLocalMachine, services + "\\Parameters", platform::keyaccess::kSetValue);
       }},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.step);
    ServiceMachine m;
    m.createsService = false;
    m.sim.process.onBatchStart([&](const std::string&) { c.afterBatchFile(m); });
    m.run();
    EXPECT_EQ(m.sim.ui.currentStatus(), "Orbit-Tender Service NOT Complete");
    expectBoxes(m.sim.ui.boxes(), {{"Orbit-Tender Service NOT Complete", "Registry", 16}});
    EXPECT_EQ(m.log(), "9:05:07 AM " + std::string(c.step) + ":Failed" + k23Spaces + "\r\n");
  }
  ServiceMachine m;
  m.createsService = false;
  m.run();
  EXPECT_FALSE(m.registry.KeyExists(kServiceKey)) << "no stray, half service key";

  // Once the service exists, choosing the menu item again completes it.
  ServiceMachine late;
  late.createsService = false;
  late.sim.process.onBatchStart([&late](const std::string&) {
    if (late.sim.process.startedBatchFiles().size() == 2) late.registry.CreateKey(kServiceKey);
  });
  late.run(/*menuRuns=*/1);
  EXPECT_EQ(late.sim.ui.currentStatus(), "Service is Ready to Start");
}

TEST(ServiceCreationTest, UnknownProgramOrWindowsFolderWritesNothingAtADriveRoot) {
  const auto copies = [](const ServiceMachine& m) {
    const auto& calls = m.sim.faults.calls();
    return std::count(calls.begin(), calls.end(), platform::sim::Call::FilesWriteNewFile);
  };
  {  // The system cannot name the program's file: no batch file, tools reported missing.
    ServiceMachine m;
    m.sim.faults.failWhen([](platform::sim::Call call) { return call == platform::sim::Call::ProcessModulePath; }, 122);
    m.run();
    EXPECT_EQ(m.sim.ui.statuses(), (Statuses{"Status", "Checking for Tlv.Bat", "Checking for instsrv.exe",
                                             "instsrv.exe Missing"}));
    expectBoxes(m.sim.ui.boxes(), {{"instsrv.exe\r\n" + k23Spaces, "Missing", 64}});
    EXPECT_EQ(copies(m), 0);
    EXPECT_TRUE(m.sim.process.startedBatchFiles().empty());
  }
  {  // The system cannot name its Windows folder: the tools are not placed anywhere.
    ServiceMachine m;
    m.sim.faults.failWhen([](platform::sim::Call call) { return call == platform::sim::Call::SysinfoWindowsFolder; }, 5);
    m.run();
    EXPECT_EQ(m.sim.ui.currentStatus(), "No Win / Srvany or Instsrv");
    expectBoxes(m.sim.ui.boxes(), {{"Files Failed to be retrieved", "No Win\\ Srvany or instsrv", 16}});
    EXPECT_EQ(copies(m), 0);
    EXPECT_TRUE(m.sim.process.startedBatchFiles().empty());
  }
}

// What the run writes and runs comes from the system, whatever the environment says: the
// tools go to the system's Windows folder, and the batch file's interpreter is the system's,
// started without AutoRun, in the Windows folder, with an environment of its own.
TEST(ServiceCreationTest, TheEnvironmentSteersNeitherThePlacementNorTheInterpreter) {
  const std::vector<std::string> environment{
      "ComSpec=C:\\Windows\\System32\\cmd.exe", "HOMEDRIVE=C:", "PATH=C:\\Windows\\System32;C:\\Windows",
      "PATHEXT=.COM;.EXE;.BAT;.CMD", "SystemDrive=C:", "SystemRoot=C:\\Windows", "TEMP=C:\\Windows\\Temp",
      "TMP=C:\\Windows\\Temp", "windir=C:\\Windows"};
  struct Case {
    const char* winDir;  ///< nullptr: not set
    const char* logged;  ///< the log line naming both folders; nullptr: none
  };
  const Case cases[] = {
      {"C:\\Windows", nullptr},
      {nullptr, " WinDir:Not set; the system's Windows folder C:\\Windows\\ is used"},
      {"C:\\Users\\Public\\win", " WinDir C:\\Users\\Public\\win\\:Not the system's Windows folder C:\\Windows\\, which is used"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.winDir ? c.winDir : "(not set)");
    ServiceMachine m;
    m.sim.environment.set("HOMEDRIVE", "D:");
    m.sim.environment.set("PATH", "D:\\Pos;C:\\Windows\\System32");
    if (c.winDir) m.sim.environment.set("windir", c.winDir); else m.sim.environment.unset("windir");
    m.run();
    EXPECT_EQ(m.sim.ui.currentStatus(), "Service is Ready to Start");
    EXPECT_TRUE(m.sim.files.exists("C:\\Windows\\srvany.exe") && m.sim.files.exists("C:\\Windows\\instsrv.exe"));
    EXPECT_FALSE(m.sim.files.exists("C:\\Users\\Public\\win\\srvany.exe"));
    ASSERT_EQ(m.sim.process.launches().size(), 1u);
    const platform::BatchLaunch& launch = m.sim.process.launches()[0];
    EXPECT_EQ(launch.interpreter, "C:\\Windows\\System32\\cmd.exe");
    EXPECT_EQ(launch.commandLine, "cmd.exe /d /s /c \"\"" + std::string(kBatchPath) + "\"\"");
    EXPECT_EQ(launch.startFolder, "C:\\Windows");
    EXPECT_EQ(launch.environment, environment);
    if (c.logged) {
      EXPECT_NE(m.log().find(c.logged), std::string::npos) << m.log();
    } else {
      EXPECT_EQ(m.log().find(" WinDir "), std::string::npos) << m.log();
    }
  }
}

}  // namespace
}  // namespace tlv::testing
