// Native: the whole service creation with each of its platform calls failing in turn, on a
// fresh machine, over a repeated run and along the install-folder prompt. Every run must end
// in one of its endings with that ending's status and box, never throw, never call a service
// ready whose Application value is not in place, never change a file but the batch file, the
// log and the two tools in the Windows folder, and never leave a service key behind that the
// batch file's instsrv did not create.
#include <gtest/gtest.h>

#include <algorithm>

#include "app/Endings.h"
#include "platform/WindowsPath.h"
#include "tests/hardening/FaultSweep.h"
#include "tests/service/ServiceMachine.h"

namespace tlv::testing {
namespace {

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
    if (calls[i] == platform::sim::Call::UiSetStatusText || (calls[i] == platform::sim::Call::UiShowModalWindow && !fault.failedAt(i))) {
      event.text = sim.ui.statuses().at(status++);
    } else if (calls[i] == platform::sim::Call::UiMessageBox && !fault.failedAt(i)) {
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

// Checks one workflow run: it ends in an ending, with that ending's box.
void checkWorkflowRun(const std::vector<SeenEvent>& events, ServiceMachine& m, const InjectedFault& fault) {
  std::size_t lastStatus = 0;
  for (std::size_t i = 0; i < events.size(); ++i) {
    if (!events[i].box) lastStatus = i;
  }
  const std::string& status = events[lastStatus].text;
  const auto ending = std::ranges::find(app::ending::kAll, status, &app::Ending::status);
  ASSERT_NE(ending, app::ending::kAll.end()) << "the run ended on the status '" << status << "', which is no ending";
  const std::vector<SeenEvent> boxes(events.begin() + static_cast<std::ptrdiff_t>(lastStatus) + 1, events.end());
  EXPECT_LE(boxes.size(), 1u) << status;
  if (boxes.empty()) {
    EXPECT_TRUE(fault.hit(m.sim.faults, platform::sim::Call::UiMessageBox)) << "no box for '" << status << "'";
  } else {
    // A Missing box names the missing tool's path; the others say their ending's text.
    const SeenEvent& box = boxes.front();
    const std::string tool = status.substr(0, status.find(' ')) + "\r\n";
    const bool belongs = box.title == (ending->boxTitle.empty() ? "TlvAsService" : ending->boxTitle) &&
                         (ending->boxText.empty() ? box.text.find(tool) != std::string::npos : box.text == ending->boxText);
    EXPECT_TRUE(belongs) << "'" << status << "' ended with the box '" << box.text << "' titled '" << box.title << "'";
  }
  if (status == "Service is Ready to Start") {
    const std::string application = m.registry.ReadString(kParametersKey, tools::value::kApplication, "");
    EXPECT_TRUE(platform::upperCase(application).ends_with("\\ORBIT-TENDER.EXE") && m.sim.files.exists(application))
        << "ready, but Application is '" << application << "'";
  }
}

// Runs the program (the start-up timer, then the menu item menuRuns times) with the fault
// armed, and checks every workflow run and what the machine is left with.
std::vector<platform::sim::Call> runProgram(ServiceMachine& m, const InjectedFault& fault, int menuRuns) {
  std::vector<platform::sim::WindowAction> actions{platform::sim::WindowAction::Timer};
  actions.insert(actions.end(), static_cast<std::size_t>(menuRuns), platform::sim::WindowAction::Menu);
  m.sim.ui.setWindowActions(actions);

  const auto filesBefore = m.sim.files.allFiles();
  fault.arm(m.sim.faults);
  int exitCode = -1;
  EXPECT_NO_THROW(exitCode = app::mainMod(m.platform, m.tools).Main());
  auto calls = fault.callsSinceArmed(m.sim.faults);
  m.sim.faults.clearFaults();  // what follows only looks

  const auto runs = workflowRuns(m.sim, fault);
  if (fault.hit(m.sim.faults, platform::sim::Call::UiShowModalWindow)) {
    EXPECT_EQ(exitCode, 1);
    EXPECT_TRUE(runs.empty());
  } else {
    EXPECT_EQ(exitCode, 0);
    EXPECT_EQ(runs.size(), static_cast<std::size_t>(1 + menuRuns));
    for (const auto& events : runs) checkWorkflowRun(events, m, fault);
  }
  const auto mayChange = [](const std::string& path) {
    return path == "C:\\TOOLS\\TOLVANEASSERV.BAT" || (path.starts_with("C:\\TOOLS\\TLVASSERVICE") && path.ends_with(".LOG")) ||
           path.starts_with("C:\\WINDOWS\\INSTSRV.EXE") || path.starts_with("C:\\WINDOWS\\SRVANY.EXE");
  };
  const auto filesAfter = m.sim.files.allFiles();
  for (const auto& [path, bytes] : filesAfter) {
    const auto before = filesBefore.find(path);
    EXPECT_TRUE((before != filesBefore.end() && before->second == bytes) || mayChange(path)) << "wrote to " << path;
  }
  for (const auto& [path, bytes] : filesBefore) EXPECT_TRUE(filesAfter.contains(path) || mayChange(path)) << "deleted " << path;
  EXPECT_TRUE(m.instsrvRan || !m.registry.KeyExists(kServiceKey)) << "a stray service key";
  if (!fault.hit(m.sim.faults, platform::sim::Call::RegistryCloseKey)) {
    EXPECT_EQ(m.sim.registry.openHandleCount(), 0u) << "a registry key left open";
  }
  return calls;
}

void sweepProgram(int menuRuns, const std::function<void(ServiceMachine&)>& arrange) {
  sweepEveryCall([&](const InjectedFault& fault) {
    ServiceMachine m;
    arrange(m);
    return runProgram(m, fault, menuRuns);
  });
}

TEST(ServiceFaultSweep, FreshMachine) { sweepProgram(0, [](ServiceMachine&) {}); }

// The second run finds the batch file, the tools and the service in place.
TEST(ServiceFaultSweep, RepeatedRun) { sweepProgram(1, [](ServiceMachine&) {}); }

// The payment program is not under Program Files: a wrong folder is typed, then the right one.
TEST(ServiceFaultSweep, InstallFolderPrompt) {
  sweepProgram(0, [](ServiceMachine& m) {
    m.moveProgramTo("D:\\POS\\");
    m.sim.ui.queuePromptAnswer("C:\\Wrong");
    m.sim.ui.queuePromptAnswer("d:\\pos");
  });
}

}  // namespace
}  // namespace tlv::testing
