// Portable: the folders the elevated run writes, registers and runs in. They come from the
// system, never from the environment, which whoever started the run may have set.
#pragma once

#include <optional>
#include <string>

#include "logging/LoggingFunctions.h"
#include "platform/Platform.h"

namespace tlv::app {

struct SystemFolders {
  std::string windows;  ///< the Windows folder, with a trailing backslash
  std::string system;   ///< the system folder (System32), with a trailing backslash
};

/// The system's folders; nullopt when the system cannot name them. Where the environment's
/// Windows folder (`fromEnvironment`, as the environment class reports it) is another one,
/// the log names both.
std::optional<SystemFolders> systemFolders(platform::Platform& machine, logging::LoggingFunctions& log,
                                           const std::string& fromEnvironment);

/// The Windows folder checks and reports look in: the system's, or where the system cannot
/// name it, the environment's.
std::string checkedWindowsFolder(platform::Platform& machine, logging::LoggingFunctions& log,
                                 const std::string& fromEnvironment);

/// How the batch file's command interpreter is started: the system folder's cmd.exe by its
/// full path, without AutoRun commands (/d), in the Windows folder (so that its drive is the
/// Windows drive), with a whole environment of its own: nothing a user set reaches it.
platform::BatchLaunch batchLaunch(const std::string& batchFile, const SystemFolders& folders);

}  // namespace tlv::app
