// Portable: the program's window, frmTlvAsService: its design, its events and the service
// creation that the start-up timer and the menu item run.
#pragma once

#include <map>
#include <memory>
#include <optional>
#include <string>

#include "app/Endings.h"
#include "app/RunContext.h"
#include "app/SystemFolders.h"
#include "app/ToolDigests.h"
#include "environment/jclass_WinEnviron.h"
#include "files/FileHandling.h"
#include "logging/LoggingFunctions.h"
#include "platform/Platform.h"

namespace tlv::app {

class frmTlvAsService final : public platform::WindowEvents {
 public:
  /// The run's machine, log writer, environment object and the digests of the tools it may place.
  explicit frmTlvAsService(RunContext& run);
  /// Waits for the batch file's command interpreter, if it still runs, until its time is up
  /// (then ends it), before letting go of the batch file.
  ~frmTlvAsService() override;
  frmTlvAsService(const frmTlvAsService&) = delete;
  frmTlvAsService& operator=(const frmTlvAsService&) = delete;

  /// Caption, client size, status label, menu item and start-up timer of the window.
  static platform::WindowDesign Design();

  void Form_Load();
  /// The one-shot start-up timer: disables itself and runs the service creation.
  void tmrSetup_Timer();
  /// The whole service creation, from the batch file to the verified registry values; its
  /// ending, already shown in the status line and its box.
  Ending mnuTolvane_Click();

  /// Writes TolvaneAsServ.BAT into the folder, replacing any file of that name.
  void MakeTolvaneServBat(const std::string& thePath);
  /// Places instsrv.exe and srvany.exe in the Windows folder where they are missing, with the
  /// bytes this run read and checked beside the program in that folder; true when both are
  /// in the Windows folder at the end.
  bool MoveTolvanesToWin(const std::string& lPath);
  /// Checks and writes the service's Application, Description and FailureActions values;
  /// true when Application names the payment program in the given install folder.
  bool ValidateTolvaneReg(const std::string& lvTLVPath);

  /// How long the batch file may run, counted from its start: a hung instsrv is then ended,
  /// with the command interpreter and everything else the batch file started.
  static constexpr unsigned kBatchFileLimitMs = 30000;
  /// An unattended run has nobody to run it again from the menu: when the service does not
  /// exist after the pause, it waits for the batch file to end (within its 30 s), and it
  /// reports its ending only once the batch file is over.
  void setUnattended(bool unattended) { unattended_ = unattended; }
  /// The folder the last run found Orbit-Tender.exe in (a full path); empty when none.
  const std::string& InstallFolder() const { return installFolder_; }

  /// The program's own folder followed by one backslash; set by Form_Load.
  const std::string& LocalPath() const { return LocalPath_; }
  enum class BatchRunEnd {
    kFinished,     ///< it ended within its time, or none ran
    kEnded,        ///< its time was up: the interpreter and all it started were ended
    kStillRunning  ///< its time was up and the interpreter could not be ended
  };
  /// Waits for the last run's batch file until its time is up, then ends it (logged); lets go
  /// of the file once the interpreter has ended.
  [[nodiscard]] BatchRunEnd finishBatchRun();

 private:
  // platform::WindowEvents
  void onLoad(platform::WindowControls& window) override;
  void onTimer(platform::WindowControls& window) override;
  void onMenuItem(platform::WindowControls& window) override;

  void setStatus(const std::string& text);
  /// Ends the run: its status, and its box.
  Ending end(const Ending& ending);
  /// Ends the run for a tool that is missing beside the program: the log entry's box names it.
  Ending endMissing(const Ending& ending, const std::string& tool);
  /// Runs an event's work; an exception never leaves it (it would unwind through the system's
  /// window procedure), it is reported instead.
  template <class Work>
  void guarded(Work&& work);
  /// The service key exists: the batch file's instsrv has created the service.
  bool ServiceKeyExists();
  /// Whether Orbit-Tender.exe is in the folder, which is made a full path first (a relative
  /// one would name another folder for the service than for this run).
  std::optional<std::string> fullFolderHoldingProgram(std::string folder);
  /// The batch file, held open so that nobody can change it, when it holds exactly the bytes
  /// MakeTolvaneServBat writes; null otherwise. The program runs as administrator and its
  /// folder may be one that other users can change: no other batch file of that name is run.
  std::unique_ptr<platform::HeldFile> holdOwnBatchFile(const std::string& path);
  /// Holds the program's own batch file in batchFile_, writing it anew first when the one
  /// found is missing or not the program's own.
  void prepareBatchFile();
  /// Finishes the last batch run (finishBatchRun), then lets go of the file in any case.
  void letGoOfBatchFile();
  /// What is left of the batch file's time, in milliseconds.
  unsigned batchTimeLeft();
  /// The tool lies beside the program and its bytes, read once, have this release's digest;
  /// they are kept for the placement. A foreign file is logged and counts as missing, so that
  /// it is never placed in the Windows folder and run as LocalSystem.
  bool ownToolBesideProgram(const std::string& tool);
  /// Writes the bytes under a temporary name beside the target, then renames them into place.
  platform::Win32Error placeTool(const std::string& target, const std::string& bytes);
  struct Upgrade {
    std::string from;  ///< the version of the tool in the Windows folder
    std::string to;    ///< the running program's
  };
  /// The versions when the tool in the Windows folder is an earlier release of this product's
  /// own: its version resource names the running program's product and a lower version.
  /// nullopt for any other file, which is used as found.
  std::optional<Upgrade> earlierOwnRelease(const std::string& target);
  struct Replacement {
    platform::Win32Error error = platform::err::kSuccess;
    bool atRestart = false;  ///< the file was in use and could not be renamed
    /// Where the tool found was set aside and could not be put back: the tool's name then
    /// stands for no file at all.
    std::optional<std::string> strandedAside;
    platform::Win32Error restoreError = platform::err::kSuccess;
  };
  /// What makes the file not a file of its own ("2 names", "a link"); nullopt when it is one,
  /// or when that cannot be told (it is then judged by its version, as before).
  std::optional<std::string> linkedFile(const std::string& path);
  /// Puts the bytes in place of the tool in the Windows folder. A tool in use by a running
  /// service is renamed aside first, so that the service's next start runs the new one;
  /// where even that is refused, Windows replaces it when it next starts.
  Replacement replaceTool(const std::string& target, const std::string& bytes);
  /// Deletes the tools that earlier runs set aside in the folder, where no longer in use.
  void removeSetAsideTools(const std::string& windowsFolder);
  /// The install folder that holds Orbit-Tender.exe, asking the user when the Program Files
  /// one does not; empty when the user gave up.
  std::string findInstallFolder();
  bool verifyService(const std::string& installFolder);

  static constexpr char kBatchFile[] = "TolvaneAsServ.BAT";

  platform::Platform& platform_;
  logging::LoggingFunctions& log_;
  environment::jclass_WinEnviron& gWinEnviron_;
  files::FileHandling files_;
  const ToolDigests& tools_;
  /// The bytes of the tools checked beside the program in this run, by their path there:
  /// what was checked is what is placed, nothing is read twice.
  std::map<std::string, std::string> verifiedTools_;
  /// The batch file, held from its check until the interpreter that runs it has ended.
  std::unique_ptr<platform::HeldFile> batchFile_;
  std::unique_ptr<platform::StartedProcess> batchRun_;
  std::uint64_t batchStartedMs_ = 0;  ///< the clock's tick count when batchRun_ started
  bool batchRunStuck_ = false;        ///< its time was up and it could not be ended
  platform::WindowControls* window_ = nullptr;
  std::string LocalPath_;
  std::string installFolder_;
  /// The system's folders, read at the start of each run; nullopt when the system cannot
  /// name them (nothing is then placed or run).
  std::optional<SystemFolders> folders_;
  bool unattended_ = false;
};

}  // namespace tlv::app
