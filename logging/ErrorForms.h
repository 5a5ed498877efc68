// Portable: how a procedure handles its own failures. Each guarded procedure keeps its
// name (ProcName) and the step under way (Task) and names one of these forms; what the
// form writes to the log is fixed here.
#pragma once

#include <cstdint>
#include <string>

#include "logging/LoggingFunctions.h"
#include "logging/RunError.h"

namespace tlv::logging {

/// "FileHandling" + ":.CheckForFile!": the text that names a procedure in its log entries.
std::string procName(const std::string& module, const std::string& procedure);

inline constexpr char kStartFunction[] = "Start Function";
inline constexpr char kStartSub[] = "Start Sub";

/// Form A, count and stop: on a failing step the error is counted, the limit entry is
/// written (the limit is 0, so the first error is already over it) and the procedure
/// leaves with the result it had set so far.
class CountAndStop {
 public:
  CountAndStop(LoggingFunctions& log, const std::string& module, const std::string& procedure,
               std::string task = kStartFunction);
  /// Handles a failing step; the caller returns its current result afterwards.
  void fail(const RunError& error);

  std::string ProcName;
  std::string Task;
  std::int16_t ErrorCount = 0;
  std::int16_t MaxErrors = 0;

 private:
  LoggingFunctions& log_;
};

/// Form B, log and continue: every failing step writes one entry and the procedure goes on.
class LogAndContinue {
 public:
  LogAndContinue(LoggingFunctions& log, std::string fixedText, std::string task);
  void fail(const RunError& error);

  std::string Task;

 private:
  LoggingFunctions& log_;
  std::string fixedText_;
};

/// Form C, capture and continue: the error is captured, nothing is written, the procedure
/// goes on past the failing step.
class CaptureAndContinue {
 public:
  CaptureAndContinue(const std::string& module, const std::string& procedure, std::string task = kStartFunction);
  void fail(const RunError& error) { captured = error; }

  std::string ProcName;
  std::string Task;
  RunError captured;
};

}  // namespace tlv::logging
