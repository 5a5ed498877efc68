// Win32 only: the key srvany publishes its watch in.
#include "tools/srvany/WatchKey.h"

#include <sddl.h>  // after windows.h, which UniqueHandle.h brings

#include "tools/common/ErrorText.h"
#include "tools/common/WatchValues.h"

namespace tlv::tools {

using platform::win32::UniqueLocalMemory;

WatchKey::WatchKey(const std::string& serviceName) : path_("HKEY_LOCAL_MACHINE\\" + watchKeyPath(serviceName)) {
  const std::string subKey = watchKeyPath(serviceName);
  // One left from an earlier start in this boot, or made by someone else (not volatile, with
  // another descriptor, with keys below it): it goes, with all below it.
  const LONG deleted = ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, subKey.c_str());
  if (deleted != ERROR_SUCCESS && deleted != ERROR_FILE_NOT_FOUND) {
    problem_ = "the key " + path_ + " there cannot be deleted to be made anew: " + errorText(deleted);
    return;
  }
  UniqueLocalMemory descriptor;
  if (!::ConvertStringSecurityDescriptorToSecurityDescriptorA(
          kWatchKeySddl, SDDL_REVISION_1, reinterpret_cast<PSECURITY_DESCRIPTOR*>(descriptor.put()), nullptr)) {
    problem_ = "the descriptor of " + path_ + " cannot be made: " + errorText(::GetLastError());
    return;
  }
  SECURITY_ATTRIBUTES attributes{sizeof attributes, descriptor.get(), FALSE};
  DWORD disposition = 0;
  const LONG created =
      ::RegCreateKeyExA(HKEY_LOCAL_MACHINE, subKey.c_str(), 0, nullptr, REG_OPTION_VOLATILE,
                        KEY_SET_VALUE | WRITE_DAC | WRITE_OWNER, &attributes, key_.put(), &disposition);
  if (created != ERROR_SUCCESS) {
    problem_ = "the key " + path_ + " cannot be created: " + errorText(created);
    return;
  }
  if (disposition != REG_CREATED_NEW_KEY) {
    key_.reset();  // made again by someone else in between: its descriptor is not srvany's
    problem_ = "the key " + path_ + " was made again by someone else while srvany made it";
    return;
  }
  // Set once more on the key made: not every system applies the one given at its creation (Wine does not).
  const LONG secured = ::RegSetKeySecurity(
      key_.get(), OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION,
      descriptor.get());
  if (secured != ERROR_SUCCESS) {
    key_.reset();
    problem_ = "the descriptor of " + path_ + " cannot be set: " + errorText(secured);
  }
}

std::string WatchKey::write(const WatchReport& report) {
  if (!key_) return problem_;
  LONG error = ERROR_SUCCESS;
  const char* failed = nullptr;
  // In order, up to the first that fails: a value left old is never beside a new heartbeat.
  const auto put = [&](const char* name, DWORD type, const void* data, std::size_t size) {
    if (error != ERROR_SUCCESS) return;
    error = ::RegSetValueExA(key_.get(), name, 0, type, static_cast<const BYTE*>(data), static_cast<DWORD>(size));
    failed = name;
  };
  const auto text = [&](const char* name, const std::string& value) {
    put(name, REG_SZ, value.c_str(), value.size() + 1);
  };
  const auto number = [&](const char* name, DWORD value) { put(name, REG_DWORD, &value, sizeof value); };
  std::string boxes;  // each title with its NUL, and one more NUL at the end
  for (const std::string& title : report.openBoxes) boxes += title + '\0';
  boxes += '\0';
  text(watchvalue::kProgram, report.program);
  number(watchvalue::kProcessId, report.processId);
  text(watchvalue::kStarted, report.started);
  number(watchvalue::kAnswering, report.answering ? 1 : 0);
  text(watchvalue::kNotAnsweringSince, report.notAnsweringSince);
  put(watchvalue::kOpenBoxes, REG_MULTI_SZ, boxes.data(), boxes.size());
  text(watchvalue::kHeartbeat, report.heartbeat);  // last: when it is new, so is every value
  if (error == ERROR_SUCCESS) return {};
  return "the value " + std::string(failed) + " under " + path_ + " cannot be written: " + errorText(error);
}

}  // namespace tlv::tools
