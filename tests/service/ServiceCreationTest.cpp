// Native: the service creation in the window on the sim machine: statuses, boxes, log lines,
// files and registry values of its endings.
#include <gtest/gtest.h>

#include <functional>
#include <optional>

#include "tests/service/ServiceMachine.h"

namespace tlv::testing {
namespace {

using platform::sim::Call;
using Boxes = std::vector<platform::sim::ShownBox>;
using Statuses = std::vector<std::string>;

const std::string kFailureActionsHex =
    "80 51 01 00 00 00 00 00 00 00 00 00 03 00 00 00 77 00 73 00 01 00 00 00 60 EA 00 00 01 00 00 00 60 EA 00 00 "
    "01 00 00 00 60 EA 00 00";
const std::string kHost = "C:\\Windows\\srvany.exe";
const std::string kHostAside = kHost + ".20261206-090507.old";
const Statuses kReadyStatuses{"Status", "Checking for Tlv.Bat", "Making Tlv.Bat", "Checking for instsrv.exe", "",
                              "Copying Files to \\Windows", "Creating Service", "Finding Tolvane Install",
                              "Verifying Service", "Service is Ready to Start"};

TEST(ServiceCreationTest, FirstRunOnAFreshMachineEndsReady) {
  ServiceMachine m;
  EXPECT_EQ(m.run(), 0);
  EXPECT_EQ(m.sim.ui.statuses(), kReadyStatuses);
  EXPECT_EQ(m.sim.ui.boxes(), (Boxes{{"Service is Ready to Start", "Services", 64}}));
  EXPECT_EQ(m.sim.files.contents(kBatchPath), kBatchBytes);
  EXPECT_EQ(m.sim.files.contents("C:\\Windows\\instsrv.exe"), kInstsrvBytes);
  EXPECT_EQ(m.sim.files.contents("C:\\Windows\\srvany.exe"), kSrvanyBytes);
  EXPECT_EQ(m.sim.process.startedBatchFiles(), std::vector<std::string>{kBatchPath});
  EXPECT_EQ(m.sim.process.sleeps(), std::vector<unsigned>{500});
  EXPECT_EQ(m.registry.ReadString(kParametersKey, tools::value::kApplication, "-"), kProgramPath);
  EXPECT_EQ(m.registry.ReadString(kServiceKey, tools::value::kDescription, "-"), "Processes Credit Cards For Meadowlark");
  EXPECT_EQ(m.registry.ReadBinary(kServiceKey, tools::value::kFailureActions, "-"), kFailureActionsHex);
  EXPECT_FALSE(m.sim.files.exists(kLogPath)) << "a clean run logs nothing";
  EXPECT_TRUE(m.sim.ui.prompts().empty());
}

// The program runs as administrator from a folder other users may be able to change: a batch
// file it did not write is never run.
TEST(ServiceCreationTest, OnlyTheProgramsOwnBatchFileRunsAnyOtherIsWrittenAnewAndLogged) {
  std::string oneByteOff = kBatchBytes;
  oneByteOff[oneByteOff.find("srvany")] = 'S';
  const std::function<void(platform::sim::SimMachine&)> arrangements[] = {
      [&](auto& sim) { sim.files.addFile(kBatchPath, oneByteOff); },
      [](auto& sim) { sim.files.addFile(kBatchPath, kBatchBytes + "x"); },
      [](auto& sim) {  // locked while the run first looks at it
        sim.files.addFile(kBatchPath, kBatchBytes);
        sim.faults.failWhen([holds = 0](Call call) mutable { return call == Call::FilesHoldForReading && holds++ == 0; },
                            platform::err::kSharingViolation);
      },
  };
  for (const auto& arrange : arrangements) {
    ServiceMachine m;
    arrange(m.sim);
    m.run();
    EXPECT_EQ(m.sim.ui.statuses(), kReadyStatuses);
    EXPECT_EQ(m.sim.files.contents(kBatchPath), kBatchBytes) << "what ran is the program's own";
    EXPECT_EQ(m.sim.process.startedBatchFiles(), std::vector<std::string>{kBatchPath});
    EXPECT_EQ(m.log(), logLine(kBatchPath + ":Replaced"));
  }
  {  // One that cannot be written over is not run either.
    ServiceMachine m;
    m.sim.files.addFile(kBatchPath, "echo planted\r\n", platform::attr::kReadOnly);
    m.run();
    EXPECT_EQ(m.sim.ui.currentStatus(), "Failed to Create Batch file");
    EXPECT_TRUE(m.sim.process.startedBatchFiles().empty());
    EXPECT_NE(m.log().find(kBatchPath + ":Not the program's own, not replaced"), std::string::npos) << m.log();
    EXPECT_EQ(m.log().find(":Replaced"), std::string::npos);
  }
  {  // Changed again between its rewrite and the check that follows.
    ServiceMachine m;
    m.sim.files.addFile(kBatchPath, "echo planted\r\n");
    m.sim.faults.failWhen([&, closes = 0](Call call) mutable {
      if (call == Call::FilesClose && closes++ == 0) m.sim.files.addFile(kBatchPath, "echo quicker\r\n");
      return false;
    }, platform::err::kSuccess);
    m.run();
    EXPECT_EQ(m.sim.ui.currentStatus(), "Failed to Create Batch file");
    EXPECT_TRUE(m.sim.process.startedBatchFiles().empty());
  }
}

// The command interpreter reads the batch file line by line while it runs.
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
    EXPECT_EQ(quiet ? m.runWith("/quiet") : m.run(/*menuRuns=*/1), 0);
    EXPECT_EQ(writesWhileRunning, std::vector<platform::Win32Error>(quiet ? 4 : 8, platform::err::kSharingViolation));
    EXPECT_EQ(m.sim.faults.callCount(Call::ProcessWaitForEnd), quiet ? 1u : 2u) << "each run's interpreter is waited for before the file is let go";
    EXPECT_EQ(m.log().find(":Replaced"), std::string::npos) << "a second run takes its own batch file as found";
    EXPECT_EQ(m.sim.files.writeNewFile(kBatchPath, "x"), platform::err::kSuccess) << "let go at the end";
  }
}

// A tool the service control manager would run as LocalSystem is known by its bytes, not by
// what its version resource claims.
TEST(ServiceCreationTest, AMissingToolOrOneThatIsNotThisReleasesOwnEndsTheRunAndTouchesNothing) {
  const std::function<std::optional<std::string>(std::string)> replacements[] = {
      [](const std::string&) { return std::nullopt; },             // missing
      [](std::string b) { b[0x20] ^= 1; return b; },               // one byte of the DOS stub changed
      [](const std::string& b) { return b == kSrvanyBytes ? kInstsrvBytes : kSrvanyBytes; },  // the other tool
  };
  for (const std::string tool : {"instsrv.exe", "srvany.exe"}) {
    for (const auto& replace : replacements) {
      SCOPED_TRACE(tool);
      ServiceMachine m;
      const std::string path = "C:\\Tools\\" + tool;
      const auto bytes = replace(m.sim.files.contents(path));
      m.sim.files.remove(path);
      if (bytes) {
        m.sim.files.addFile(path, *bytes);
        m.sim.files.setProductVersion(path, {"TlvAsService", "1.0.0"});
      }
      m.run();
      EXPECT_EQ(m.sim.ui.currentStatus(), tool + " Missing");
      EXPECT_EQ(m.sim.ui.boxes(), (Boxes{{path + "\r\n" + std::string(23, ' '), "Missing", 64}}));
      EXPECT_EQ(m.log(), (bytes ? logLine(path + ":Not this release's own") : "") + logLine(path + ":Missing"));
      EXPECT_FALSE(m.sim.files.exists("C:\\Windows\\instsrv.exe"));
      EXPECT_TRUE(m.sim.process.startedBatchFiles().empty());
      EXPECT_FALSE(m.registry.KeyExists(kServiceKey));
    }
  }
  ServiceMachine m;  // the system cannot hash (bcrypt.dll does not load)
  m.sim.faults.failCalls(Call::HashingSha256, 126);
  m.run();
  EXPECT_EQ(m.sim.ui.currentStatus(), "instsrv.exe Missing");
  EXPECT_EQ(m.log().find("C:\\Tools\\instsrv.exe:Could not be checked, system error 126"), 11u) << m.log();
  EXPECT_FALSE(m.sim.files.exists("C:\\Windows\\instsrv.exe"));
}

TEST(ServiceCreationTest, ToolsArePlacedFromTheBytesCheckedAndNeverHalfWritten) {
  {  // Swapped for another program between the check and the placement.
    ServiceMachine m;
    m.sim.faults.failWhen([&](Call call) {
      if (call == Call::FilesWriteNewFile) m.sim.files.addFile("C:\\Tools\\srvany.exe", miniPe("planted"));
      return false;
    }, platform::err::kSuccess);
    m.run();
    EXPECT_EQ(m.sim.ui.currentStatus(), "Service is Ready to Start");
    EXPECT_EQ(m.sim.files.contents("C:\\Windows\\srvany.exe"), kSrvanyBytes);
    EXPECT_EQ(m.sim.faults.callCount(Call::FilesReadWholeFile), 0u) << "each tool read through its held handle";
    EXPECT_EQ(m.sim.faults.callCount(Call::FilesHeldLength), m.sim.faults.callCount(Call::FilesReadAll));
  }
  {  // A write cut short (disk full) leaves nothing under the tool's name, nor a partial file.
    ServiceMachine m;
    m.sim.faults.failCalls(Call::FilesWriteNewFile, platform::err::kDiskFull);
    m.run();
    EXPECT_EQ(m.sim.ui.currentStatus(), "No Win / Srvany or Instsrv");
    EXPECT_EQ(m.log(), logLine("copy instsrv.exe Error: 61:Disk full") + logLine("copy srvany.exe Error: 61:Disk full"));
    auto windows = m.sim.files.listFolder("C:\\Windows");
    ASSERT_TRUE(windows.ok());
    for (const auto& entry : windows.value) EXPECT_EQ(entry.name.find(".exe"), std::string::npos) << entry.name;
  }
  {  // The rename refused: the written file goes again.
    ServiceMachine m;
    m.sim.faults.failCalls(Call::FilesMoveFile, platform::err::kAccessDenied);
    m.run();
    EXPECT_EQ(m.sim.ui.currentStatus(), "No Win / Srvany or Instsrv");
    EXPECT_FALSE(m.sim.files.exists("C:\\Windows\\srvany.exe.partial"));
    EXPECT_FALSE(m.sim.files.exists("C:\\Windows\\srvany.exe"));
  }
}

// Fixes of the tools must reach machines that ran an earlier release; any other file is kept.
TEST(ServiceCreationTest, AnEarlierReleasesToolInTheWindowsFolderIsReplacedAnyOtherIsKept) {
  const std::pair<std::optional<platform::ProductVersion>, bool> cases[] = {
      {platform::ProductVersion{"TlvAsService", "0.9.9"}, true},
      {platform::ProductVersion{"TlvAsService", "1.0"}, false},  // the same release written shorter
      {platform::ProductVersion{"TlvAsService", "1.0.10"}, false},
      {platform::ProductVersion{"Resource Kit", "0.1"}, false},
      {platform::ProductVersion{"TlvAsService", "0.9-beta"}, false},
      {std::nullopt, false},
  };
  for (const auto& [version, replaced] : cases) {
    SCOPED_TRACE(version ? version->name + " " + version->version : "no version resource");
    ServiceMachine m;
    m.sim.files.addFile(kHost, "placed earlier");
    if (version) m.sim.files.setProductVersion(kHost, *version);
    m.run();
    EXPECT_EQ(m.sim.ui.currentStatus(), "Service is Ready to Start");
    EXPECT_EQ(m.sim.files.contents(kHost), replaced ? kSrvanyBytes : "placed earlier");
    EXPECT_EQ(m.log(), replaced ? logLine(kHost + ":Version 0.9.9 replaced by 1.0.0") : "");
  }
}

// A host that a running service uses cannot be replaced, only renamed: a later run deletes the
// old one once it is free (the service has restarted), and leaves one still in use.
TEST(ServiceCreationTest, AHostInUseIsRenamedAsideAndALaterRunDeletesIt) {
  const std::vector<std::string> free{kHost + ".20261205-080000.old", "C:\\Windows\\instsrv.exe.20261205-080000.old"};
  {
    ServiceMachine m;
    m.sim.files.addFile(kHost, "running host");
    m.sim.files.setProductVersion(kHost, {"TlvAsService", "0.9.0"});
    m.sim.files.markRunning(kHost);
    m.sim.files.addFile(kHostAside, "set aside by an earlier run, still running");
    m.sim.files.markRunning(kHostAside);
    for (const std::string& old : free) m.sim.files.addFile(old, "set aside by an earlier run, free again");
    m.run();
    EXPECT_EQ(m.sim.ui.currentStatus(), "Service is Ready to Start");
    EXPECT_EQ(m.sim.files.contents(kHost), kSrvanyBytes);
    EXPECT_EQ(m.sim.files.contents(kHost + ".20261206-090507-2.old"), "running host") << "no name collides";
    EXPECT_EQ(m.sim.files.contents(kHostAside), "set aside by an earlier run, still running");
    for (const std::string& old : free) EXPECT_FALSE(m.sim.files.exists(old)) << old;
    EXPECT_EQ(m.log(), logLine(kHost + ":Version 0.9.0 replaced by 1.0.0"));
  }
  {  // Not even a rename allowed: Windows replaces it at its next start.
    ServiceMachine m;
    m.sim.files.addFile(kHost, "running host");
    m.sim.files.setProductVersion(kHost, {"TlvAsService", "0.9.0"});
    m.sim.files.markRunning(kHost, /*renamable=*/false);
    m.run();
    EXPECT_EQ(m.sim.ui.currentStatus(), "Service is Ready to Start");
    EXPECT_EQ(m.sim.files.movesAtRestart().value,
              (std::vector<std::pair<std::string, std::string>>{{kHost + ".partial", kHost}}));
    EXPECT_EQ(m.sim.files.contents(kHost + ".partial"), kSrvanyBytes);
    EXPECT_EQ(m.log(), logLine(kHost + ":Version 0.9.0 replaced by 1.0.0 at the next start of Windows"));
  }
}

// A host set aside whose replacement then fails goes back under its name; where that fails too
// the host is missing and the run does not go on.
TEST(ServiceCreationTest, AHostSetAsideThatCannotBePutBackIsLoggedAndEndsTheRun) {
  for (const bool restoreFails : {false, true}) {
    SCOPED_TRACE(restoreFails ? "not put back" : "put back");
    ServiceMachine m;
    m.run();  // the service, complete: the next run finds its host an earlier release, running
    ASSERT_EQ(m.sim.ui.currentStatus(), "Service is Ready to Start");
    m.sim.files.setProductVersion(kHost, {"TlvAsService", "0.9.0"});
    m.sim.files.markRunning(kHost);
    // The moves: onto the running host (refused), the host aside, the new one in, the host back.
    m.sim.faults.failWhen([moves = 0, restoreFails](Call call) mutable {
      if (call != Call::FilesMoveFile) return false;
      ++moves;
      return moves == 3 || (moves == 4 && restoreFails);
    }, platform::err::kAccessDenied);
    m.run();
    EXPECT_EQ(m.sim.ui.currentStatus(), restoreFails ? "No Win / Srvany or Instsrv" : "Service is Ready to Start");
    EXPECT_EQ(m.sim.files.exists(kHost), !restoreFails);
    EXPECT_EQ(m.sim.files.exists(kHostAside), restoreFails);
    const std::string log = m.log();
    EXPECT_NE(log.find("copy srvany.exe Error: 70:Permission denied"), std::string::npos) << log;
    const std::string stranded = kHost + ":Missing: set aside as " + kHostAside + " and not put back (error 5)";
    EXPECT_EQ(log.find(stranded) != std::string::npos, restoreFails) << log;
    m.sim.faults.clearFaults();
    EXPECT_EQ(m.runWith("/verify"), restoreFails ? 23 : 0);
  }
}

TEST(ServiceCreationTest, BatchFileFailuresAreShownAndTheRunEndsWithoutIt) {
  {  // Refused (75): one entry and one box, then the run reports the missing batch file.
    ServiceMachine m;
    m.sim.files.addFolder(kBatchPath);  // a folder in the way of the file
    m.run();
    EXPECT_EQ(m.sim.ui.boxes(), (Boxes{{"ERR75Path/File access error\r\n" + std::string(23, ' '), "Make TolvaneAsServ.Bat", 64},
                                       {"Failed to Create Batch file", "TlvAsService", 0}}));
    EXPECT_EQ(m.log(), logLine("ERR75Path/File access error:Make TolvaneAsServ.Bat"));
    EXPECT_EQ(m.sim.ui.currentStatus(), "Failed to Create Batch file");
    EXPECT_TRUE(m.sim.process.startedBatchFiles().empty());
  }
  {  // A write that fails leaves no half batch file behind for a later run to execute.
    ServiceMachine m;
    m.sim.faults.failCalls(Call::FilesWriteLine, platform::err::kDiskFull);
    m.run();
    EXPECT_EQ(m.sim.ui.boxes().at(0).text, "ERR61Disk full\r\n" + std::string(23, ' '));
    EXPECT_FALSE(m.sim.files.exists(kBatchPath));
    EXPECT_EQ(m.sim.ui.currentStatus(), "Failed to Create Batch file");
  }
}

TEST(ServiceCreationTest, InstallFolderPromptLoopsUntilAFolderHoldsTheProgramOrStop) {
  {  // A wrong folder, Cancel (no folder: not the current drive's root), then the right one.
    ServiceMachine m;
    m.moveProgramTo("D:\\POS\\");
    m.sim.files.addFile("C:\\Orbit-Tender.exe", "planted at the root");
    m.sim.ui.queuePromptAnswer("C:\\Wrong\\");
    m.sim.ui.queuePromptAnswer(std::nullopt);
    m.sim.ui.queuePromptAnswer("d:\\pos");
    m.run();
    ASSERT_EQ(m.sim.ui.prompts().size(), 3u);
    for (const auto& shown : m.sim.ui.prompts()) {
      EXPECT_EQ(shown.prompt, "Type the Path to the 'Orbit-Tender\\' Folder\r\n'STOP' to Quit");
      EXPECT_EQ(shown.title, "Where is Tolvane?");
      EXPECT_EQ(shown.defaultText, kInstallFolder) << "a rejected answer is not the next default";
    }
    EXPECT_EQ(m.sim.ui.currentStatus(), "Service is Ready to Start");
    EXPECT_EQ(m.registry.ReadString(kParametersKey, tools::value::kApplication, "-"), "d:\\pos\\Orbit-Tender.exe");
  }
  ServiceMachine m;
  m.moveProgramTo();
  m.sim.ui.queuePromptAnswer("sToP");
  m.run();
  EXPECT_EQ(m.sim.ui.currentStatus(), "Orbit-Tender Service InComplete");
  EXPECT_EQ(m.sim.ui.boxes(), (Boxes{{"Orbit-Tender Service InComplete", "find TLV", 16}}));
  EXPECT_FALSE(m.registry.KeyExists(kParametersKey)) << "nothing verified or written";
  ServiceMachine unshown;  // a prompt that cannot be shown ends the run instead of asking for ever
  unshown.moveProgramTo();
  unshown.sim.faults.failCalls(Call::UiInputBox, platform::err::kNotEnoughMemory);
  unshown.run();
  EXPECT_EQ(unshown.sim.ui.currentStatus(), "Orbit-Tender Service InComplete");
}

TEST(ServiceCreationTest, ApplicationAndDescriptionAreKeptWhenRightAndReplacedWhenWrong) {
  const std::string description = "Processes Credit Cards For Meadowlark";
  struct Case {
    const char* application;  // nullptr: no value, as for the description
    const char* description;
    std::string expectedApplication;
    std::string expectedDescription;
  };
  const Case cases[] = {
      {"C:\\PROGRAM FILES (X86)\\ORBIT-TENDER\\ORBIT-TENDER.EXE /service", "Processes Credit Cards For Meadowlark (store 4)",
       "C:\\PROGRAM FILES (X86)\\ORBIT-TENDER\\ORBIT-TENDER.EXE /service", description + " (store 4)"},
      {"C:\\Old\\Orbit-Tender.exe", "Something else", kProgramPath, description},
      {nullptr, nullptr, kProgramPath, description},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.application ? c.application : "no values");
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
  const std::pair<const char*, std::function<void(ServiceMachine&)>> cases[] = {
      {"Is Root Key?", [](ServiceMachine&) {}},  // the batch file did not create the service
      // A key that refuses new subkeys also refuses the full access KeyExists asks for.
      {"Create Params", [&](ServiceMachine& m) {
         m.sim.registry.addKey(kLocalMachine, services);
         m.sim.faults.failCalls(Call::RegistryCreateKey, 5);
       }},
      {"Write Application?", [&](ServiceMachine& m) {
         m.sim.registry.addKey(kLocalMachine, services + "\\Parameters");
         m.sim.registry.denyAccess(kLocalMachine, services + "\\Parameters", platform::keyaccess::kSetValue);
       }},
  };
  for (const auto& [step, arrange] : cases) {
    SCOPED_TRACE(step);
    ServiceMachine m;
    m.createsService = false;
    const auto& afterBatchFile = arrange;
    m.sim.process.onBatchStart([&m, &afterBatchFile](const std::string&) { afterBatchFile(m); });
    m.run();
    EXPECT_EQ(m.sim.ui.currentStatus(), "Orbit-Tender Service NOT Complete");
    EXPECT_EQ(m.sim.ui.boxes(), (Boxes{{"Orbit-Tender Service NOT Complete", "Registry", 16}}));
    EXPECT_EQ(m.log(), logLine(std::string(step) + ":Failed"));
  }
  ServiceMachine late;  // once the service exists, choosing the menu item again completes it
  late.createsService = false;
  late.sim.process.onBatchStart([&late](const std::string&) {
    if (late.sim.process.startedBatchFiles().size() == 2) late.registry.CreateKey(kServiceKey);
  });
  late.run(/*menuRuns=*/1);
  EXPECT_EQ(late.sim.ui.currentStatus(), "Service is Ready to Start");
}

TEST(ServiceCreationTest, UnknownProgramOrWindowsFolderWritesNothingAtADriveRoot) {
  {  // The system cannot name the program's file: no batch file, tools reported missing.
    ServiceMachine m;
    m.sim.faults.failCalls(Call::ProcessModulePath, 122);
    m.run();
    EXPECT_EQ(m.sim.ui.statuses(), (Statuses{"Status", "Checking for Tlv.Bat", "Checking for instsrv.exe", "instsrv.exe Missing"}));
    EXPECT_EQ(m.sim.ui.boxes(), (Boxes{{"instsrv.exe\r\n" + std::string(23, ' '), "Missing", 64}}));
    EXPECT_EQ(m.sim.faults.callCount(Call::FilesWriteNewFile), 0u);
    EXPECT_TRUE(m.sim.process.startedBatchFiles().empty());
  }
  {  // The system cannot name its Windows folder: the tools are not placed anywhere.
    ServiceMachine m;
    m.sim.faults.failCalls(Call::SysinfoWindowsFolder, 5);
    m.run();
    EXPECT_EQ(m.sim.ui.currentStatus(), "No Win / Srvany or Instsrv");
    EXPECT_EQ(m.sim.ui.boxes(), (Boxes{{"Files Failed to be retrieved", "No Win\\ Srvany or instsrv", 16}}));
    EXPECT_EQ(m.sim.faults.callCount(Call::FilesWriteNewFile), 0u);
    EXPECT_TRUE(m.sim.process.startedBatchFiles().empty());
  }
}

// What the run writes and runs comes from the system, whatever the environment says.
TEST(ServiceCreationTest, TheEnvironmentSteersNeitherThePlacementNorTheInterpreter) {
  const std::vector<std::string> environment{
      "ComSpec=C:\\Windows\\System32\\cmd.exe", "HOMEDRIVE=C:", "PATH=C:\\Windows\\System32;C:\\Windows",
      "PATHEXT=.COM;.EXE;.BAT;.CMD", "SystemDrive=C:", "SystemRoot=C:\\Windows", "TEMP=C:\\Windows\\Temp",
      "TMP=C:\\Windows\\Temp", "windir=C:\\Windows"};
  const std::pair<const char*, const char*> cases[] = {  // windir (nullptr: not set), the line logged
      {"C:\\Windows", nullptr},
      {nullptr, " WinDir:Not set; the system's Windows folder C:\\Windows\\ is used"},
      {"C:\\Users\\Public\\win", " WinDir C:\\Users\\Public\\win\\:Not the system's Windows folder C:\\Windows\\, which is used"},
  };
  for (const auto& [winDir, logged] : cases) {
    SCOPED_TRACE(winDir ? winDir : "(not set)");
    ServiceMachine m;
    m.sim.environment.set("HOMEDRIVE", "D:");
    m.sim.environment.set("PATH", "D:\\Pos;C:\\Windows\\System32");
    if (winDir) m.sim.environment.set("windir", winDir); else m.sim.environment.unset("windir");
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
    EXPECT_EQ(m.log().find(logged ? logged : " WinDir ") != std::string::npos, logged != nullptr) << m.log();
  }
}

}  // namespace
}  // namespace tlv::testing
