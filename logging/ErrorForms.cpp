// Portable: the error-handling forms and the entries they write.
#include "logging/ErrorForms.h"

namespace tlv::logging {

std::string procName(const std::string& module, const std::string& procedure) {
  return module + ":." + procedure + "!";
}

CountAndStop::CountAndStop(LoggingFunctions& log, const std::string& module, const std::string& procedure, std::string task)
    : ProcName(procName(module, procedure)), Task(std::move(task)), log_(log) {}

void CountAndStop::fail(const RunError& error) {
  ++ErrorCount;
  if (ErrorCount <= MaxErrors) return;
  log_.WriteLog({.level = level::kError,
                 .message = ProcName + error.source + " ERROR#:=" + std::to_string(error.number),
                 .detail = "REACHED_MAX_ERRORS:=" + error.description,
                 .delimiter = "<",
                 .extras = {std::to_string(ErrorCount) + " Thrown", std::to_string(MaxErrors) + " Max", "Task:=", Task, "@@"},
                 .boxStyle = platform::mb::kIconInformation});
}

LogAndContinue::LogAndContinue(LoggingFunctions& log, std::string fixedText, std::string task)
    : Task(std::move(task)), log_(log), fixedText_(std::move(fixedText)) {}

void LogAndContinue::fail(const RunError& error) {
  log_.WriteLog({.level = level::kError,
                 .message = fixedText_ + std::to_string(error.number),
                 .detail = error.description,
                 .delimiter = "<",
                 .extras = {"Task", Task, "@@"},
                 .boxStyle = platform::mb::kIconInformation});
}

CaptureAndContinue::CaptureAndContinue(const std::string& module, const std::string& procedure, std::string task)
    : ProcName(procName(module, procedure)), Task(std::move(task)) {}

}  // namespace tlv::logging
