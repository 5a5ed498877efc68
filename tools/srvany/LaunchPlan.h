// Portable: from the service's Parameters values to the exact CreateProcess arguments.
#pragma once

#include <string>

#include "platform/Result.h"

namespace tlv::tools {

/// The values under the service's Parameters key, as read (environment variables expanded).
struct ProgramSettings {
  std::string application;    ///< Application: the program to start (required)
  std::string appParameters;  ///< AppParameters: its arguments (optional)
  std::string appDirectory;   ///< AppDirectory: its start folder (optional)
};

struct LaunchPlan {
  std::string applicationName;  ///< given to CreateProcess as the module: no search along the path
  std::string commandLine;      ///< the quoted path, then the arguments
  std::string startFolder;      ///< empty: srvany's own current folder
};

/// err::kInvalidData when Application names no program. Blanks and tabs around the path and
/// one pair of quotes around it are dropped; the start folder defaults to the program's folder,
/// with its trailing backslash.
platform::Result<LaunchPlan> planLaunch(const ProgramSettings& settings);

}  // namespace tlv::tools
