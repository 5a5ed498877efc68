// Portable: the SID of a service's own account, NT SERVICE\<name>, computed as Windows derives
// it rather than looked up: Wine's LookupAccountName does not know these accounts, and a
// look-up by name could be answered for an account someone made under that name.
#pragma once

#include <string>

namespace tlv::tools {

/// "S-1-5-80-" and the five 32-bit words, little-endian, of the SHA-1 of the upper-case
/// name in UTF-16LE (service names are ASCII here).
std::string serviceSid(const std::string& serviceName);

}  // namespace tlv::tools
