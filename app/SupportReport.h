// Portable: "/report <file>": one plain-text file with what a support call about the till
// needs: this program, Windows, the service's checks and registry key, the files involved and
// the last lines of the logs. It changes nothing but the file it writes, and shows nothing.
#pragma once

#include <string>

#include "app/Outcome.h"
#include "app/RunContext.h"

namespace tlv::app {

/// The report's text, with CR LF line ends; a part that cannot be read says so in its place.
std::string supportReport(RunContext& run);

/// Writes the report (see ReportFile.h) and tells its outcome.
Outcome reportOutcome(RunContext& run, const std::string& reportFile);

}  // namespace tlv::app
