// Portable: the unattended run.
#include "app/UnattendedRun.h"

#include "app/ServiceRegistryKeys.h"
#include "app/ServiceSetup.h"
#include "app/frmTlvAsService.h"

namespace tlv::app {

namespace {

// Whether the service exists; also true when the manager cannot tell, so that a service is
// never taken for this run's own without proof.
bool serviceMayExist(platform::Platform& quiet) {
  return quiet.services.configuration(kServiceName).error != platform::err::kServiceDoesNotExist;
}

void logServiceNote(logging::LoggingFunctions& log, const std::string& detail) {
  log.WriteLog({.level = logging::level::kNote,
                .message = std::string("Service ") + kServiceName,
                .detail = detail,
                .boxStyle = platform::mb::kIconInformation});
}

// Nobody runs an unattended run again: a service it created and could not complete would be
// left automatic without its program, failing at every start of Windows. It goes once the
// batch file's interpreter is over, so that its instsrv cannot create it again after.
void removeHalfService(RunContext& run, frmTlvAsService& form) {
  if (form.finishBatchRun() == frmTlvAsService::BatchRunEnd::kStillRunning) {
    return logServiceNote(run.log, "Not removed: the batch file's command interpreter could not be ended");
  }
  if (!serviceMayExist(run.machine)) return;
  const platform::Win32Error error = run.machine.services.deleteService(kServiceName);
  logServiceNote(run.log, error == platform::err::kSuccess
                              ? "Removed: this run created it and could not complete it"
                              : "Not removed (error " + std::to_string(error) +
                                    "): this run created it and could not complete it");
}

}  // namespace

Outcome runUnattended(RunContext& run, const QuietUi& ui, const RunOptions& options) {
  // What cannot be set is refused before anything changes.
  if (auto refused = refusedChoice(run, options.service)) return *refused;
  frmTlvAsService form(run);
  form.setUnattended(true);
  const bool serviceExisted = serviceMayExist(run.machine);  // asked before any batch file runs
  form.Form_Load();
  const Ending ending = form.mnuTolvane_Click();
  if (options.path && !ui.pathAsked() && !form.InstallFolder().empty()) {
    run.log.WriteLog({.level = logging::level::kNote,
                      .message = "/path " + *options.path,
                      .detail = "Not used, " + form.InstallFolder() + "Orbit-Tender.exe was found first",
                      .boxStyle = platform::mb::kIconInformation});
  }
  std::optional<Outcome> refused;
  if (ending.exitCode == ending::kReady.exitCode) {
    refused = applyChoices(run, options.service, form.InstallFolder());
    // Wine's manager drops the values it does not keep itself when it saves a changed
    // configuration: the description and the recovery actions are written again after.
    if (!refused && !form.ValidateTolvaneReg(form.InstallFolder())) refused = Outcome::of(
        ending::kNotComplete.exitCode, platform::eventtype::kError, std::string(ending::kNotComplete.status));
  }
  if ((refused || ending.exitCode != ending::kReady.exitCode) && !serviceExisted) removeHalfService(run, form);
  if (refused) return *refused;
  return Outcome::of(ending.exitCode,
                     ending.exitCode == ending::kReady.exitCode ? platform::eventtype::kInformation
                                                                : platform::eventtype::kError,
                     std::string(ending.status));
}

}  // namespace tlv::app
