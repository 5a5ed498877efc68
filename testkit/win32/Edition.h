// Win32 only: what depends on the edition of the programs under test. Wine's prefix is
// 64-bit Windows: the x86 edition runs under WOW64 and sees the (x86) Program Files folder.
#pragma once

#include <string>

namespace tlv::testing {

inline constexpr bool k64BitEdition = sizeof(void*) == 8;

/// The Program Files folder the programs of this edition see, ending in a backslash.
inline std::string editionProgramFiles() {
  return k64BitEdition ? "C:\\Program Files\\" : "C:\\Program Files (x86)\\";
}

}  // namespace tlv::testing
