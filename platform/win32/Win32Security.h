// Win32 only: security descriptors read into the portable form, and the SIDs of accounts.
#pragma once

#include <string>

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

/// Wine's file systems keep no descriptors: each file reads as its user's, with full access.
bool fileSystemKeepsSecurity();

}  // namespace tlv::platform::win32
