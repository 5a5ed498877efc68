// Portable: when srvany's log folder must be set anew. srvany runs as LocalSystem: a folder
// where other users can create files or links would let them turn its writes against any
// file on the machine, so only SYSTEM and Administrators may change it, and Users may read.
#pragma once

#include <cstdint>
#include <vector>

namespace tlv::tools {

enum class Trustee { System, Administrators, Users, Other };

struct AccessEntry {
  Trustee who;
  bool allows;  ///< an allow entry; a deny entry takes rights away and is never a danger
  std::uint32_t mask;
};

struct FolderSecurity {
  bool ownerIsAdministrators = false;
  bool inheritanceBlocked = false;  ///< a protected list: nothing comes from the parent folder
  std::vector<AccessEntry> entries;
};

/// FILE_GENERIC_READ | FILE_GENERIC_EXECUTE: list the folder and read its files.
inline constexpr std::uint32_t kUsersMayRead = 0x1200A9;

/// The folder's security as it is made: owner Administrators, a protected list, SYSTEM and
/// Administrators full control, Users read; inherited by the files and folders below it.
inline constexpr char kLogFolderSddl[] = "O:BAD:PAI(A;OICI;FA;;;SY)(A;OICI;FA;;;BA)(A;OICI;0x1200a9;;;BU)";

/// True for a folder owned by someone else, one that takes rights from its parent, or one
/// that allows anyone but SYSTEM and Administrators more than reading.
bool needsRepair(const FolderSecurity& security);

}  // namespace tlv::tools
