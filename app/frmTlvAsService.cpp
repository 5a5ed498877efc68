// Portable: the program's window: its design, its events and the service creation run.
#include "app/frmTlvAsService.h"

#include <exception>

#include "app/Outcome.h"
#include "platform/WindowsPath.h"

namespace tlv::app {

namespace {

constexpr char kPaymentProgram[] = "Orbit-Tender.exe";

}  // namespace

frmTlvAsService::frmTlvAsService(RunContext& run)
    : platform_(run.machine), log_(run.log), gWinEnviron_(run.environment), files_(run.machine), tools_(run.tools) {}

frmTlvAsService::~frmTlvAsService() { letGoOfBatchFile(); }

platform::WindowDesign frmTlvAsService::Design() {
  platform::WindowDesign d;
  d.caption = "Make Service for Tolvane";
  d.clientWidth = 5805;
  d.clientHeight = 3390;
  d.labelText = "Status";
  d.labelLeft = 600;
  d.labelTop = 600;
  d.labelWidth = 3615;
  d.labelHeight = 375;
  d.labelFont = "MS Sans Serif";
  d.labelPointSize = 13.5;
  d.labelBold = true;
  d.menuCaption = "Create Tol Vane Service";
  d.timerMilliseconds = 500;
  return d;
}

template <class Work>
void frmTlvAsService::guarded(Work&& work) {
  try {
    work();
  } catch (const std::exception& e) {
    static_cast<void>(unexpectedFailure(log_, e.what()));  // shown in its box; the window run has no exit code
  } catch (...) {
    static_cast<void>(unexpectedFailure(log_, "an unknown error"));
  }
}

void frmTlvAsService::onLoad(platform::WindowControls& window) {
  window_ = &window;
  guarded([this] { Form_Load(); });
}

void frmTlvAsService::onTimer(platform::WindowControls& window) {
  window_ = &window;
  guarded([this] { tmrSetup_Timer(); });
}

void frmTlvAsService::onMenuItem(platform::WindowControls& window) {
  window_ = &window;
  guarded([this] { static_cast<void>(mnuTolvane_Click()); });  // shown in the window
}

void frmTlvAsService::setStatus(const std::string& text) {
  if (window_) window_->setStatusText(text);
}

void frmTlvAsService::Form_Load() {
  // When the system cannot name the program's file, LocalPath stays empty: a lone backslash
  // would stand for the current drive's root, and the run would write its batch file there.
  const std::string program = platform_.process.modulePath();
  if (program.empty()) return;
  LocalPath_ = platform::folderOfPath(program) + "\\";
}

void frmTlvAsService::tmrSetup_Timer() {
  if (window_) window_->disableTimer();
  static_cast<void>(mnuTolvane_Click());  // shown in the window
}

Ending frmTlvAsService::mnuTolvane_Click() {
  // A failing statement never stops the run: the platform reports failures as values, and
  // each step below decides from what it finds on disk and in the registry.
  // Without the program's folder the batch file and the tools cannot be found beside the
  // program; the run reports instsrv.exe missing rather than look in the current folder.
  const bool programFolderKnown = !LocalPath_.empty();
  // The window run cannot watch the last run's interpreter end, since it pumps no messages
  // between steps: it lets go of that batch file here, at the next run, and when the window
  // has closed (the form's end), after the interpreter has ended.
  letGoOfBatchFile();
  verifiedTools_.clear();
  installFolder_.clear();
  folders_ = systemFolders(platform_, log_, gWinEnviron_.PathWindowsRoot());
  setStatus("Checking for Tlv.Bat");
  if (programFolderKnown) prepareBatchFile();

  setStatus("Checking for instsrv.exe");
  if (!programFolderKnown || !ownToolBesideProgram("instsrv.exe")) {
    return endMissing(ending::kInstsrvMissing, "instsrv.exe");
  }

  setStatus("");
  if (!ownToolBesideProgram("srvany.exe")) {
    return endMissing(ending::kSrvanyMissing, "srvany.exe");
  }

  setStatus("Copying Files to \\Windows");
  if (!MoveTolvanesToWin(LocalPath_)) {
    return end(ending::kToolsNotPlaced);
  }

  setStatus("Creating Service");
  // A batch file that could not be written over (a locked or read-only planted one) is
  // still not the program's own: it is not run.
  if (!batchFile_) {
    return end(ending::kBatchFileFailed);
  }
  // The batch file runs on its own; the registry check below tells whether it created the
  // service, after a short pause for it to get going. The interpreter reads the file line
  // by line while it runs: it stays held until the interpreter has ended.
  auto started = platform_.process.startBatchFile(batchLaunch(LocalPath_ + kBatchFile, *folders_));
  if (started.ok()) {
    batchRun_ = std::move(started.value);
    batchStartedMs_ = platform_.clock.tickMilliseconds();
  } else {
    batchFile_.reset();  // nothing runs it
  }
  platform_.process.sleep(500);
  // Nobody runs an unattended run again from the menu: on a slow machine it gives the batch
  // file the time it needs, within limits, rather than end "NOT Complete". One that had to be
  // ended did not do its work.
  if (unattended_ && batchRun_ && !ServiceKeyExists() && finishBatchRun() != BatchRunEnd::kFinished) {
    return end(ending::kNotComplete);
  }

  const std::string installFolder = findInstallFolder();
  installFolder_ = installFolder;
  if (installFolder.empty()) {
    return end(ending::kInComplete);
  }

  setStatus("Verifying Service");
  const bool verified = verifyService(installFolder);
  // An unattended run's exit code is its last word: never "ready" while its batch file, which
  // may still change the service, runs on, nor when it had to be ended.
  if (unattended_ && finishBatchRun() != BatchRunEnd::kFinished) return end(ending::kNotComplete);
  return end(verified ? ending::kReady : ending::kNotComplete);
}

Ending frmTlvAsService::end(const Ending& ending) {
  setStatus(std::string(ending.status));
  const std::string title = ending.boxTitle.empty() ? platform_.ui.programTitle() : std::string(ending.boxTitle);
  platform_.ui.messageBox(std::string(ending.boxText), title, ending.boxStyle);
  return ending;
}

Ending frmTlvAsService::endMissing(const Ending& ending, const std::string& tool) {
  setStatus(std::string(ending.status));
  // The box is the log entry's: it names the file that is missing.
  log_.WriteLog({.level = logging::level::kShowBox,
                 .message = LocalPath_ + tool,
                 .detail = std::string(ending.boxTitle),
                 .boxStyle = ending.boxStyle});
  return ending;
}

std::string frmTlvAsService::findInstallFolder() {
  std::string installFolder = gWinEnviron_.PathProgramFiles() + "Orbit-Tender\\";
  setStatus("Finding Tolvane Install");
  if (files_.CheckForFileQuietly(installFolder + kPaymentProgram)) return installFolder;

  for (;;) {
    const platform::PromptAnswer reply = platform_.ui.inputBox(
        "Type the Path to the 'Orbit-Tender\\' Folder\r\n'STOP' to Quit", "Where is Tolvane?", installFolder);
    // A prompt that cannot be shown would come back forever: the run ends as if stopped.
    if (reply.kind == platform::PromptAnswer::Kind::NotShown) return {};
    if (platform::upperCase(reply.text) == "STOP") return {};
    // Cancel, or OK on an empty field, names no folder: taken as one, it would be the root of
    // the current drive, where a program of anyone's could stand.
    if (reply.kind == platform::PromptAnswer::Kind::Cancelled || reply.text.empty()) continue;
    if (auto found = fullFolderHoldingProgram(reply.text)) return *found;
  }
}

std::optional<std::string> frmTlvAsService::fullFolderHoldingProgram(std::string folder) {
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  const auto full = platform_.files.fullPath(folder);
  if (!full.ok() || !files_.CheckForFileQuietly(full.value + kPaymentProgram)) return std::nullopt;
  log_.WriteLog({.level = logging::level::kNote,
                 .message = full.value + kPaymentProgram,
                 .detail = "Found",
                 .boxStyle = platform::mb::kIconInformation});
  return full.value;
}

bool frmTlvAsService::verifyService(const std::string& installFolder) {
  // An unexpected failure inside the check counts as a check that did not pass: the run
  // never reports a service as ready that it could not verify.
  try {
    return ValidateTolvaneReg(installFolder);
  } catch (const std::exception&) {
    return false;
  }
}

}  // namespace tlv::app
