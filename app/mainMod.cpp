// Portable: the program's entry routine.
#include "app/mainMod.h"

#include <exception>

#include "app/CommandLine.h"
#include "app/Outcome.h"
#include "app/QuietRun.h"
#include "app/RunContext.h"
#include "app/frmTlvAsService.h"
#include "environment/jclass_WinEnviron.h"

namespace tlv::app {

int mainMod::Main(std::string_view commandLine) {
  // A run that shows nothing catches its own; this is a window run's, before or after its window.
  try {
    return run(commandLine);
  } catch (const std::exception& e) {
    return unexpectedFailure(log_, e.what()).exitCode;
  } catch (...) {
    return unexpectedFailure(log_, "an unknown error").exitCode;
  }
}

int mainMod::run(std::string_view commandLine) {
  const RunOptions options = parseArguments(splitCommandLine(commandLine));
  // Nobody would see the usage box on a service's window station, and the process that
  // started this one would wait for ever: the wrong line is told as an unattended run tells it.
  if (options.unattended() || (!options.error.empty() && !platform_.ui.windowStationVisible())) {
    return runShowingNothing(platform_, tools_, options);
  }
  if (!options.error.empty()) {
    platform_.ui.messageBox(options.error + "\r\n\r\n" + usageText(), platform_.ui.programTitle(),
                            platform::mb::kIconCritical);
    return kUsageErrorCode;
  }
  environment::jclass_WinEnviron environment(platform_, log_);
  RunContext runContext{platform_, log_, environment, tools_};
  frmTlvAsService form(runContext);
  if (!platform_.ui.showModalWindow(frmTlvAsService::Design(), form)) {
    platform_.ui.messageBox("The window of the program could not be created.", platform_.ui.programTitle(),
                            platform::mb::kIconCritical);
    return 1;
  }
  return 0;
}

}  // namespace tlv::app
