// Portable: from the service's Parameters values to the exact CreateProcess arguments, and what
// srvany's records say of the program it starts.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "platform/Result.h"
#include "tools/srvany/ProgramSettings.h"

namespace tlv::tools {

struct LaunchPlan {
  std::string applicationName;  ///< given to CreateProcess as the module: no search along the path
  std::string arguments;        ///< those after the path in Application, then AppParameters
  std::string startFolder;      ///< empty: srvany's own current folder

  /// The quoted path, then the arguments: for CreateProcess only, never for a record, since
  /// the arguments may hold a key or a password.
  [[nodiscard]] std::string commandLine() const;
};

/// Tells whether a path names an existing file (not a folder).
using FileExists = std::function<bool(const std::string& path)>;

/// An Application value as srvany starts it: the program, and the arguments written after it.
struct ApplicationParts {
  std::string program;  ///< empty when the value names no program srvany can start
  std::string arguments;
};

/// The one rule for Application, shared by srvany, the run and /verify. Blanks and tabs around
/// the path and one pair of quotes around it are dropped. An unquoted value that names no
/// existing file, but whose leading part up to ".exe" and a blank does, is that program
/// followed by its arguments. Anything else (a quote inside, as in `C:\Pay\X.exe" -x`) names
/// no program.
ApplicationParts applicationParts(std::string_view application, const FileExists& fileExists);

/// err::kInvalidData when Application names no program. Blanks and tabs around the path and
/// one pair of quotes around it are dropped. An unquoted Application that names no existing
/// file, but whose leading part up to ".exe" and a blank does, is that program followed by its
/// arguments, which go before AppParameters. The start folder defaults to the program's
/// folder, with its trailing backslash.
platform::Result<LaunchPlan> planLaunch(const ProgramSettings& settings, const FileExists& fileExists);

/// The two, with a blank between them when both are there: arguments as the command line has them.
std::string joinedArguments(std::string_view first, std::string_view second);

/// Where a program's path written with its arguments after it may end: just after the first
/// ".exe" (any case) at or after `from` that a blank or tab follows; npos when none does.
std::size_t programPathEnd(std::string_view application, std::size_t from = 0);

// What srvany's records say of the program it starts. Its arguments may hold a key or a
// password, and support staff pass the logs around: of them only their length shows.

/// "arguments: 19 characters, not shown", or "arguments: none": the one way every record
/// names a program's arguments.
std::string argumentsNotShown(std::string_view arguments);

/// An Application value as records show it: unchanged when it names a program alone, else its
/// path and of the arguments after it only their length.
std::string applicationShown(std::string_view application);

/// Event 100: the program's path, process id, arguments not shown and start folder.
std::string startedText(const LaunchPlan& plan, std::uint32_t processId);

/// Event 110 when CreateProcess fails, before its error text.
std::string cannotStartText(const LaunchPlan& plan);

/// Event 110 when Application names no program, before its error text.
std::string noProgramText(const std::string& parametersKey, const std::string& application);

}  // namespace tlv::tools
