// Win32 only: srvany's entries in the Application event log, and the protected folder of its
// text logs with the times and account the lines carry.
#include "tools/srvany/HostLogs.h"

#include <aclapi.h>
#include <lmcons.h>
#include <sddl.h>

#include <cstdint>
#include <cstdio>
#include <optional>

#include "SrvanyMessages.h"
#include "platform/Result.h"
#include "platform/win32/EventSource.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32Security.h"
#include "tools/common/ErrorText.h"
#include "tools/common/HostLogPlaces.h"
#include "tools/common/ServiceKeys.h"
#include "tools/common/ServiceSid.h"
#include "tools/srvany/TextLog.h"

namespace tlv::tools {

// The event ids are the message table's: an entry whose id has no message shows no text.
static_assert(MSG_HOST_STARTED == static_cast<DWORD>(HostEvent::Started));
static_assert(MSG_HOST_CLOSE_ASKED == static_cast<DWORD>(HostEvent::CloseAsked));
static_assert(MSG_HOST_CLOSED_IN_TIME == static_cast<DWORD>(HostEvent::ClosedInTime));
static_assert(MSG_HOST_ENDED_AFTER_GRACE == static_cast<DWORD>(HostEvent::EndedAfterGrace));
static_assert(MSG_HOST_EXITED_BY_ITSELF == static_cast<DWORD>(HostEvent::ExitedByItself));
static_assert(MSG_HOST_SHUTDOWN_CLOSE_ASKED == static_cast<DWORD>(HostEvent::ShutdownCloseAsked));
static_assert(MSG_HOST_EXITED_AT_SHUTDOWN == static_cast<DWORD>(HostEvent::ExitedAtShutdown));
static_assert(MSG_HOST_START_FAILED == static_cast<DWORD>(HostEvent::StartFailed));
static_assert(MSG_HOST_FAILED == static_cast<DWORD>(HostEvent::HostFailed));
static_assert(MSG_HOST_WARNING == static_cast<DWORD>(HostEvent::HostWarning));
static_assert(MSG_WATCH_PROGRAM_HUNG == static_cast<DWORD>(HostEvent::ProgramHung));
static_assert(MSG_WATCH_PROGRAM_ANSWERS == static_cast<DWORD>(HostEvent::ProgramAnswers));
static_assert(MSG_WATCH_BOX_SHOWN == static_cast<DWORD>(HostEvent::BoxShown));
static_assert(MSG_WATCH_BOX_CLOSED == static_cast<DWORD>(HostEvent::BoxClosed));
static_assert(MSG_WATCH_HUNG_PROGRAM_ENDED == static_cast<DWORD>(HostEvent::HungProgramEnded));
static_assert(MSG_WATCH_BOX_PROGRAM_ENDED == static_cast<DWORD>(HostEvent::BoxProgramEnded));

EventLog::EventLog(const std::string& serviceName) {
  // The viewer finds the texts of the source's entries through its message file: srvany's
  // own message table, whose entries all show their text as given.
  const LONG registration = platform::win32::registerAsEventMessageFile(eventSourceKeyPath(serviceName));
  source_.reset(::RegisterEventSourceA(nullptr, serviceName.c_str()));
  if (registration == static_cast<LONG>(platform::err::kMessageFileUnprotected)) {
    registrationError_ = "The event source " + serviceName +
                         " is not registered: srvany.exe is not in a folder only administrators can change";
  } else if (registration != ERROR_SUCCESS) {
    registrationError_ = "The event source " + serviceName + " could not be registered: " + errorText(registration);
  }
}

void EventLog::record(const HostRecord& entry) {
  // Without a source, or when the log is full, the entry is lost: the service's state and
  // exit code still tell the outcome, and a log must never stop the service.
  if (!source_) return;
  const WORD type = entry.severity == Severity::Error     ? EVENTLOG_ERROR_TYPE
                    : entry.severity == Severity::Warning ? EVENTLOG_WARNING_TYPE
                                                          : EVENTLOG_INFORMATION_TYPE;
  const char* strings[] = {entry.text.c_str()};
  ::ReportEventA(source_.get(), type, 0, static_cast<DWORD>(entry.event), nullptr, 1, 0, strings, nullptr);
}

// The protected folder of the text logs.

namespace {

using platform::win32::UniqueFile;
using platform::win32::UniqueFind;
using platform::win32::UniqueLocalMemory;

bool isWellKnown(PSID sid, WELL_KNOWN_SID_TYPE type) {
  BYTE buffer[SECURITY_MAX_SID_SIZE];
  DWORD size = sizeof buffer;
  return ::CreateWellKnownSid(type, nullptr, buffer, &size) && ::EqualSid(sid, buffer);
}

Trustee trusteeOf(PSID sid, const std::string& serviceSid) {
  if (isWellKnown(sid, WinLocalSystemSid)) return Trustee::System;
  if (isWellKnown(sid, WinBuiltinAdministratorsSid)) return Trustee::Administrators;
  if (isWellKnown(sid, WinBuiltinUsersSid)) return Trustee::Users;
  if (platform::win32::sidText(sid) == serviceSid) return Trustee::Service;
  return Trustee::Other;
}

// The folder's owner and access list as the rules read them; nullopt when they cannot be read.
std::optional<FolderSecurity> readSecurity(const std::string& folder, const std::string& serviceSid) {
  PSID owner = nullptr;
  PACL dacl = nullptr;
  UniqueLocalMemory descriptor;
  if (::GetNamedSecurityInfoA(folder.c_str(), SE_FILE_OBJECT, OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION,
                              &owner, nullptr, &dacl, nullptr,
                              reinterpret_cast<PSECURITY_DESCRIPTOR*>(descriptor.put())) != ERROR_SUCCESS) {
    return std::nullopt;
  }
  FolderSecurity security;
  security.ownerIsAdministrators = owner && isWellKnown(owner, WinBuiltinAdministratorsSid);
  SECURITY_DESCRIPTOR_CONTROL control = 0;
  DWORD revision = 0;
  security.inheritanceBlocked =
      ::GetSecurityDescriptorControl(descriptor.get(), &control, &revision) && (control & SE_DACL_PROTECTED) != 0;
  if (!dacl) {  // no list at all: everyone may do everything
    security.entries.push_back({Trustee::Other, true, GENERIC_ALL});
    return security;
  }
  for (DWORD i = 0; i < dacl->AceCount; ++i) {
    ACE_HEADER* header = nullptr;
    if (!::GetAce(dacl, i, reinterpret_cast<void**>(&header))) return std::nullopt;
    if (header->AceType == ACCESS_ALLOWED_ACE_TYPE) {
      auto* ace = reinterpret_cast<ACCESS_ALLOWED_ACE*>(header);
      security.entries.push_back({trusteeOf(&ace->SidStart, serviceSid), true, ace->Mask});
    } else if (header->AceType != ACCESS_DENIED_ACE_TYPE) {
      security.entries.push_back({Trustee::Other, true, GENERIC_ALL});  // a kind the rules do not know
    }
  }
  return security;
}

// Sets the folder's owner and protected list as kLogFolderSddl says.
DWORD protect(const std::string& folder) {
  UniqueLocalMemory descriptor;
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorA(
          kLogFolderSddl, SDDL_REVISION_1, reinterpret_cast<PSECURITY_DESCRIPTOR*>(descriptor.put()), nullptr)) {
    return ::GetLastError();
  }
  PSID owner = nullptr;
  PACL dacl = nullptr;
  BOOL defaulted = FALSE, present = FALSE;
  ::GetSecurityDescriptorOwner(descriptor.get(), &owner, &defaulted);
  ::GetSecurityDescriptorDacl(descriptor.get(), &present, &dacl, &defaulted);
  std::string path = folder;
  return ::SetNamedSecurityInfoA(
      path.data(), SE_FILE_OBJECT,
      OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, owner, nullptr,
      dacl, nullptr);
}

// A new folder is protected from its first moment: nobody gets in between its creation and
// its securing. One that is there already is judged and mended below.
void createProtected(const std::string& folder) {
  UniqueLocalMemory descriptor;
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorA(
          kLogFolderSddl, SDDL_REVISION_1, reinterpret_cast<PSECURITY_DESCRIPTOR*>(descriptor.put()), nullptr)) {
    return;  // then the folder is not made here, and the check below says it is missing
  }
  SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor.get(), FALSE};
  ::CreateDirectoryA(folder.c_str(), &attributes);  // an existing folder is the check's below
}

// Why the path is no plain folder of its own; empty when it is one. A missing one's error is
// read at once, so that no later call stands in for it.
std::string notAPlainFolder(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  if (attributes == INVALID_FILE_ATTRIBUTES) return "it is missing: " + errorText(::GetLastError());
  if (attributes & FILE_ATTRIBUTE_REPARSE_POINT) return "it is a link";
  if (!(attributes & FILE_ATTRIBUTE_DIRECTORY)) return "it is a file";
  return {};
}

}  // namespace

HostLogFolder::HostLogFolder(const std::string& serviceName, bool asLocalSystem) {
  char windows[MAX_PATH] = {};
  const UINT length = ::GetSystemWindowsDirectoryA(windows, MAX_PATH);
  if (length == 0 || length >= MAX_PATH) {
    // A path too long for the buffer sets no error: its length is the answer.
    problem_ = "the Windows folder is unknown: " +
               (length == 0 ? errorText(::GetLastError()) : "its path is longer than " + std::to_string(MAX_PATH - 1));
    return;
  }
  if (!asLocalSystem) {
    takeAccountFolder(accountLogFolder(std::string(windows) + "\\", serviceName), serviceName);
    return;
  }
  const std::string logs = std::string(windows) + "\\Logs";
  path_ = std::string(windows) + "\\" + kHostLogFolder;
  ::CreateDirectoryA(logs.c_str(), nullptr);  // Windows has it; a fresh Wine prefix may not
  createProtected(path_);
  // A link in the folder's place could lead anywhere: it is not followed.
  if (const std::string why = notAPlainFolder(path_); !why.empty()) {
    problem_ = path_ + " is no folder of its own: " + why;
    return;
  }
  const auto before = readSecurity(path_, {});
  if (before && !needsRepair(*before)) return;
  if (const DWORD error = protect(path_)) {
    problem_ = "the security of " + path_ + " could not be set: " + errorText(error);
    return;
  }
  // The system took the security: a file system that keeps none (Wine keeps none) reads
  // back something else, which is said, but does not stop the log.
  const auto after = readSecurity(path_, {});
  if (!after || needsRepair(*after)) {
    note_ = "The security of " + path_ + " was set but does not read back as set: this system does not keep it.";
  } else if (before) {
    note_ = "The log folder " + path_ + " allowed others more than reading; its security was set anew.";
  }
}

void HostLogFolder::takeAccountFolder(std::string folder, const std::string& serviceName) {
  path_ = std::move(folder);
  const std::string made = "; TlvAsService /quiet makes it for the account srvany runs as";
  if (const std::string why = notAPlainFolder(path_); !why.empty()) {
    problem_ = path_ + " is no folder of its own: " + why + made;
    return;
  }
  if (!platform::win32::fileSystemKeepsSecurity()) {
    note_ = "The security of " + path_ + " cannot be checked: this system does not keep it.";
    return;
  }
  const auto security = readSecurity(path_, serviceSid(serviceName));
  if (!security || needsRepair(*security, Trustee::Service)) {
    problem_ = path_ + (security ? " allows others more than reading" : " has a security that cannot be read") +
               ", and srvany may not set it anew as this account" + made;
  }
}

std::uint64_t HostLogFolder::size(const std::string& name) {
  WIN32_FILE_ATTRIBUTE_DATA data{};
  if (!::GetFileAttributesExA((path_ + "\\" + name).c_str(), GetFileExInfoStandard, &data)) return 0;
  return (static_cast<std::uint64_t>(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

bool HostLogFolder::append(const std::string& name, std::string_view text) {
  if (!ready()) return false;
  // Opened as found, never through a link; a hard link to another file is refused below.
  UniqueFile file(::CreateFileA((path_ + "\\" + name).c_str(), FILE_APPEND_DATA, FILE_SHARE_READ, nullptr, OPEN_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!file) return false;
  BY_HANDLE_FILE_INFORMATION info{};
  if (!::GetFileInformationByHandle(file.get(), &info) || info.nNumberOfLinks != 1 ||
      (info.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    return false;
  }
  DWORD written = 0;
  return ::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr) &&
         written == text.size();
}

bool HostLogFolder::rename(const std::string& from, const std::string& to) {
  return ready() && ::MoveFileExA((path_ + "\\" + from).c_str(), (path_ + "\\" + to).c_str(), 0);
}

std::vector<LogFile> HostLogFolder::files(const std::string& prefix) {
  std::vector<LogFile> found;
  if (!ready()) return found;
  WIN32_FIND_DATAA entry{};
  UniqueFind search(::FindFirstFileA((path_ + "\\" + prefix + "*.log").c_str(), &entry));
  if (!search) return found;
  do {
    const std::string name = entry.cFileName;
    // The pattern also matches short names: the long name itself must fit.
    const bool fits = name.size() >= prefix.size() + 4 && name.compare(0, prefix.size(), prefix) == 0 &&
                      name.compare(name.size() - 4, 4, ".log") == 0;
    if (!fits || (entry.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))) continue;
    found.push_back({name, (std::uint64_t{entry.nFileSizeHigh} << 32) | entry.nFileSizeLow,
                     utcSecondsOf(entry.ftLastWriteTime)});
  } while (::FindNextFileA(search.get(), &entry));
  return found;
}

bool HostLogFolder::remove(const std::string& name) {
  return ready() && ::DeleteFileA((path_ + "\\" + name).c_str());
}

std::int64_t utcSecondsOf(const FILETIME& time) {
  constexpr std::int64_t kSeconds1601To1970 = 11644473600;
  const std::uint64_t ticks = (std::uint64_t{time.dwHighDateTime} << 32) | time.dwLowDateTime;  // 100 ns since 1601
  return static_cast<std::int64_t>(ticks / 10000000) - kSeconds1601To1970;
}

std::int64_t utcSecondsNow() {
  FILETIME now{};
  ::GetSystemTimeAsFileTime(&now);
  return utcSecondsOf(now);
}

std::string localTimeText() {
  // The offset is the local time's own (summer time included), taken from both clocks at once.
  SYSTEMTIME utc{}, now{};
  ::GetSystemTime(&utc);
  FILETIME utcFile{}, localFile{};
  const bool known = ::SystemTimeToFileTime(&utc, &utcFile) && ::FileTimeToLocalFileTime(&utcFile, &localFile) &&
                     ::FileTimeToSystemTime(&localFile, &now);
  if (!known) ::GetLocalTime(&now);
  const auto ticks = [](const FILETIME& t) {
    return static_cast<std::int64_t>((std::uint64_t{t.dwHighDateTime} << 32) | t.dwLowDateTime);
  };
  const std::int64_t offsetMinutes = known ? (ticks(localFile) - ticks(utcFile)) / 600000000 : 0;
  const std::int64_t magnitude = offsetMinutes < 0 ? -offsetMinutes : offsetMinutes;
  char text[48];
  std::snprintf(text, sizeof text, "%04u-%02u-%02u %02u:%02u:%02u %c%02d:%02d", now.wYear, now.wMonth, now.wDay,
                now.wHour, now.wMinute, now.wSecond, offsetMinutes < 0 ? '-' : '+', static_cast<int>(magnitude / 60),
                static_cast<int>(magnitude % 60));
  return text;
}

std::string accountName() {
  char name[UNLEN + 1] = {};
  DWORD size = sizeof name;
  return ::GetUserNameA(name, &size) ? std::string(name) : std::string();
}

}  // namespace tlv::tools
