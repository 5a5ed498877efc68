// Win32 only: reads what srvany is to start from the service's Parameters key.
#pragma once

#include <string>

#include "platform/Result.h"
#include "tools/srvany/LaunchPlan.h"
#include "tools/srvany/TextLog.h"

namespace tlv::tools {

/// Application is required (ERROR_FILE_NOT_FOUND when it or the key is missing,
/// ERROR_INVALID_DATA when it is not a string); AppParameters, AppDirectory,
/// HangRestartSeconds and BoxRestartMinutes may be missing.
platform::Result<ProgramSettings> readProgramSettings(const std::string& serviceName);

/// LogKeepMonths and LogLimitMB, each as default when missing or 0; a value of another type is
/// added to `problem` and read as default.
LogLimits readLogLimits(const std::string& serviceName, std::string& problem);

}  // namespace tlv::tools
