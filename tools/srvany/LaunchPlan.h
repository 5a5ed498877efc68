// Win32 only: from the service's Parameters values to the exact CreateProcess arguments.
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

/// ERROR_INVALID_DATA when Application names no program. Blanks around the path and one
/// pair of quotes around it are dropped; the start folder defaults to the program's folder.
platform::Result<LaunchPlan> planLaunch(const ProgramSettings& settings);

/// The folder part of a path with its trailing backslash ("C:\a\b.exe" gives "C:\a\");
/// empty when the path names no folder.
std::string folderOf(const std::string& path);

}  // namespace tlv::tools
