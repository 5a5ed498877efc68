// Portable: a run that shows nothing (/quiet, /verify, /report, /health, or a wrong command
// line nobody would see): its quiet machine, its one log writer and environment object, the
// job the command line names, and the one presentation of its outcome: the exit code, one
// event-log entry and one log line, the run's last.
#pragma once

#include <optional>
#include <string>

#include "app/CommandLine.h"
#include "app/Outcome.h"
#include "app/ToolDigests.h"
#include "logging/LoggingFunctions.h"
#include "platform/Platform.h"

namespace tlv::app {

/// The exit code of a wrong command line (ERROR_INVALID_PARAMETER).
inline constexpr int kUsageErrorCode = 87;

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

/// Writes an entry to the Application log; when the source could not be registered because
/// the program lies in a folder that others than administrators may change, the log says so.
void reportEvent(platform::Platform& machine, logging::LoggingFunctions& log, std::uint16_t type,
                 const std::string& text);

/// Runs what the command line asks for without showing anything and returns its exit code.
/// An exception a job throws ends it as "<name>:Unexpected failure: ... (exit code 7)" in its
/// log line and event entry, never in a box anyone sees.
int runShowingNothing(platform::Platform& machine, const ToolDigests& tools, const RunOptions& options);

}  // namespace tlv::app
