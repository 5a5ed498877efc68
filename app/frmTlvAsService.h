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
  void tmrSetup_Timer();
  void mnuTolvane_Click();

  /// The program's own folder followed by one backslash; set by Form_Load.
  const std::string& LocalPath() const { return LocalPath_; }

 private:
  // platform::WindowEvents
  void onLoad(platform::WindowControls& window) override;
  void onTimer(platform::WindowControls& window) override;
  void onMenuItem(platform::WindowControls& window) override;

  void setStatus(const std::string& text);

  platform::Platform& platform_;
  logging::LoggingFunctions& log_;
  environment::jclass_WinEnviron& gWinEnviron_;
  files::FileHandling files_;
  platform::WindowControls* window_ = nullptr;
  std::string LocalPath_;
};

}  // namespace tlv::app
