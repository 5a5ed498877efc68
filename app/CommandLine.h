// Portable: the program's command line. Without arguments the program shows its window;
// "/quiet [/path <folder>] [/account <name>] [/datafolder <folder>] [/delayed] [/depend <service>]...
// [/privilege <name>]..." runs it unattended, "/verify [/minversion <version>]" checks the
// service, "/report <file>" writes a support report, "/health" tells whether the till takes
// payments (switches in any letter case, "-" also taken for "/").
#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "app/ReleaseVersion.h"

namespace tlv::app {

/// What /quiet is told of the service itself; what is not given stays as the service has it.
struct ServiceChoices {
  std::optional<std::string> account;     ///< /account, as typed: checked by the run
  std::optional<std::string> dataFolder;  ///< /datafolder: the account may change it
  bool delayed = false;                   ///< /delayed
  std::vector<std::string> dependencies;  ///< each /depend
  std::vector<std::string> privileges;    ///< each /privilege
  bool any() const { return account || dataFolder || delayed || !dependencies.empty() || !privileges.empty(); }
};

struct RunOptions {
  bool quiet = false;
  bool verify = false;
  bool health = false;
  /// The file given with /report.
  std::optional<std::string> report;
  /// The lowest release /verify accepts, given with /minversion.
  std::optional<ReleaseVersion> minimumVersion;
  /// The folder given with /path, as typed (a trailing backslash is optional).
  std::optional<std::string> path;
  ServiceChoices service;
  /// What is wrong with the command line; empty when nothing is.
  std::string error;

  /// A run that shows nothing: its outcome is its exit code, log line and event entry.
  bool unattended() const { return quiet || verify || health || report.has_value(); }
};

/// Splits a command line into arguments as the C runtime of Windows programs does: blanks
/// separate them, double quotes group, backslashes escape a quote only in front of one.
std::vector<std::string> splitCommandLine(std::string_view commandLine);

/// Reads the arguments (without the program's own name).
RunOptions parseArguments(const std::vector<std::string>& arguments);

/// The usage text of the command line, shown for a command line that is wrong.
std::string usageText();

}  // namespace tlv::app
