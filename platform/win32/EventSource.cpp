// Win32 only: the running executable and its registration as an event message file.
#include "platform/win32/EventSource.h"

#include <optional>
#include <vector>

#include "platform/FolderWriters.h"
#include "platform/Result.h"
#include "platform/WindowsPath.h"
#include "platform/win32/UniqueHandle.h"

#include <aclapi.h>  // after windows.h, which UniqueHandle.h brings
#include <sddl.h>

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

std::string sidText(PSID sid) {
  LPSTR text = nullptr;
  if (!::ConvertSidToStringSidA(sid, &text)) return {};
  UniqueLocalMemory owned(text);
  return text;
}

// The user the program runs as.
std::string runningUser() {
  UniqueKernelHandle token;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put())) return {};
  std::vector<BYTE> buffer(256);
  DWORD needed = 0;
  if (!::GetTokenInformation(token.get(), TokenUser, buffer.data(), static_cast<DWORD>(buffer.size()), &needed)) {
    return {};
  }
  return sidText(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid);
}

// The folder's access list; nullopt when it cannot be read, or the folder has none (then
// everybody may change it).
std::optional<std::vector<AccessEntry>> accessListOf(const std::string& folder) {
  PACL list = nullptr;
  PSECURITY_DESCRIPTOR descriptor = nullptr;
  if (::GetNamedSecurityInfoA(folder.c_str(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr, &list,
                              nullptr, &descriptor) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  UniqueLocalMemory owned(descriptor);
  if (!list) return std::nullopt;
  std::vector<AccessEntry> entries;
  for (DWORD i = 0; i < list->AceCount; ++i) {
    ACE_HEADER* header = nullptr;
    if (!::GetAce(list, i, reinterpret_cast<void**>(&header))) return std::nullopt;
    // Other kinds (object and callback entries) are not written for folders: not judged, refused.
    if (header->AceType != ACCESS_ALLOWED_ACE_TYPE && header->AceType != ACCESS_DENIED_ACE_TYPE) return std::nullopt;
    auto* entry = reinterpret_cast<ACCESS_ALLOWED_ACE*>(header);  // a denying entry has the same layout
    entries.push_back({sidText(&entry->SidStart), entry->Mask, header->AceType == ACCESS_ALLOWED_ACE_TYPE,
                       (header->AceFlags & INHERIT_ONLY_ACE) != 0});
  }
  return entries;
}

bool inProtectedFolder(const std::string& module) {
  const std::string folder = folderOfPath(module);
  bool within = false;
  for (const std::string& system : systemProgramFolders()) {
    const std::string root = system.back() == '\\' ? system : system + "\\";
    within = within || platform::equalsNoCase(std::string_view(folder + "\\").substr(0, root.size()), root);
  }
  if (!within) return false;
  const auto accessList = accessListOf(folder);
  return accessList && onlyAdministratorsChange(*accessList, runningUser());
}

}  // namespace

std::string runningModulePath() {
  std::vector<char> buffer(MAX_PATH);
  for (;;) {
    const DWORD length = ::GetModuleFileNameA(nullptr, buffer.data(), static_cast<DWORD>(buffer.size()));
    if (length == 0) return {};
    if (length < buffer.size()) return std::string(buffer.data(), length);
    buffer.resize(buffer.size() * 2);  // truncated: a long path
  }
}

LONG registerAsEventMessageFile(const std::string& sourceKeyPath) {
  const std::string module = runningModulePath();
  if (!inProtectedFolder(module)) return static_cast<LONG>(err::kMessageFileUnprotected);
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
