// Win32 only: the file-system port's rights on folders: a grant to one SID, and a folder made
// with its whole descriptor.
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32Files.h"
#include "platform/win32/Win32Security.h"

#include <aclapi.h>  // after windows.h, which UniqueHandle.h brings
#include <sddl.h>

namespace tlv::platform::win32 {

namespace {

// Held open, without sharing its deletion, the folder can be neither renamed nor replaced (nor
// can a folder above it) until its rights are set: the folder checked is the one changed. A
// link in its place is opened as itself and refused.
Win32Error holdPlainFolder(const std::string& folder, UniqueFile& held) {
  held.reset(::CreateFileA(folder.c_str(), READ_CONTROL, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING,
                           FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  if (!held) return ::GetLastError();
  BY_HANDLE_FILE_INFORMATION information{};
  if (!::GetFileInformationByHandle(held.get(), &information)) return ::GetLastError();
  if (!(information.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) ||
      (information.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT)) {
    return err::kDirectory;
  }
  return err::kSuccess;
}

}  // namespace

Win32Error Win32FileSystem::makeSecuredFolder(const std::string& folder, const SecurityDescriptor& security) {
  MadeDescriptor made;
  if (const DWORD error = made.make(security, OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE)) return error;
  // A new folder has its rights from its first moment: nobody gets in between.
  SECURITY_ATTRIBUTES attributes{sizeof attributes, made.get(), FALSE};
  if (!::CreateDirectoryA(folder.c_str(), &attributes)) {
    const DWORD error = ::GetLastError();
    if (error != ERROR_ALREADY_EXISTS) return error;
  }
  UniqueFile held;
  if (const Win32Error error = holdPlainFolder(folder, held)) return error;
  if (!fileSystemKeepsSecurity()) return err::kNotSupported;
  // By name, so that the files and folders already inside take the inherited entries too.
  std::string path = folder;
  return ::SetNamedSecurityInfoA(
      path.data(), SE_FILE_OBJECT,
      OWNER_SECURITY_INFORMATION | DACL_SECURITY_INFORMATION | PROTECTED_DACL_SECURITY_INFORMATION, made.owner(),
      nullptr, made.list(), nullptr);
}

Win32Error Win32FileSystem::grantToFolder(const std::string& folder, const std::string& sid, std::uint32_t rights) {
  UniqueFile held;
  if (const Win32Error error = holdPlainFolder(folder, held)) return error;
  if (!fileSystemKeepsSecurity()) return err::kNotSupported;
  UniqueLocalMemory trustee;
  if (!::ConvertStringSidToSidA(sid.c_str(), reinterpret_cast<PSID*>(trustee.put()))) return ::GetLastError();
  PACL current = nullptr;
  UniqueLocalMemory descriptor;
  if (const DWORD error = ::GetSecurityInfo(held.get(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                            &current, nullptr, reinterpret_cast<PSECURITY_DESCRIPTOR*>(descriptor.put()))) {
    return error;
  }
  EXPLICIT_ACCESS_A entry{};
  entry.grfAccessPermissions = rights;
  entry.grfAccessMode = GRANT_ACCESS;
  entry.grfInheritance = SUB_CONTAINERS_AND_OBJECTS_INHERIT;
  entry.Trustee.TrusteeForm = TRUSTEE_IS_SID;
  entry.Trustee.TrusteeType = TRUSTEE_IS_WELL_KNOWN_GROUP;
  entry.Trustee.ptstrName = static_cast<LPSTR>(trustee.get());
  UniqueLocalMemory updated;
  if (const DWORD error = ::SetEntriesInAclA(1, &entry, current, reinterpret_cast<PACL*>(updated.put()))) return error;
  // By name, so that the entry reaches the files and folders already inside too.
  std::string path = folder;
  return ::SetNamedSecurityInfoA(path.data(), SE_FILE_OBJECT, DACL_SECURITY_INFORMATION, nullptr, nullptr,
                                 static_cast<PACL>(updated.get()), nullptr);
}

}  // namespace tlv::platform::win32
