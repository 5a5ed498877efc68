// Portable: instsrv's command line, parsed into the one command it asks for.
#include "tools/instsrv/InstsrvArguments.h"

#include <cctype>

#include "platform/WindowsPath.h"

namespace tlv::tools {
namespace {

bool isSeparator(char c) { return c == '\\' || c == '/'; }

}  // namespace

std::optional<InstsrvCommand> parseInstsrvArguments(int argc, const char* const* argv) {
  if (argc != 3) return std::nullopt;
  InstsrvCommand command;
  command.serviceName = argv[1];
  const std::string second = argv[2];
  // The manager refuses names with slashes itself, but only after the usage text would help.
  if (command.serviceName.empty() || command.serviceName.find_first_of("\\/") != std::string::npos) {
    return std::nullopt;
  }
  if (platform::equalsNoCase(second, "REMOVE")) {
    command.kind = InstsrvCommand::Kind::Remove;
    return command;
  }
  if (!isFullPath(second)) return std::nullopt;
  command.programPath = second;
  return command;
}

bool isFullPath(const std::string& path) {
  if (path.find('"') != std::string::npos) return false;
  const bool drivePath =
      path.size() > 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' && isSeparator(path[2]);
  const bool uncPath = path.size() > 2 && isSeparator(path[0]) && isSeparator(path[1]) && !isSeparator(path[2]);
  return drivePath || uncPath;
}

std::string serviceBinaryPath(const std::string& programPath) {
  if (programPath.find_first_of(" \t") == std::string::npos) return programPath;
  return "\"" + programPath + "\"";
}

const char* instsrvUsage() {
  return "usage: instsrv <service name> <full path of the service program>\n"
         "         creates the service: own process, automatic start, local system account\n"
         "       instsrv <service name> REMOVE\n"
         "         stops the service when it runs, then deletes it\n";
}

}  // namespace tlv::tools
