// Native: a sim machine set up as the program meets it in the field, for the service
// creation tests: the program and its tools in C:\Tools, Windows in C:\Windows, the payment
// program under Program Files, and a batch file that creates the service as instsrv does.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "app/ServiceRegistryKeys.h"
#include "app/ServiceVerify.h"
#include "app/mainMod.h"
#include "files/PeDigest.h"
#include "platform/host/LibcryptoSha256.h"
#include "platform/sim/SimMachine.h"
#include "registry/clsRegistryAccess.h"
#include "testkit/MiniPe.h"

namespace tlv::testing {

using app::kParametersKey;
using app::kServiceKey;
inline constexpr char kInstallFolder[] = "C:\\Program Files (x86)\\Orbit-Tender\\";
inline const std::string kBatchPath = "C:\\Tools\\TolvaneAsServ.BAT";
inline const std::string kProgramPath = std::string(kInstallFolder) + "Orbit-Tender.exe";
inline const std::string kLogPath = "C:\\Tools\\TlvAsServiceDec06-2026_90507.log";
/// This release's tools, as far as the sim machine is concerned.
inline const std::string kInstsrvBytes = miniPe("instsrv tool");
inline const std::string kSrvanyBytes = miniPe("srvany tool");
inline const std::string kBatchBytes =
    "%homeDrive%\r\ncd %winDir%\r\ninstsrv OrbitTender %winDir%\\srvany.exe\r\n\r\n";

struct ServiceMachine {
  ServiceMachine() {
    sim.process.setModulePath("C:\\Tools\\TlvAsService.exe");
    sim.files.addFile("C:\\Tools\\TlvAsService.exe", "program");
    sim.files.setProductVersion("C:\\Tools\\TlvAsService.exe", {"TlvAsService", "1.0.0"});
    sim.files.addFile("C:\\Tools\\instsrv.exe", kInstsrvBytes);
    sim.files.addFile("C:\\Tools\\srvany.exe", kSrvanyBytes);
    sim.files.addFolder("C:\\Windows\\System32");
    sim.files.addFile(std::string(kInstallFolder) + "Orbit-Tender.exe", "payment program");
    sim.environment.set("windir", "C:\\Windows");
    sim.environment.set("ProgramFiles", "C:\\Program Files (x86)");
    // The batch file runs instsrv from the Windows folder: when it is there, the service and
    // its key appear, through none of the program's own calls; a service that exists stays as
    // it is. createsService = false stands for a batch file that fails or is too slow.
    sim.process.onBatchStart([this](const std::string&) {
      if (!createsService || !sim.files.exists("C:\\Windows\\instsrv.exe")) return;
      sim.registry.addKey(platform::hkey::kLocalMachine, tools::kServiceKeyPath.data());
      if (!sim.services.has(tools::kServiceName)) {
        sim.services.add(tools::kServiceName, {"C:\\Windows\\srvany.exe", platform::servicestart::kAutomatic});
      }
      instsrvRan = true;
    });
  }

  /// Runs the program: the start-up timer fires, then the menu item is chosen `menuRuns` times.
  int run(int menuRuns = 0) {
    std::vector<platform::sim::WindowAction> actions{platform::sim::WindowAction::Timer};
    for (int i = 0; i < menuRuns; ++i) actions.push_back(platform::sim::WindowAction::Menu);
    sim.ui.setWindowActions(actions);
    const int exitCode = app::mainMod(platform, tools).Main();
    EXPECT_EQ(sim.ui.unexpectedPrompts(), 0) << "the run asked more often than the test answered";
    return exitCode;
  }

  /// Runs the program with a command line (a run that shows nothing, or a wrong line).
  int runWith(std::string_view commandLine) { return app::mainMod(platform, tools).Main(commandLine); }
  /// Takes the payment program out of Program Files, into `folder` when one is given.
  void moveProgramTo(const std::string& folder = {}) {
    sim.files.remove(kProgramPath);
    if (!folder.empty()) sim.files.addFile(folder + "Orbit-Tender.exe", "payment program");
  }

  /// What /verify would find now, check by check, without a run of its own.
  std::vector<app::CheckResult> checks() {
    logging::LoggingFunctions log(platform);
    environment::jclass_WinEnviron environment(platform, log);
    app::RunContext context{platform, log, environment, tools};
    return app::verifyService(context);
  }

  std::string log() const { return sim.files.contents(kLogPath); }
  std::string lastLogLine() const {
    const std::string lines = log().substr(0, log().rfind("\r\n"));  // every line ends in CR LF
    const std::size_t start = lines.rfind("\r\n");
    return start == std::string::npos ? lines : lines.substr(start + 2);
  }

  platform::sim::SimMachine sim;
  platform::Platform platform = sim.platform();
  registry::clsRegistryAccess registry{platform};
  bool createsService = true;
  bool instsrvRan = false;  ///< the batch file's instsrv made the service key
  app::ToolDigests tools{.instsrv = platform::host::libcryptoSha256(*files::authenticodePieces(kInstsrvBytes)).value,
                         .srvany = platform::host::libcryptoSha256(*files::authenticodePieces(kSrvanyBytes)).value};
};

/// A log line as the log writer pads it, at the sim clock's time.
inline std::string logLine(const std::string& text) { return "9:05:07 AM " + text + std::string(23, ' ') + "\r\n"; }

}  // namespace tlv::testing
