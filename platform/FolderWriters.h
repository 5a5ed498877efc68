// Portable: who may change a folder, read from its access list, and the rule for a folder
// whose files an elevated program registers or runs: only administrators may change it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "platform/Security.h"

namespace tlv::platform {

/// The access rights that change a folder or what it holds.
inline constexpr std::uint32_t kChangeRights = 0x0002    // FILE_ADD_FILE (FILE_WRITE_DATA)
                                               | 0x0004  // FILE_ADD_SUBDIRECTORY (FILE_APPEND_DATA)
                                               | 0x0010  // FILE_WRITE_EA
                                               | 0x0040  // FILE_DELETE_CHILD
                                               | 0x0100  // FILE_WRITE_ATTRIBUTES
                                               | 0x00010000 | 0x00040000 | 0x00080000  // DELETE, WRITE_DAC, WRITE_OWNER
                                               | 0x10000000 | 0x40000000;  // GENERIC_ALL, GENERIC_WRITE

/// Whether nobody but SYSTEM, Administrators, TrustedInstaller and `administrator` (the
/// account running the elevated program, itself an administrator) may change the folder.
bool onlyAdministratorsChange(const std::vector<AccessEntry>& accessList, const std::string& administrator);

}  // namespace tlv::platform
