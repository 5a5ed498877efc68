// Portable: the program's entry routine.
#include "app/mainMod.h"

#include <exception>

#include "app/CommandLine.h"
#include "app/ServiceHealth.h"
#include "app/ServiceVerify.h"
#include "app/SupportReport.h"
#include "app/UnattendedRun.h"
#include "app/frmTlvAsService.h"

namespace tlv::app {

int mainMod::Main(std::string_view commandLine) {
  try {
    return run(commandLine);
  } catch (const std::exception& e) {
    return unexpectedFailure(e.what());
  } catch (...) {
    return unexpectedFailure("an unknown error");
  }
}

int mainMod::unexpectedFailure(const std::string& what) {
  // The unattended run tells its own; this is a window run's, before or after its window.
  log_.WriteLog({.level = logging::level::kShowBox,
                 .message = what,
                 .detail = "Unexpected failure",
                 .boxStyle = logging::box::kInformation});
  return exitcode::kUnexpectedFailure;
}

int mainMod::run(std::string_view commandLine) {
  const RunOptions options = parseArguments(splitCommandLine(commandLine));
  // Nobody would see the usage box on a service's window station, and the process that
  // started this one would wait for ever: the wrong line is told as an unattended run tells it.
  if (options.error.empty() && options.verify) return runVerify(platform_, tools_, options.minimumVersion);
  if (options.error.empty() && options.report) return runReport(platform_, tools_, *options.report);
  if (options.error.empty() && options.health) return runHealth(platform_);
  if (options.unattended() || (!options.error.empty() && !platform_.ui.windowStationVisible())) {
    return runUnattended(platform_, tools_, options);
  }
  if (!options.error.empty()) {
    platform_.ui.messageBox(options.error + "\r\n\r\n" + usageText(), platform_.ui.programTitle(),
                            platform::mb::kIconCritical);
    return exitcode::kUsageError;
  }
  gWinEnviron = std::make_unique<environment::jclass_WinEnviron>(platform_, log_);
  frmTlvAsService form(platform_, log_, *gWinEnviron, tools_);
  if (!platform_.ui.showModalWindow(frmTlvAsService::Design(), form)) {
    platform_.ui.messageBox("The window of the program could not be created.", platform_.ui.programTitle(),
                            platform::mb::kIconCritical);
    return 1;
  }
  return 0;
}

}  // namespace tlv::app
