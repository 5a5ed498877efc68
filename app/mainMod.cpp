// Portable: the program's entry routine.
#include "app/mainMod.h"

#include "app/CommandLine.h"
#include "app/UnattendedRun.h"
#include "app/frmTlvAsService.h"

namespace tlv::app {

int mainMod::Main(std::string_view commandLine) {
  const RunOptions options = parseArguments(splitCommandLine(commandLine));
  if (options.quiet) return runUnattended(platform_, tools_, options);
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
