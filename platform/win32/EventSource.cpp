// Win32 only: the running executable's registration as an event message file.
#include "platform/win32/EventSource.h"

#include <vector>

#include "platform/FolderWriters.h"
#include "platform/Result.h"
#include "platform/WindowsPath.h"
#include "platform/win32/RunningModule.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32Security.h"

namespace tlv::platform::win32 {
namespace {

// The system's folders for Windows and programs, as Windows keeps them (its 64-bit registry
// view names both Program Files folders of a 64-bit Windows).
std::vector<std::string> systemProgramFolders() {
  std::vector<std::string> folders;
  char windows[MAX_PATH + 1] = {};
  const UINT length = ::GetSystemWindowsDirectoryA(windows, MAX_PATH);
  if (length > 0 && length < MAX_PATH) folders.emplace_back(windows, length);
  UniqueRegKey key;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows\\CurrentVersion", 0,
                      KEY_QUERY_VALUE | KEY_WOW64_64KEY, key.put()) != ERROR_SUCCESS) {
    return folders;
  }
  for (const char* name : {"ProgramFilesDir", "ProgramFilesDir (x86)"}) {
    char value[MAX_PATH + 1] = {};
    DWORD size = MAX_PATH, type = 0;
    if (::RegQueryValueExA(key.get(), name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) == ERROR_SUCCESS &&
        type == REG_SZ) {
      folders.emplace_back(value);
    }
  }
  return folders;
}

bool inProtectedFolder(const std::string& module) {
  const std::string folder = folderOfPath(module);
  bool within = false;
  for (const std::string& system : systemProgramFolders()) {
    const std::string root = system.back() == '\\' ? system : system + "\\";
    within = within || platform::equalsNoCase(std::string_view(folder + "\\").substr(0, root.size()), root);
  }
  if (!within) return false;
  const auto security = fileSecurity(folder);
  return security.ok() && onlyAdministratorsChange(security.value.entries, runningAccount());
}

bool registeredAlready(const std::string& sourceKeyPath, const std::string& module) {
  UniqueRegKey key;
  if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, sourceKeyPath.c_str(), 0, KEY_QUERY_VALUE, key.put()) != ERROR_SUCCESS) {
    return false;
  }
  char file[MAX_PATH + 1] = {};
  DWORD size = MAX_PATH, type = 0, types = 0, typesSize = sizeof types;
  return ::RegQueryValueExA(key.get(), "EventMessageFile", nullptr, &type, reinterpret_cast<BYTE*>(file), &size) ==
             ERROR_SUCCESS &&
         (type == REG_EXPAND_SZ || type == REG_SZ) && platform::equalsNoCase(file, module) &&
         ::RegQueryValueExA(key.get(), "TypesSupported", nullptr, &type, reinterpret_cast<BYTE*>(&types),
                            &typesSize) == ERROR_SUCCESS &&
         type == REG_DWORD && types == (EVENTLOG_ERROR_TYPE | EVENTLOG_WARNING_TYPE | EVENTLOG_INFORMATION_TYPE);
}

}  // namespace

LONG registerAsEventMessageFile(const std::string& sourceKeyPath) {
  const std::string module = runningModulePath();
  if (!inProtectedFolder(module)) return static_cast<LONG>(err::kMessageFileUnprotected);
  // Registered already (srvany as another account than LocalSystem may only read the key,
  // which the run made for it): nothing to write.
  if (registeredAlready(sourceKeyPath, module)) return ERROR_SUCCESS;
  UniqueRegKey key;
  LONG error = ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, sourceKeyPath.c_str(), 0, nullptr, 0, KEY_SET_VALUE, nullptr,
                                 key.put(), nullptr);
  if (error != ERROR_SUCCESS) return error;
  error = ::RegSetValueExA(key.get(), "EventMessageFile", 0, REG_EXPAND_SZ,
                           reinterpret_cast<const BYTE*>(module.c_str()), static_cast<DWORD>(module.size() + 1));
  if (error != ERROR_SUCCESS) return error;
  const DWORD types = EVENTLOG_ERROR_TYPE | EVENTLOG_WARNING_TYPE | EVENTLOG_INFORMATION_TYPE;
  return ::RegSetValueExA(key.get(), "TypesSupported", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&types),
                          sizeof types);
}

}  // namespace tlv::platform::win32
