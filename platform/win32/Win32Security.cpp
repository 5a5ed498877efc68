// Win32 only: security descriptors read into the portable form.
#include "platform/win32/Win32Security.h"

#include <vector>

#include "platform/win32/UniqueHandle.h"

#include <aclapi.h>  // after windows.h, which UniqueHandle.h brings
#include <sddl.h>

namespace tlv::platform::win32 {

std::string sidText(PSID sid) {
  LPSTR text = nullptr;
  if (!::ConvertSidToStringSidA(sid, &text)) return {};
  UniqueLocalMemory owned(text);
  return text;
}

std::string runningAccount() {
  UniqueKernelHandle token;
  if (!::OpenProcessToken(::GetCurrentProcess(), TOKEN_QUERY, token.put())) return {};
  std::vector<BYTE> buffer(256);
  DWORD needed = 0;
  if (!::GetTokenInformation(token.get(), TokenUser, buffer.data(), static_cast<DWORD>(buffer.size()), &needed)) {
    return {};
  }
  return sidText(reinterpret_cast<TOKEN_USER*>(buffer.data())->User.Sid);
}

Result<SecurityDescriptor> descriptorOf(PSECURITY_DESCRIPTOR descriptor) {
  using R = Result<SecurityDescriptor>;
  SecurityDescriptor read;
  PSID owner = nullptr;
  BOOL defaulted = FALSE, present = FALSE;
  if (!::GetSecurityDescriptorOwner(descriptor, &owner, &defaulted)) return R::failure(::GetLastError());
  if (owner) read.owner = sidText(owner);
  PACL list = nullptr;
  if (!::GetSecurityDescriptorDacl(descriptor, &present, &list, &defaulted)) return R::failure(::GetLastError());
  if (!present || !list) {  // no list: everybody may do everything
    read.entries.push_back({sid::kEveryone, GENERIC_ALL});
    return R::success(std::move(read));
  }
  for (DWORD i = 0; i < list->AceCount; ++i) {
    ACE_HEADER* header = nullptr;
    if (!::GetAce(list, i, reinterpret_cast<void**>(&header))) return R::failure(::GetLastError());
    const bool inheritOnly = (header->AceFlags & INHERIT_ONLY_ACE) != 0;
    if (header->AceType == ACCESS_ALLOWED_ACE_TYPE || header->AceType == ACCESS_DENIED_ACE_TYPE) {
      auto* entry = reinterpret_cast<ACCESS_ALLOWED_ACE*>(header);  // a denying entry has the same layout
      read.entries.push_back(
          {sidText(&entry->SidStart), entry->Mask, header->AceType == ACCESS_ALLOWED_ACE_TYPE, inheritOnly});
    } else {
      // Object and callback entries are not written for these objects: judged as allowing all.
      read.entries.push_back({"", GENERIC_ALL, true, inheritOnly});
    }
  }
  return R::success(std::move(read));
}

Result<SecurityDescriptor> fileSecurity(const std::string& path) {
  // READ_CONTROL only: the file's contents are not opened, and others may go on using it.
  UniqueFile file(::CreateFileA(path.c_str(), READ_CONTROL, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                nullptr));
  if (!file) return Result<SecurityDescriptor>::failure(::GetLastError());
  UniqueLocalMemory descriptor;
  if (const DWORD error = ::GetSecurityInfo(file.get(), SE_FILE_OBJECT,
                                            OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                            nullptr, nullptr, reinterpret_cast<PSECURITY_DESCRIPTOR*>(descriptor.put()));
      error != ERROR_SUCCESS) {
    return Result<SecurityDescriptor>::failure(error);
  }
  return descriptorOf(descriptor.get());
}

DWORD MadeDescriptor::make(const SecurityDescriptor& from, BYTE aceFlags) {
  const auto sidOf = [this](const std::string& text) -> PSID {
    PSID converted = nullptr;
    if (!::ConvertStringSidToSidA(text.c_str(), &converted)) return nullptr;
    const UniqueLocalMemory owned(converted);
    sids_.emplace_back(static_cast<BYTE*>(converted), static_cast<BYTE*>(converted) + ::GetLengthSid(converted));
    return sids_.back().data();
  };
  DWORD size = sizeof(ACL);
  std::vector<PSID> trustees;
  for (const AccessEntry& entry : from.entries) {
    if (!entry.allows) continue;
    PSID trustee = sidOf(entry.sid);
    if (!trustee) return ::GetLastError();
    trustees.push_back(trustee);
    size += sizeof(ACCESS_ALLOWED_ACE) - sizeof(DWORD) + ::GetLengthSid(trustee);
  }
  if (!from.owner.empty() && !(owner_ = sidOf(from.owner))) return ::GetLastError();
  list_.assign(size, 0);
  if (!::InitializeAcl(list(), size, ACL_REVISION)) return ::GetLastError();
  std::size_t next = 0;
  for (const AccessEntry& entry : from.entries) {
    if (!entry.allows) continue;
    const BYTE flags = entry.inheritOnly ? static_cast<BYTE>(aceFlags | INHERIT_ONLY_ACE) : aceFlags;
    if (!::AddAccessAllowedAceEx(list(), ACL_REVISION, flags, entry.mask, trustees[next++])) return ::GetLastError();
  }
  if (!::InitializeSecurityDescriptor(&descriptor_, SECURITY_DESCRIPTOR_REVISION) ||
      !::SetSecurityDescriptorOwner(&descriptor_, owner_, FALSE) ||
      !::SetSecurityDescriptorDacl(&descriptor_, TRUE, list(), FALSE) ||
      !::SetSecurityDescriptorControl(&descriptor_, SE_DACL_PROTECTED, SE_DACL_PROTECTED)) {
    return ::GetLastError();
  }
  return ERROR_SUCCESS;
}

bool fileSystemKeepsSecurity() {
  const HMODULE ntdll = ::GetModuleHandleA("ntdll.dll");
  return !(ntdll && ::GetProcAddress(ntdll, "wine_get_version"));
}

}  // namespace tlv::platform::win32
