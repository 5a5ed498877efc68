// Portable: what srvany's records say of the program it starts, never its arguments.
#include "tools/srvany/LaunchTexts.h"

#include "platform/WindowsPath.h"

namespace tlv::tools {
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
