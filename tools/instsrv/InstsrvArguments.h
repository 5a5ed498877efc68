// Portable: instsrv's command line, parsed into the one command it asks for.
#pragma once

#include <optional>
#include <string>

namespace tlv::tools {

struct InstsrvCommand {
  enum class Kind { Install, Remove };
  Kind kind = Kind::Install;
  std::string serviceName;
  std::string programPath;  ///< empty for Remove
};

/// `<service name> <full path of the service program>` or `<service name> REMOVE` (any case);
/// nothing for anything else, so the caller prints the usage text.
std::optional<InstsrvCommand> parseInstsrvArguments(int argc, const char* const* argv);

/// A drive path ("C:\...") or a UNC path ("\\server\share\..."): the service control manager
/// starts the program from its own current folder, so a relative path would name another file.
bool isFullPath(const std::string& path);

/// The path as the service control manager's binary path: quoted when it holds a blank, so
/// the manager never tries the shorter names along it ("C:\Program.exe" for "C:\Program Files\...").
std::string serviceBinaryPath(const std::string& programPath);

/// The usage text, lines ending in "\n".
const char* instsrvUsage();

}  // namespace tlv::tools
