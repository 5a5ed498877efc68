// Portable: a run that shows nothing, from its quiet machine to its presented outcome.
#include "app/QuietRun.h"

#include <cctype>
#include <exception>
#include <utility>

#include "app/RunContext.h"
#include "app/ServiceHealth.h"
#include "app/ServiceVerify.h"
#include "app/SupportReport.h"
#include "app/UnattendedRun.h"
#include "environment/jclass_WinEnviron.h"

namespace tlv::app {

namespace {

// The entry first, so that the outcome stays the log's last line also when the entry's source
// is noted as not registered.
void present(platform::Platform& quiet, logging::LoggingFunctions& log, const std::string& name,
             const Outcome& outcome) {
  std::string command = name;  // "Unattended run" as "unattended run", the event text's form
  for (char& c : command) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  reportEvent(quiet, log, outcome.eventType, "TlvAsService " + command + ": " + outcome.text);
  log.WriteLog({.level = logging::level::kNote, .message = name, .detail = outcome.text,
                .boxStyle = platform::mb::kIconInformation});
}

// The job the command line names, and the name its outcome is presented under.
struct Job {
  const char* name;
  Outcome (*run)(RunContext& run, const QuietUi& ui, const RunOptions& options);
};

Job jobFor(const RunOptions& options) {
  if (!options.error.empty()) {
    return {"Unattended run", [](RunContext&, const QuietUi&, const RunOptions& o) {
              return Outcome::of(kUsageErrorCode, platform::eventtype::kError, "Usage error: " + o.error);
            }};
  }
  if (options.verify) {
    return {"Verify", [](RunContext& r, const QuietUi&, const RunOptions& o) {
              return verifyOutcome(r, o.minimumVersion);
            }};
  }
  if (options.report) {
    return {"Report", [](RunContext& r, const QuietUi&, const RunOptions& o) { return reportOutcome(r, *o.report); }};
  }
  if (options.health) {
    return {"Health", [](RunContext& r, const QuietUi&, const RunOptions&) { return healthOutcome(r); }};
  }
  return {"Unattended run", runUnattended};
}

}  // namespace

void reportEvent(platform::Platform& machine, logging::LoggingFunctions& log, std::uint16_t type,
                 const std::string& text) {
  // Any other lost entry changes nothing of the run: the exit code and the log still tell.
  if (machine.eventLog.report(type, text) != platform::err::kMessageFileUnprotected) return;
  log.WriteLog({.level = logging::level::kNote,
                .message = "Event source TlvAsService",
                .detail = "Not registered: the program is not in a folder only administrators can change",
                .boxStyle = platform::mb::kIconInformation});
}

platform::PromptAnswer QuietUi::inputBox(const std::string&, const std::string&, const std::string&) {
  pathAsked_ = true;
  if (!path_) return {platform::PromptAnswer::Kind::NotShown, {}};
  return {platform::PromptAnswer::Kind::Ok, *std::exchange(path_, std::nullopt)};
}

int runShowingNothing(platform::Platform& machine, const ToolDigests& tools, const RunOptions& options) {
  QuietUi quietUi(machine.ui, options.path);
  platform::Platform quiet{machine.files,      machine.clock,    machine.environment, quietUi,
                           machine.process,    machine.systemInfo, machine.registry,  machine.eventLog,
                           machine.hashing,    machine.services};
  logging::LoggingFunctions log(quiet);
  environment::jclass_WinEnviron environment(quiet, log);
  RunContext run{quiet, log, environment, tools};
  const Job job = jobFor(options);
  Outcome outcome;
  try {
    outcome = job.run(run, quietUi, options);
  } catch (const std::exception& e) {
    outcome = unexpectedFailure(log, e.what());
  } catch (...) {
    outcome = unexpectedFailure(log, "an unknown error");
  }
  present(quiet, log, job.name, outcome);
  return outcome.exitCode;
}

}  // namespace tlv::app
