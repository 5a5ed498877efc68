// Portable: the program's window, frmTlvAsService: its design, its events and the service
// creation that the start-up timer and the menu item run.
#pragma once

#include <string>

#include "environment/jclass_WinEnviron.h"
#include "files/FileHandling.h"
#include "logging/LoggingFunctions.h"
#include "platform/Platform.h"

namespace tlv::app {

class frmTlvAsService final : public platform::WindowEvents {
 public:
  frmTlvAsService(platform::Platform& platform, logging::LoggingFunctions& log,
                  environment::jclass_WinEnviron& gWinEnviron);

  /// Caption, client size, status label, menu item and start-up timer of the window.
  static platform::WindowDesign Design();

  void Form_Load();
  /// The one-shot start-up timer: disables itself and runs the service creation.
  void tmrSetup_Timer();
  /// The whole service creation, from the batch file to the verified registry values.
  void mnuTolvane_Click();

  /// Writes TolvaneAsServ.BAT into the folder, replacing any file of that name.
  void MakeTolvaneServBat(const std::string& thePath);
  /// Copies instsrv.exe and srvany.exe from the folder into the Windows folder where they
  /// are missing; true when both are in the Windows folder at the end.
  bool MoveTolvanesToWin(const std::string& lPath);
  /// Checks and writes the service's Application, Description and FailureActions values;
  /// true when Application names the payment program in the given install folder.
  bool ValidateTolvaneReg(const std::string& lvTLVPath);

  /// The program's own folder followed by one backslash; set by Form_Load.
  const std::string& LocalPath() const { return LocalPath_; }
  /// The status the last step set, also when no window shows it (an unattended run).
  const std::string& Status() const { return status_; }

 private:
  // platform::WindowEvents
  void onLoad(platform::WindowControls& window) override;
  void onTimer(platform::WindowControls& window) override;
  void onMenuItem(platform::WindowControls& window) override;

  void setStatus(const std::string& text);
  /// The file holds exactly the bytes MakeTolvaneServBat writes. The program runs as
  /// administrator and its folder may be one that other users can change: any other batch
  /// file of that name is not run.
  bool isOwnBatchFile(const std::string& path);
  /// The tool lies beside the program and is this release's own: its version resource names
  /// the product and version of the running program. A foreign file is logged and counts as
  /// missing, so that it is never copied into the Windows folder and run as LocalSystem.
  bool ownToolBesideProgram(const std::string& tool);
  /// The install folder that holds Orbit-Tender.exe, asking the user when the Program Files
  /// one does not; empty when the user gave up.
  std::string findInstallFolder();
  bool verifyService(const std::string& installFolder);

  platform::Platform& platform_;
  logging::LoggingFunctions& log_;
  environment::jclass_WinEnviron& gWinEnviron_;
  files::FileHandling files_;
  platform::WindowControls* window_ = nullptr;
  std::string LocalPath_;
  std::string status_;
};

}  // namespace tlv::app
