// Win32 only: from the service's Parameters values to the exact CreateProcess arguments.
#include "tools/srvany/LaunchPlan.h"

#include "platform/win32/Win32Support.h"

namespace tlv::tools {
namespace {

std::string trimmed(const std::string& text) {
  const auto first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  const auto last = text.find_last_not_of(" \t");
  return text.substr(first, last - first + 1);
}

std::string unquoted(const std::string& path) {
  if (path.size() >= 2 && path.front() == '"' && path.back() == '"') return trimmed(path.substr(1, path.size() - 2));
  return path;
}

}  // namespace

platform::Result<LaunchPlan> planLaunch(const ProgramSettings& settings) {
  LaunchPlan plan;
  plan.applicationName = unquoted(trimmed(settings.application));
  // A quote left inside would end the quoted path early in the command line.
  if (plan.applicationName.empty() || plan.applicationName.find('"') != std::string::npos) {
    return platform::Result<LaunchPlan>::failure(ERROR_INVALID_DATA);
  }
  // The program sees its own path quoted as its first argument, as if started from a shell.
  plan.commandLine = "\"" + plan.applicationName + "\"";
  const std::string parameters = trimmed(settings.appParameters);
  if (!parameters.empty()) plan.commandLine += " " + parameters;
  const std::string directory = unquoted(trimmed(settings.appDirectory));
  plan.startFolder = directory.empty() ? folderOf(plan.applicationName) : directory;
  return platform::Result<LaunchPlan>::success(plan);
}

std::string folderOf(const std::string& path) {
  const auto separator = path.find_last_of("\\/");
  if (separator == std::string::npos) return {};
  return path.substr(0, separator + 1);
}

}  // namespace tlv::tools
