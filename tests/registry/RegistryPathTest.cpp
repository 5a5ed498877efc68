// Registry path text: the split into root and subkey, and the long root names of key lines,
// which must name the same key again.
#include <gtest/gtest.h>

#include "registry/RegistryPath.h"

namespace tlv::registry {
namespace {

namespace hkey = platform::hkey;

TEST(RegistryPath, OnlyTheLeadingRootIsReadFromItsFirstFourCharactersAndWrittenLong) {
  struct Case {
    std::string path;
    platform::RegKey root;
    std::string subKey, keyLine;
  };
  const Case cases[] = {
      {"hKeY_lOcAl_MaChInE\\Software", hkey::kLocalMachine, "Software", "hKeY_lOcAl_MaChInE\\Software"},
      {"hkcu\\HKEY_LOCAL_MACHINE\\HKLM", hkey::kCurrentUser, "HKEY_LOCAL_MACHINE\\HKLM",
       "HKEY_CURRENT_USER\\HKEY_LOCAL_MACHINE\\HKLM"},
      {"HKEY_CURRENT_USER_X\\Software", hkey::kCurrentUser, "Software", "HKEY_CURRENT_USER_X\\Software"},
      {"HKCC", hkey::kCurrentConfig, "", "HKEY_CURRENT_CONFIG"},
      {"HKLMX", hkey::kNone, "", "HKEY_LOCAL_MACHINEX"},  // no backslash: the whole path is the root name
      {"HKU\\x", hkey::kNone, "x", "HKU\\x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const SplitPath split = splitRegPath(c.path);
    EXPECT_EQ(platform::predefinedKey(split.rootKey), c.root);
    EXPECT_EQ(split.subKey, c.subKey);
    EXPECT_EQ(withLongRootName(c.path), c.keyLine);
    const SplitPath again = splitRegPath(c.keyLine);
    EXPECT_TRUE(again.rootKey == split.rootKey && again.subKey == split.subKey) << c.keyLine;
  }
}

}  // namespace
}  // namespace tlv::registry
