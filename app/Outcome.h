// Portable: how a run that shows nothing ends (/quiet, /verify, /report, /health): the value
// its step returns, which the run presents once, as its exit code, its event-log entry and its
// log line, the run's last.
#pragma once

#include <cstdint>
#include <string>

#include "logging/LoggingFunctions.h"
#include "platform/EventLog.h"

namespace tlv::app {

struct Outcome {
  int exitCode = 0;
  std::uint16_t eventType = platform::eventtype::kInformation;
  std::string text;  ///< what ended it, "(exit code N)" and what was found: the log line's detail

  /// `what`, then "(exit code N)", then ": found" when something was.
  static Outcome of(int exitCode, std::uint16_t eventType, const std::string& what, const std::string& found = {}) {
    return {exitCode, eventType,
            what + " (exit code " + std::to_string(exitCode) + ")" + (found.empty() ? "" : ": " + found)};
  }
};

/// The exit code of an error no step foresaw, whichever way the program runs.
inline constexpr int kUnexpectedFailureCode = 7;

/// An error no step foresaw: logged and shown in a box (which a run that shows nothing answers
/// unseen), and its outcome, with an exit code of its own so that it is never read as a step's.
Outcome unexpectedFailure(logging::LoggingFunctions& log, const std::string& what);

}  // namespace tlv::app
