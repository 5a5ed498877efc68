// Portable: the unattended run.
#include "app/UnattendedRun.h"

#include <cctype>
#include <exception>
#include <utility>

#include "app/ServiceRegistryKeys.h"
#include "app/frmTlvAsService.h"
#include "environment/jclass_WinEnviron.h"
#include "logging/LoggingFunctions.h"

namespace tlv::app {

namespace {

// The one line a run that shows nothing leaves, in the log and in the Application event log.
void reportEnding(platform::Platform& machine, logging::LoggingFunctions& log, const std::string& ending, int code,
                  const std::string& name = "Unattended run") {
  const std::string detail = ending + " (exit code " + std::to_string(code) + ")";
  const std::uint16_t type = code == exitcode::kReady ? platform::eventtype::kInformation : platform::eventtype::kError;
  // The entry first, so that the ending stays the log's last line also when the entry's
  // source is noted as not registered.
  std::string event = name;  // "Unattended run" as "unattended run", the event text's form
  event[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(event[0])));
  reportEvent(machine, log, type, "TlvAsService " + event + ": " + detail);
  log.WriteLog({.level = logging::level::kNote,
                .message = name,
                .detail = detail,
                .boxStyle = logging::box::kInformation});
}

// Whether the service exists; also true when the manager cannot tell, so that a service is
// never taken for this run's own without proof.
bool serviceMayExist(platform::Platform& quiet) {
  return quiet.services.configuration(kServiceName).error != platform::err::kServiceDoesNotExist;
}

void logServiceNote(logging::LoggingFunctions& log, const std::string& detail) {
  log.WriteLog({.level = logging::level::kNote,
                .message = std::string("Service ") + kServiceName,
                .detail = detail,
                .boxStyle = logging::box::kInformation});
}

// Nobody runs an unattended run again: a service it created and could not complete would be
// left automatic without its program, failing at every start of Windows. It goes once the
// batch file's interpreter is over, so that its instsrv cannot create it again after.
void removeHalfService(platform::Platform& quiet, logging::LoggingFunctions& log, frmTlvAsService& form) {
  if (form.finishBatchRun() == frmTlvAsService::BatchRunEnd::kStillRunning) {
    return logServiceNote(log, "Not removed: the batch file's command interpreter could not be ended");
  }
  if (!serviceMayExist(quiet)) return;
  const platform::Win32Error error = quiet.services.deleteService(kServiceName);
  logServiceNote(log, error == platform::err::kSuccess
                          ? "Removed: this run created it and could not complete it"
                          : "Not removed (error " + std::to_string(error) + "): this run created it and could not complete it");
}

int runQuietly(platform::Platform& quiet, const QuietUi& quietUi, logging::LoggingFunctions& log,
               const ToolDigests& tools, const RunOptions& options) {
  environment::jclass_WinEnviron gWinEnviron(quiet, log);
  frmTlvAsService form(quiet, log, gWinEnviron, tools);
  form.setUnattended(true);
  const bool serviceExisted = serviceMayExist(quiet);  // asked before any batch file runs
  form.Form_Load();
  form.mnuTolvane_Click();
  if (options.path && !quietUi.pathAsked() && !form.InstallFolder().empty()) {
    log.WriteLog({.level = logging::level::kNote,
                  .message = "/path " + *options.path,
                  .detail = "Not used, " + form.InstallFolder() + "Orbit-Tender.exe was found first",
                  .boxStyle = logging::box::kInformation});
  }
  const int code = exitCodeOfEnding(form.Status());
  if (code != exitcode::kReady && !serviceExisted) removeHalfService(quiet, log, form);
  reportEnding(quiet, log, form.Status(), code);
  return code;
}

// An error no step foresaw: told like every other ending, with an exit code of its own, so
// that it is never read as one of theirs.
int unexpectedEnding(platform::Platform& quiet, logging::LoggingFunctions& log, const std::string& what,
                     const std::string& name = "Unattended run") {
  log.WriteLog({.level = logging::level::kError,
                .message = what,
                .detail = "Unexpected failure",
                .boxStyle = logging::box::kInformation});
  reportEnding(quiet, log, "Unexpected failure: " + what, exitcode::kUnexpectedFailure, name);
  return exitcode::kUnexpectedFailure;
}

}  // namespace

void reportEvent(platform::Platform& machine, logging::LoggingFunctions& log, std::uint16_t type,
                 const std::string& text) {
  // Any other lost entry changes nothing of the run: the exit code and the log still tell.
  if (machine.eventLog.report(type, text) != platform::err::kMessageFileUnprotected) return;
  log.WriteLog({.level = logging::level::kNote,
                .message = "Event source TlvAsService",
                .detail = "Not registered: the program is not in a folder only administrators can change",
                .boxStyle = logging::box::kInformation});
}

void reportOutcome(platform::Platform& machine, logging::LoggingFunctions& log, const std::string& step,
                   std::uint16_t eventType, const std::string& outcome) {
  std::string command = step;
  for (char& c : command) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  reportEvent(machine, log, eventType, "TlvAsService " + command + ": " + outcome);
  log.WriteLog({.level = logging::level::kNote, .message = step, .detail = outcome, .boxStyle = logging::box::kInformation});
}

int exitCodeOfEnding(const std::string& finalStatus) {
  for (const Ending& ending : ending::kAll) {
    if (finalStatus == ending.status) return ending.exitCode;
  }
  // Every ending sets one of the statuses above; a run that stopped anywhere else did not
  // make the service ready, and is reported as not complete rather than as success.
  return exitcode::kNotComplete;
}

platform::PromptAnswer QuietUi::inputBox(const std::string&, const std::string&, const std::string&) {
  pathAsked_ = true;
  if (!path_) return {platform::PromptAnswer::Kind::NotShown, {}};
  return {platform::PromptAnswer::Kind::Ok, *std::exchange(path_, std::nullopt)};
}

platform::Platform quietPlatform(platform::Platform& machine, QuietUi& quietUi) {
  return {machine.files,    machine.clock,      machine.environment, quietUi,         machine.process,
          machine.systemInfo, machine.registry, machine.eventLog,    machine.hashing, machine.services};
}

int runQuietJob(platform::Platform& machine, const std::string& name, const QuietJob& job) {
  QuietUi quietUi(machine.ui, std::nullopt);
  platform::Platform quiet = quietPlatform(machine, quietUi);
  logging::LoggingFunctions log(quiet);
  try {
    return job(quiet, log);
  } catch (const std::exception& e) {
    return unexpectedEnding(quiet, log, e.what(), name);
  } catch (...) {
    return unexpectedEnding(quiet, log, "an unknown error", name);
  }
}

int runUnattended(platform::Platform& machine, const ToolDigests& tools, const RunOptions& options) {
  QuietUi quietUi(machine.ui, options.path);
  platform::Platform quiet = quietPlatform(machine, quietUi);
  logging::LoggingFunctions log(quiet);
  if (!options.error.empty()) {
    reportEnding(quiet, log, "Usage error: " + options.error, exitcode::kUsageError);
    return exitcode::kUsageError;
  }
  try {
    return runQuietly(quiet, quietUi, log, tools, options);
  } catch (const std::exception& e) {
    return unexpectedEnding(quiet, log, e.what());
  } catch (...) {
    return unexpectedEnding(quiet, log, "an unknown error");
  }
}

}  // namespace tlv::app
