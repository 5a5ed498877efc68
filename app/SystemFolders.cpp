// Portable: the system's folders, and the batch file's interpreter started in them.
#include "app/SystemFolders.h"

#include <algorithm>

#include "platform/WindowsPath.h"

namespace tlv::app {
namespace {

std::string withSeparator(std::string folder) {
  if (folder.empty() || folder.back() != '\\') folder += '\\';
  return folder;
}

std::string withoutSeparator(const std::string& folder) {
  return folder.size() > 3 && folder.back() == '\\' ? folder.substr(0, folder.size() - 1) : folder;
}

}  // namespace

std::optional<SystemFolders> systemFolders(platform::Platform& machine, logging::LoggingFunctions& log,
                                           const std::string& fromEnvironment) {
  const auto windows = machine.systemInfo.windowsFolder();
  const auto system = machine.systemInfo.systemFolder();
  if (!windows.ok() || !system.ok() || windows.value.size() < 3 || system.value.size() < 3) return std::nullopt;
  SystemFolders folders{withSeparator(windows.value), withSeparator(system.value)};
  // The environment class reads an unset WinDir as a lone backslash.
  const bool unset = fromEnvironment.size() < 2;
  if (unset || !platform::equalsNoCase(withSeparator(fromEnvironment), folders.windows)) {
    log.WriteLog({.level = logging::level::kNote,
                  .message = unset ? "WinDir" : "WinDir " + fromEnvironment,
                  .detail = (unset ? "Not set; the system's Windows folder " + folders.windows + " is used"
                                   : "Not the system's Windows folder " + folders.windows + ", which is used"),
                  .boxStyle = platform::mb::kIconInformation});
  }
  return folders;
}

std::string checkedWindowsFolder(platform::Platform& machine, logging::LoggingFunctions& log,
                                 const std::string& fromEnvironment) {
  const auto folders = systemFolders(machine, log, fromEnvironment);
  return folders ? folders->windows : fromEnvironment;
}

platform::BatchLaunch batchLaunch(const std::string& batchFile, const SystemFolders& folders) {
  const std::string windows = withoutSeparator(folders.windows);
  const std::string system = withoutSeparator(folders.system);
  const std::string drive = windows.substr(0, 2);
  const std::string interpreter = folders.system + "cmd.exe";
  std::vector<std::string> environment{
      "ComSpec=" + interpreter,          "HOMEDRIVE=" + drive,
      "PATH=" + system + ";" + windows,  "PATHEXT=.COM;.EXE;.BAT;.CMD",
      "SystemDrive=" + drive,            "SystemRoot=" + windows,
      "TEMP=" + windows + "\\Temp",      "TMP=" + windows + "\\Temp",
      "windir=" + windows,
  };
  std::sort(environment.begin(), environment.end(), [](const std::string& a, const std::string& b) {
    return platform::upperCase(a.substr(0, a.find('='))) < platform::upperCase(b.substr(0, b.find('=')));
  });
  // The batch file is quoted because its folder may contain blanks; /s keeps the outer
  // quotes from being read as part of it.
  return {batchFile, interpreter, "cmd.exe /d /s /c \"\"" + batchFile + "\"\"", windows, std::move(environment)};
}

}  // namespace tlv::app
