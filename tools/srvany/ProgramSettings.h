// Portable: what srvany is to start and how much its log keeps, as the service's Parameters key
// holds them; the key is read on Windows only (ProgramSettings.cpp).
#pragma once

#include <cstdint>
#include <string>

#include "platform/Result.h"
#include "tools/srvany/TextLog.h"

namespace tlv::tools {

/// The values under the service's Parameters key, as read (environment variables expanded).
struct ProgramSettings {
  std::string application;    ///< Application: the program to start (required)
  std::string appParameters;  ///< AppParameters: its arguments (optional)
  std::string appDirectory;   ///< AppDirectory: its start folder (optional)
  std::uint32_t hangRestartSeconds = 0;  ///< HangRestartSeconds (REG_DWORD): 0 never ends a hung program
  std::uint32_t boxRestartMinutes = 0;   ///< BoxRestartMinutes (REG_DWORD): 0 never ends one for a box
  std::string problem;        ///< the values that are there but cannot be used, for the record
};

/// Application is required (ERROR_FILE_NOT_FOUND when it or the key is missing,
/// ERROR_INVALID_DATA when it is not a string); AppParameters, AppDirectory,
/// HangRestartSeconds and BoxRestartMinutes may be missing.
platform::Result<ProgramSettings> readProgramSettings(const std::string& serviceName);

/// LogKeepMonths and LogLimitMB, each as default when missing or 0; a value of another type is
/// added to `problem` and read as default.
LogLimits readLogLimits(const std::string& serviceName, std::string& problem);

}  // namespace tlv::tools
