// Portable: "/report <file>": one plain-text file with what a support call about the till
// needs: this program, Windows, the service's checks and registry key, the files involved and
// the last lines of the logs. It changes nothing but the file it writes, and shows nothing.
#pragma once

#include <string>

#include "app/ToolDigests.h"
#include "platform/Platform.h"

namespace tlv::app {

/// The report's text, with CR LF line ends; a part that cannot be read says so in its place.
std::string supportReport(platform::Platform& machine, const ToolDigests& tools);

/// Writes the report (see ReportFile.h): its exit code, one log line and one event-log
/// entry either way.
int runReport(platform::Platform& machine, const ToolDigests& tools, const std::string& reportFile);

}  // namespace tlv::app
