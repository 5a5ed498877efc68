// Portable: from the service's Parameters values to the exact CreateProcess arguments.
#include "tools/srvany/LaunchPlan.h"

#include "platform/WindowsPath.h"

namespace tlv::tools {
namespace {

using platform::trimBlanksAndTabs;

std::string unquoted(const std::string& path) {
  if (path.size() >= 2 && path.front() == '"' && path.back() == '"') {
    return trimBlanksAndTabs(std::string_view(path).substr(1, path.size() - 2));
  }
  return path;
}

}  // namespace

platform::Result<LaunchPlan> planLaunch(const ProgramSettings& settings) {
  LaunchPlan plan;
  plan.applicationName = unquoted(trimBlanksAndTabs(settings.application));
  // A quote left inside would end the quoted path early in the command line.
  if (plan.applicationName.empty() || plan.applicationName.find('"') != std::string::npos) {
    return platform::Result<LaunchPlan>::failure(platform::err::kInvalidData);
  }
  // The program sees its own path quoted as its first argument, as if started from a shell.
  plan.commandLine = "\"" + plan.applicationName + "\"";
  const std::string parameters = trimBlanksAndTabs(settings.appParameters);
  if (!parameters.empty()) plan.commandLine += " " + parameters;
  const std::string directory = unquoted(trimBlanksAndTabs(settings.appDirectory));
  plan.startFolder = directory.empty() ? platform::folderOfPathWithSeparator(plan.applicationName) : directory;
  return platform::Result<LaunchPlan>::success(plan);
}

}  // namespace tlv::tools
