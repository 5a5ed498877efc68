// Portable: from the service's Parameters values to the exact CreateProcess arguments, and what
// srvany's records say of the program it starts, never its arguments.
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

struct ProgramAndArguments {
  std::string program;
  std::string arguments;
};

// "C:\Apps\OT\Orbit-Tender.exe C:\arg.txt": the value of a service made by hand with its
// arguments in Application. Only a part that ends in ".exe" and names an existing file is taken
// for the program, the shortest first; a value that names a file as a whole is never split, so a
// planted "C:\Program.exe" never stands for "C:\Program Files\...".
ProgramAndArguments splitAtProgram(const std::string& application, const FileExists& fileExists) {
  if (application.empty() || application.front() == '"' || fileExists(application)) return {application, {}};
  for (std::size_t end = programPathEnd(application); end != std::string::npos;
       end = programPathEnd(application, end)) {
    const std::string program = application.substr(0, end);
    if (fileExists(program)) return {program, trimBlanksAndTabs(std::string_view(application).substr(end))};
  }
  return {application, {}};
}

}  // namespace

ApplicationParts applicationParts(std::string_view application, const FileExists& fileExists) {
  const auto [program, arguments] = splitAtProgram(trimBlanksAndTabs(application), fileExists);
  ApplicationParts parts{unquoted(program), arguments};
  // A quote left inside would end the quoted path early in the command line.
  if (parts.program.find('"') != std::string::npos) parts.program.clear();
  return parts;
}

platform::Result<LaunchPlan> planLaunch(const ProgramSettings& settings, const FileExists& fileExists) {
  LaunchPlan plan;
  const ApplicationParts parts = applicationParts(settings.application, fileExists);
  plan.applicationName = parts.program;
  if (plan.applicationName.empty()) return platform::Result<LaunchPlan>::failure(platform::err::kInvalidData);
  plan.arguments = joinedArguments(parts.arguments, trimBlanksAndTabs(settings.appParameters));
  const std::string directory = unquoted(trimBlanksAndTabs(settings.appDirectory));
  plan.startFolder = directory.empty() ? platform::folderOfPathWithSeparator(plan.applicationName) : directory;
  return platform::Result<LaunchPlan>::success(plan);
}

// The program sees its own path quoted as its first argument, as if started from a shell.
std::string LaunchPlan::commandLine() const {
  return joinedArguments("\"" + applicationName + "\"", arguments);
}

std::string joinedArguments(std::string_view first, std::string_view second) {
  if (first.empty() || second.empty()) return std::string(first.empty() ? second : first);
  return std::string(first) + " " + std::string(second);
}

std::size_t programPathEnd(std::string_view application, std::size_t from) {
  for (std::size_t at = platform::findNoCase(application, ".exe", from); at != std::string::npos;
       at = platform::findNoCase(application, ".exe", at + 1)) {
    const std::size_t end = at + 4;
    if (end < application.size() && (application[end] == ' ' || application[end] == '\t')) return end;
  }
  return std::string::npos;
}

// What srvany's records say of the program: never its arguments.

namespace {

std::string quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

struct PathAndArguments {
  std::string path;
  std::string arguments;
};

// A path that named no program may still hold its arguments, as in `C:\Pay\Missing.exe --key x`
// or `"C:\Pay\Orbit-Tender.exe" --key x`. It is cut after its quotes, else after its first
// ".exe" and a blank: a path with ".exe " inside shows shortened, rather than a key showing.
PathAndArguments cutAtArguments(std::string_view value) {
  std::string text = platform::trimBlanksAndTabs(value);
  const bool quotedPath = !text.empty() && text.front() == '"';
  if (quotedPath) text.erase(0, 1);
  std::size_t end = quotedPath ? text.find('"') : std::string::npos;
  const bool closed = end != std::string::npos;
  if (!closed) end = programPathEnd(text);
  if (end == std::string::npos) return {text, {}};
  return {text.substr(0, end), platform::trimBlanksAndTabs(std::string_view(text).substr(closed ? end + 1 : end))};
}

std::string shownPath(std::string_view value, std::string_view moreArguments) {
  const PathAndArguments cut = cutAtArguments(value);
  return quoted(cut.path) + " (" + argumentsNotShown(joinedArguments(cut.arguments, moreArguments)) + ")";
}

}  // namespace

std::string argumentsNotShown(std::string_view arguments) {
  if (arguments.empty()) return "arguments: none";
  return "arguments: " + std::to_string(arguments.size()) + " characters, not shown";
}

std::string applicationShown(std::string_view application) {
  const PathAndArguments cut = cutAtArguments(application);
  return cut.arguments.empty() ? std::string(application) : cut.path + " (" + argumentsNotShown(cut.arguments) + ")";
}

std::string startedText(const LaunchPlan& plan, std::uint32_t processId) {
  return "Started " + quoted(plan.applicationName) + " as process " + std::to_string(processId) + ", " +
         argumentsNotShown(plan.arguments) + ", start folder: " + quoted(plan.startFolder);
}

std::string cannotStartText(const LaunchPlan& plan) {
  return "Cannot start " + shownPath(plan.applicationName, plan.arguments);
}

std::string noProgramText(const std::string& parametersKey, const std::string& application) {
  return "The value Application under " + parametersKey + " names no program: " + shownPath(application, {});
}

}  // namespace tlv::tools
