// Portable: the unattended run ("/quiet"): the same steps as the window's run, with no window,
// box or prompt, its ending told by the exit code, one log line and one event-log entry.
#pragma once

#include <functional>
#include <optional>
#include <string>

#include "app/CommandLine.h"
#include "app/Endings.h"
#include "app/ToolDigests.h"
#include "logging/LoggingFunctions.h"
#include "platform/Platform.h"

namespace tlv::app {

/// The exit codes of an unattended run: one per ending, and two of its own.
namespace exitcode {
inline constexpr int kReady = ending::kReady.exitCode;
inline constexpr int kNotComplete = ending::kNotComplete.exitCode;
inline constexpr int kUnexpectedFailure = 7;   ///< "Unexpected failure": an error the run did not foresee
inline constexpr int kUsageError = 87;         ///< a wrong command line (ERROR_INVALID_PARAMETER)
}  // namespace exitcode

/// Writes an entry to the Application log; when the source could not be registered because
/// the program lies in a folder that others than administrators may change, the log says so.
void reportEvent(platform::Platform& machine, logging::LoggingFunctions& log, std::uint16_t type,
                 const std::string& text);

/// The outcome of /verify, /report or /health (`step`): its event-log entry
/// ("TlvAsService verify: <outcome>"), then its log line, which stays the run's last.
void reportOutcome(platform::Platform& machine, logging::LoggingFunctions& log, const std::string& step,
                   std::uint16_t eventType, const std::string& outcome);

/// The exit code of the run that ended with this status text.
int exitCodeOfEnding(const std::string& finalStatus);

/// A user interface that shows nothing: boxes are answered OK unseen, the install-folder
/// prompt is answered once with the /path folder and is "not shown" after that, so that the
/// run ends "InComplete" instead of asking forever. The window is never made.
class QuietUi final : public platform::Ui {
 public:
  QuietUi(platform::Ui& inner, std::optional<std::string> path) : inner_(inner), path_(std::move(path)) {}

  bool showModalWindow(const platform::WindowDesign&, platform::WindowEvents&) override { return false; }
  int messageBox(const std::string&, const std::string&, std::uint32_t) override { return platform::button::kOk; }
  platform::PromptAnswer inputBox(const std::string&, const std::string&, const std::string&) override;
  std::string programTitle() override { return inner_.programTitle(); }
  bool windowStationVisible() override { return false; }
  /// Whether the /path folder was asked for (Program Files did not hold the program).
  bool pathAsked() const { return pathAsked_; }

 private:
  platform::Ui& inner_;
  std::optional<std::string> path_;
  bool pathAsked_ = false;
};

/// Runs the service creation unattended on the machine and returns the exit code.
int runUnattended(platform::Platform& machine, const ToolDigests& tools, const RunOptions& options);

/// The machine as a run that shows nothing uses it: its ports, with `quietUi` for the UI.
platform::Platform quietPlatform(platform::Platform& machine, QuietUi& quietUi);

/// Runs a job that shows nothing (/verify, /report) on the quiet machine with its log writer.
/// An exception it throws ends it as "<name>:Unexpected failure: ... (exit code 7)" in its log
/// line and event entry, never in a box.
using QuietJob = std::function<int(platform::Platform& quiet, logging::LoggingFunctions& log)>;
int runQuietJob(platform::Platform& machine, const std::string& name, const QuietJob& job);

}  // namespace tlv::app
