// Portable: the program's window and its events.
#include "app/frmTlvAsService.h"

#include "platform/WindowsPath.h"

namespace tlv::app {

frmTlvAsService::frmTlvAsService(platform::Platform& platform, logging::LoggingFunctions& log,
                                 environment::jclass_WinEnviron& gWinEnviron)
    : platform_(platform), log_(log), gWinEnviron_(gWinEnviron), files_(platform) {}

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

void frmTlvAsService::onLoad(platform::WindowControls& window) {
  window_ = &window;
  Form_Load();
}

void frmTlvAsService::onTimer(platform::WindowControls& window) {
  window_ = &window;
  tmrSetup_Timer();
}

void frmTlvAsService::onMenuItem(platform::WindowControls& window) {
  window_ = &window;
  mnuTolvane_Click();
}

void frmTlvAsService::setStatus(const std::string& text) {
  if (window_) window_->setStatusText(text);
}

void frmTlvAsService::Form_Load() {
  LocalPath_ = platform::folderOfPath(platform_.process.modulePath()) + "\\";
}

void frmTlvAsService::tmrSetup_Timer() {
  if (window_) window_->disableTimer();
  mnuTolvane_Click();
}

void frmTlvAsService::mnuTolvane_Click() {
  // The service creation is built on this entry point; until then the run only reports.
  setStatus("Checking for Tlv.Bat");
}

}  // namespace tlv::app
