// Win32 only: security descriptors read into the portable form, and the SIDs of accounts.
#pragma once

#include <string>
#include <vector>

#include "platform/Result.h"
#include "platform/Security.h"
#include "platform/win32/Win32Support.h"

namespace tlv::platform::win32 {

/// "S-1-5-18"; empty when the SID cannot be written.
std::string sidText(PSID sid);

/// The account the program runs as, as a SID string; empty when it cannot be read.
std::string runningAccount();

/// The owner and access list of a self-relative or absolute descriptor.
Result<SecurityDescriptor> descriptorOf(PSECURITY_DESCRIPTOR descriptor);

/// A file's or folder's owner and access list through a handle opened on the name itself, a
/// link not followed.
Result<SecurityDescriptor> fileSecurity(const std::string& path);

/// An absolute descriptor made from the portable form: its owner and a protected list of its
/// allowing entries, each with `aceFlags` (OBJECT_INHERIT_ACE | CONTAINER_INHERIT_ACE for a
/// folder's). It points into itself: made in place, never copied.
class MadeDescriptor {
 public:
  MadeDescriptor() = default;
  MadeDescriptor(const MadeDescriptor&) = delete;
  MadeDescriptor& operator=(const MadeDescriptor&) = delete;
  /// ERROR_SUCCESS, or why a SID or the list could not be made.
  [[nodiscard]] DWORD make(const SecurityDescriptor& from, BYTE aceFlags);
  PSECURITY_DESCRIPTOR get() { return &descriptor_; }
  PSID owner() const { return owner_; }
  PACL list() { return reinterpret_cast<PACL>(list_.data()); }

 private:
  std::vector<std::vector<BYTE>> sids_;
  std::vector<BYTE> list_;
  PSID owner_ = nullptr;
  SECURITY_DESCRIPTOR descriptor_{};
};

/// Wine's file systems keep no descriptors: each file reads as its user's, with full access.
bool fileSystemKeepsSecurity();

}  // namespace tlv::platform::win32
