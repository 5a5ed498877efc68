// Native: the whole service creation with each of its platform calls failing in turn, on a
// fresh machine, over a repeated run and along the install-folder prompt. Every run must end
// in one of its endings with that ending's status and box, never throw, never call a service
// ready whose Application value is not in place, never write a file but the batch file, the
// log and the two tools in the Windows folder, and never leave a service key behind that the
// batch file's instsrv did not create.
#include <gtest/gtest.h>

#include <iostream>
#include <map>

#include "platform/WindowsPath.h"
#include "tests/hardening/FaultSweep.h"
#include "tests/hardening/RecordingFiles.h"
#include "tests/hardening/RecordingUi.h"
#include "tests/service/ServiceMachine.h"

namespace tlv::testing {
namespace {

constexpr char kWindowNotCreated[] = "(window not created)";

struct Ending {
  std::string boxText;  ///< for the two missing tools: what the box text starts with
  std::string boxTitle;
};

// Each ending's status text and the box that goes with it.
const std::map<std::string, Ending>& endings() {
  static const std::map<std::string, Ending> kEndings = {
      {"instsrv.exe Missing", {"instsrv.exe", "Missing"}},
      {"srvany.exe Missing", {"srvany.exe", "Missing"}},
      {"No Win / Srvany or Instsrv", {"Files Failed to be retrieved", "No Win\\ Srvany or instsrv"}},
      {"Failed to Create Batch file", {"Failed to Create Batch file", "TlvAsService"}},
      {"Orbit-Tender Service InComplete", {"Orbit-Tender Service InComplete", "find TLV"}},
      {"Service is Ready to Start", {"Service is Ready to Start", "Services"}},
      {"Orbit-Tender Service NOT Complete", {"Orbit-Tender Service NOT Complete", "Registry"}},
  };
  return kEndings;
}

bool boxBelongsTo(const SeenEvent& box, const std::string& status) {
  const Ending& ending = endings().at(status);
  if (box.title != ending.boxTitle) return false;
  if (ending.boxTitle == "Missing") return box.text.find(ending.boxText + "\r\n") != std::string::npos;
  return box.text == ending.boxText;
}

/// The service machine, its user interface recorded, with a batch file whose instsrv
/// creates the service key (without platform calls of the program's own) when it finds
/// itself in the Windows folder.
struct SweptMachine : ServiceMachine {
  SweptMachine() {
    sim.process.onBatchStart([this](const std::string&) {
      if (!sim.files.exists("C:\\Windows\\instsrv.exe")) return;
      sim.registry.addKey(platform::hkey::kLocalMachine, "SYSTEM\\CurrentControlSet\\Services\\OrbitTender");
      instsrvCreatedService = true;
    });
  }

  RecordingUi ui{sim.ui};
  RecordingFiles files{sim.files};
  platform::Platform recorded{files, sim.clock, sim.environment, ui, sim.process, sim.systemInfo, sim.registry};
  bool instsrvCreatedService = false;
};

// The status and box events of each workflow run, split where a run starts.
std::vector<std::vector<SeenEvent>> workflowRuns(const std::vector<SeenEvent>& timeline) {
  std::vector<std::vector<SeenEvent>> runs;
  for (const SeenEvent& event : timeline) {
    if (event.kind == SeenEvent::Kind::Status && event.text == "Checking for Tlv.Bat") runs.emplace_back();
    if (!runs.empty()) runs.back().push_back(event);
  }
  return runs;
}

// Checks one workflow run and returns its ending.
std::string checkWorkflowRun(const std::vector<SeenEvent>& events, SweptMachine& m, const InjectedFault& fault) {
  std::size_t lastStatus = 0;
  for (std::size_t i = 0; i < events.size(); ++i) {
    if (events[i].kind == SeenEvent::Kind::Status) lastStatus = i;
  }
  std::string status = events[lastStatus].text;
  if (!endings().count(status)) {
    ADD_FAILURE() << "the run ended on the status '" << status << "', which is no ending";
    return status;
  }
  const std::vector<SeenEvent> boxes(events.begin() + static_cast<std::ptrdiff_t>(lastStatus) + 1, events.end());
  EXPECT_LE(boxes.size(), 1u) << status;
  if (boxes.empty()) {
    EXPECT_TRUE(fault.hit(m.sim.faults, "ui.messageBox")) << "no box for '" << status << "'";
  } else {
    EXPECT_TRUE(boxBelongsTo(boxes.front(), status))
        << "'" << status << "' ended with the box '" << boxes.front().text << "' titled '" << boxes.front().title << "'";
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
  EXPECT_NO_THROW(exitCode = app::mainMod(m.recorded).Main());
  ScenarioRun run{fault.callsSinceArmed(m.sim.faults), {}};
  m.sim.faults.clearFaults();  // what follows only looks

  if (fault.hit(m.sim.faults, "ui.showModalWindow")) {
    EXPECT_EQ(exitCode, 1);
    EXPECT_TRUE(workflowRuns(m.ui.timeline()).empty());
    run.endings.push_back(kWindowNotCreated);
  } else {
    EXPECT_EQ(exitCode, 0);
    const auto runs = workflowRuns(m.ui.timeline());
    EXPECT_EQ(runs.size(), static_cast<std::size_t>(1 + menuRuns));
    for (const auto& events : runs) run.endings.push_back(checkWorkflowRun(events, m, fault));
  }
  for (const std::string& target : m.files.writeTargets()) {
    const std::string path = platform::upperCase(target);
    const bool expected = path == "C:\\TOOLS\\TOLVANEASSERV.BAT" ||
                          (path.starts_with("C:\\TOOLS\\TLVASSERVICE") && path.ends_with(".LOG")) ||
                          path == "C:\\WINDOWS\\INSTSRV.EXE" || path == "C:\\WINDOWS\\SRVANY.EXE";
    EXPECT_TRUE(expected) << "wrote to " << target;
  }
  EXPECT_TRUE(m.instsrvCreatedService || !m.registry.KeyExists(kServiceKey)) << "a stray service key";
  if (!fault.hit(m.sim.faults, "registry.closeKey")) {
    EXPECT_EQ(m.sim.registry.openHandleCount(), 0u) << "a registry key left open";
  }
  return run;
}

void report(const std::string& scenario, const SweepFigures& figures) {
  std::cout << "[ sweep    ] " << figures.summary(scenario) << std::endl;
  EXPECT_GT(figures.faultedRuns, 0u);
  EXPECT_EQ(figures.survived, figures.faultedRuns);
}

TEST(ServiceFaultSweep, FreshMachine) {
  const SweepFigures figures = sweepEveryCall([](const InjectedFault& fault) {
    SweptMachine m;
    return runProgram(m, fault, 0);
  });
  report("service creation, fresh machine", figures);
}

TEST(ServiceFaultSweep, RepeatedRun) {
  // The start-up run, then the menu item: the second run finds the batch file, the tools
  // and the service in place.
  const SweepFigures figures = sweepEveryCall([](const InjectedFault& fault) {
    SweptMachine m;
    return runProgram(m, fault, 1);
  });
  report("service creation, start-up run and a repeated run", figures);
}

TEST(ServiceFaultSweep, InstallFolderPrompt) {
  // The payment program is not under Program Files: a wrong folder is typed, then the right one.
  const SweepFigures figures = sweepEveryCall([](const InjectedFault& fault) {
    SweptMachine m;
    m.sim.files.remove(std::string(kInstallFolder) + "Orbit-Tender.exe");
    m.sim.files.addFile("D:\\POS\\Orbit-Tender.exe", "payment program");
    m.sim.ui.queuePromptAnswer("C:\\Wrong");
    m.sim.ui.queuePromptAnswer("d:\\pos");
    return runProgram(m, fault, 0);
  });
  report("service creation, install folder asked for", figures);
}

}  // namespace
}  // namespace tlv::testing
