// Portable: registry path text ("HKLM\SYSTEM\...") and the table of predefined root names.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "platform/Registry.h"

namespace tlv::registry {

struct RootName {
  std::string_view longName;
  std::string_view shortName;  ///< always four characters; the path split relies on it
  platform::RegKey handle;
};

/// The predefined roots in the order in which their names are tried.
inline constexpr std::array<RootName, 7> kRootNames{{
    {"HKEY_CURRENT_USER", "HKCU", platform::hkey::kCurrentUser},
    {"HKEY_LOCAL_MACHINE", "HKLM", platform::hkey::kLocalMachine},
    {"HKEY_CLASSES_ROOT", "HKCR", platform::hkey::kClassesRoot},
    {"HKEY_USERS", "HKUS", platform::hkey::kUsers},
    {"HKEY_PERFORMANCE_DATA", "HKPD", platform::hkey::kPerformanceData},
    {"HKEY_DYN_DATA", "HKDD", platform::hkey::kDynData},
    {"HKEY_CURRENT_CONFIG", "HKCC", platform::hkey::kCurrentConfig},
}};

/// A path taken apart: the root's handle (0 when its name is not known) and the subkey path.
struct SplitPath {
  std::int32_t rootKey = 0;
  std::string subKey;
};

/// Takes a path apart. A long root name at the very start counts as its short name; the root
/// is then the first four characters (the whole path when it has no backslash), without
/// regard to case, and the subkey path is everything after the first backslash, unchanged:
/// "HKCU\Software\HKEY_USERS" is Software\HKEY_USERS under HKEY_CURRENT_USER.
SplitPath splitRegPath(std::string_view path);

/// The path with a short root name at its start written in the long form, as .reg key lines
/// carry it ("hklm\Software\HKCU_Old" gives "HKEY_LOCAL_MACHINE\Software\HKCU_Old").
std::string withLongRootName(std::string_view path);

}  // namespace tlv::registry
