// Native: the whole service creation with each of its platform calls failing in turn, on a
// fresh machine, over a repeated run and along the install-folder prompt. Every run must end
// in one of its endings with that ending's status and box, never throw, never call a service
// ready whose Application value is not in place, never write a file but the batch file, the
// log and the two tools in the Windows folder, and never leave a service key behind that the
// batch file's instsrv did not create.
#include <gtest/gtest.h>

#include <map>

#include "app/Endings.h"
#include "platform/WindowsPath.h"
#include "tests/hardening/FaultSweep.h"
#include "tests/service/ServiceMachine.h"

namespace tlv::testing {
namespace {

constexpr char kWindowNotCreated[] = "(window not created)";

struct Ending {
  std::string boxText;  ///< for the two missing tools: what the box text starts with
  std::string boxTitle;
};

// Each ending's status text and the box that goes with it, written out once: the program's
// table of endings must say the same.
const std::map<std::string, Ending> kEndings = {
    {"instsrv.exe Missing", {"instsrv.exe", "Missing"}},
    {"srvany.exe Missing", {"srvany.exe", "Missing"}},
    {"No Win / Srvany or Instsrv", {"Files Failed to be retrieved", "No Win\\ Srvany or instsrv"}},
    {"Failed to Create Batch file", {"Failed to Create Batch file", "TlvAsService"}},
    {"Orbit-Tender Service InComplete", {"Orbit-Tender Service InComplete", "find TLV"}},
    {"Service is Ready to Start", {"Service is Ready to Start", "Services"}},
    {"Orbit-Tender Service NOT Complete", {"Orbit-Tender Service NOT Complete", "Registry"}},
};

/// A file-system port that passes everything to the sim's and keeps the paths the program
/// tried to create, write, replace or delete, whether or not it could.
class RecordingFiles final : public platform::FileSystem {
 public:
  explicit RecordingFiles(platform::FileSystem& inner) : inner_(inner) {}
  platform::Result<std::int64_t> fileLength(const std::string& path) override { return inner_.fileLength(path); }
  platform::Result<std::string> fullPath(const std::string& path) override { return inner_.fullPath(path); }
  platform::Result<std::uint32_t> fileAttributes(const std::string& path) override {
    return inner_.fileAttributes(path);
  }
  platform::Result<std::unique_ptr<platform::TextFile>> openText(const std::string& path,
                                                                 platform::OpenMode mode) override {
    writeTargets.push_back(path);
    return inner_.openText(path, mode);
  }
  platform::Result<std::string> readWholeFile(const std::string& path) override { return inner_.readWholeFile(path); }
  platform::Win32Error deleteFile(const std::string& path) override {
    writeTargets.push_back(path);
    return inner_.deleteFile(path);
  }
  platform::Result<std::unique_ptr<platform::HeldFile>> holdForReading(const std::string& path) override {
    return inner_.holdForReading(path);
  }
  platform::Win32Error writeNewFile(const std::string& path, std::string_view bytes) override {
    writeTargets.push_back(path);
    return inner_.writeNewFile(path, bytes);
  }
  platform::Win32Error moveFile(const std::string& source, const std::string& target) override {
    writeTargets.push_back(source);
    writeTargets.push_back(target);
    return inner_.moveFile(source, target);
  }
  platform::Win32Error moveFileAtRestart(const std::string& source, const std::string& target) override {
    writeTargets.push_back(target);
    return inner_.moveFileAtRestart(source, target);
  }
  platform::Result<std::vector<platform::FolderEntry>> listFolder(const std::string& folder) override {
    return inner_.listFolder(folder);
  }
  platform::Result<platform::ProductVersion> productVersion(const std::string& path) override {
    return inner_.productVersion(path);
  }
  std::vector<std::string> writeTargets;

 private:
  platform::FileSystem& inner_;
};

/// The service machine, its file writes recorded, with a batch file whose instsrv creates
/// the service key (without platform calls of the program's own) when it finds itself in
/// the Windows folder.
struct SweptMachine : ServiceMachine {
  SweptMachine() {
    sim.process.onBatchStart([this](const std::string&) {
      if (!sim.files.exists("C:\\Windows\\instsrv.exe")) return;
      sim.registry.addKey(platform::hkey::kLocalMachine, "SYSTEM\\CurrentControlSet\\Services\\OrbitTender");
      instsrvCreatedService = true;
    });
  }

  RecordingFiles files{sim.files};
  platform::Platform recorded{files,       sim.clock,    sim.environment, sim.ui,
                              sim.process, sim.systemInfo, sim.registry,  sim.eventLog,
                              sim.hashing};
  bool instsrvCreatedService = false;
};

struct SeenEvent {
  bool box = false;
  std::string text;
  std::string title;  ///< boxes only
};

// The statuses and boxes the user saw, each workflow run on its own, split where a run
// starts. The sim keeps statuses and boxes apart; the order of the UI calls joins them (the
// window's label is its first status; a box whose call failed was not shown).
std::vector<std::vector<SeenEvent>> workflowRuns(const platform::sim::SimMachine& sim, const InjectedFault& fault) {
  std::vector<std::vector<SeenEvent>> runs;
  std::size_t status = 0;
  std::size_t box = 0;
  const auto& calls = sim.faults.calls();
  for (std::size_t i = 0; i < calls.size(); ++i) {
    SeenEvent event;
    if (calls[i] == "ui.setStatusText" || (calls[i] == "ui.showModalWindow" && !fault.failedAt(i))) {
      event.text = sim.ui.statuses().at(status++);
    } else if (calls[i] == "ui.messageBox" && !fault.failedAt(i)) {
      const platform::sim::ShownBox& shown = sim.ui.boxes().at(box++);
      event = {true, shown.text, shown.title};
    } else {
      continue;
    }
    if (!event.box && event.text == "Checking for Tlv.Bat") runs.emplace_back();
    if (!runs.empty()) runs.back().push_back(event);
  }
  return runs;
}

// Checks one workflow run and returns its ending.
std::string checkWorkflowRun(const std::vector<SeenEvent>& events, SweptMachine& m, const InjectedFault& fault) {
  std::size_t lastStatus = 0;
  for (std::size_t i = 0; i < events.size(); ++i) {
    if (!events[i].box) lastStatus = i;
  }
  std::string status = events[lastStatus].text;
  if (!kEndings.count(status)) {
    ADD_FAILURE() << "the run ended on the status '" << status << "', which is no ending";
    return status;
  }
  const std::vector<SeenEvent> boxes(events.begin() + static_cast<std::ptrdiff_t>(lastStatus) + 1, events.end());
  EXPECT_LE(boxes.size(), 1u) << status;
  if (boxes.empty()) {
    EXPECT_TRUE(fault.hit(m.sim.faults, "ui.messageBox")) << "no box for '" << status << "'";
  } else {
    const Ending& ending = kEndings.at(status);
    const SeenEvent& box = boxes.front();
    const bool belongs = box.title == ending.boxTitle &&
                         (ending.boxTitle == "Missing" ? box.text.find(ending.boxText + "\r\n") != std::string::npos
                                                       : box.text == ending.boxText);
    EXPECT_TRUE(belongs) << "'" << status << "' ended with the box '" << box.text << "' titled '" << box.title << "'";
  }
  if (status == "Service is Ready to Start") {
    const std::string application = m.registry.ReadString(kParametersKey, "Application", "");
    EXPECT_TRUE(platform::upperCase(application).ends_with("\\ORBIT-TENDER.EXE") && m.sim.files.exists(application))
        << "ready, but Application is '" << application << "'";
  }
  return status;
}

// Runs the program (the start-up timer, then the menu item menuRuns times) with the fault
// armed, and checks every workflow run and what the machine is left with.
ScenarioRun runProgram(SweptMachine& m, const InjectedFault& fault, int menuRuns) {
  std::vector<platform::sim::WindowAction> actions{platform::sim::WindowAction::Timer};
  actions.insert(actions.end(), static_cast<std::size_t>(menuRuns), platform::sim::WindowAction::Menu);
  m.sim.ui.setWindowActions(actions);

  fault.arm(m.sim.faults);
  int exitCode = -1;
  EXPECT_NO_THROW(exitCode = app::mainMod(m.recorded, m.tools).Main());
  ScenarioRun run{fault.callsSinceArmed(m.sim.faults), {}};
  m.sim.faults.clearFaults();  // what follows only looks

  const auto runs = workflowRuns(m.sim, fault);
  if (fault.hit(m.sim.faults, "ui.showModalWindow")) {
    EXPECT_EQ(exitCode, 1);
    EXPECT_TRUE(runs.empty());
    run.endings.push_back(kWindowNotCreated);
  } else {
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(runs.size(), static_cast<std::size_t>(1 + menuRuns));
    for (const auto& events : runs) run.endings.push_back(checkWorkflowRun(events, m, fault));
  }
  for (const std::string& target : m.files.writeTargets) {
    const std::string path = platform::upperCase(target);
    const bool expected = path == "C:\\TOOLS\\TOLVANEASSERV.BAT" ||
                          (path.starts_with("C:\\TOOLS\\TLVASSERVICE") && path.ends_with(".LOG")) ||
                          path.starts_with("C:\\WINDOWS\\INSTSRV.EXE") || path.starts_with("C:\\WINDOWS\\SRVANY.EXE");
    EXPECT_TRUE(expected) << "wrote to " << target;
  }
  EXPECT_TRUE(m.instsrvCreatedService || !m.registry.KeyExists(kServiceKey)) << "a stray service key";
  if (!fault.hit(m.sim.faults, "registry.closeKey")) {
    EXPECT_EQ(m.sim.registry.openHandleCount(), 0u) << "a registry key left open";
  }
  return run;
}

void sweepProgram(const std::string& scenario, int menuRuns, const std::function<void(SweptMachine&)>& arrange) {
  sweepEveryCall([&](const InjectedFault& fault) {
    SweptMachine m;
    arrange(m);
    return runProgram(m, fault, menuRuns);
  }).report(scenario);
}

TEST(Endings, TheProgramsTableHoldsTheTextsOfEveryEnding) {
  ASSERT_EQ(app::ending::kAll.size(), kEndings.size());
  for (const app::Ending& ending : app::ending::kAll) {
    const auto written = kEndings.find(std::string(ending.status));
    ASSERT_NE(written, kEndings.end()) << ending.status;
    EXPECT_EQ(ending.boxTitle.empty() ? "TlvAsService" : std::string(ending.boxTitle), written->second.boxTitle);
    if (!ending.boxText.empty()) {
      EXPECT_EQ(ending.boxText, written->second.boxText);
    }
  }
}

TEST(ServiceFaultSweep, FreshMachine) {
  sweepProgram("service creation, fresh machine", 0, [](SweptMachine&) {});
}

TEST(ServiceFaultSweep, RepeatedRun) {
  // The start-up run, then the menu item: the second run finds the batch file, the tools
  // and the service in place.
  sweepProgram("service creation, start-up run and a repeated run", 1, [](SweptMachine&) {});
}

TEST(ServiceFaultSweep, InstallFolderPrompt) {
  // The payment program is not under Program Files: a wrong folder is typed, then the right one.
  sweepProgram("service creation, install folder asked for", 0, [](SweptMachine& m) {
    m.sim.files.remove(std::string(kInstallFolder) + "Orbit-Tender.exe");
    m.sim.files.addFile("D:\\POS\\Orbit-Tender.exe", "payment program");
    m.sim.ui.queuePromptAnswer("C:\\Wrong");
    m.sim.ui.queuePromptAnswer("d:\\pos");
  });
}

}  // namespace
}  // namespace tlv::testing
