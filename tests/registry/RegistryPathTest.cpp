// Registry path text: the split into root and subkey, and the long root names of key lines.
// The contract suites address keys through these paths on both machines; the fuzz target
// checks that the subkey path is always the text after the first backslash.
#include <gtest/gtest.h>

#include "registry/RegistryPath.h"

namespace tlv::registry {
namespace {

namespace hkey = platform::hkey;

TEST(RegistryPath, SplitFindsTheLeadingRootAndKeepsTheSubkeyPathAsGiven) {
  struct Case {
    std::string path;
    platform::RegKey root;
    std::string subKey;
  };
  const Case cases[] = {
      {"hkey_local_machine\\Software\\X", hkey::kLocalMachine, "Software\\X"},
      {"HKEY_CLASSES_ROOT\\.txt", hkey::kClassesRoot, ".txt"},
      {"hkus\\.DEFAULT", hkey::kUsers, ".DEFAULT"},
      {"HKDD\\x", hkey::kDynData, "x"},
      {"HKEY_LOCAL_MACHINE", hkey::kLocalMachine, ""},
      {"HKLMX\\Software", hkey::kLocalMachine, "Software"},
      {"HKCU\\HKEY_LOCAL_MACHINE\\HKLM", hkey::kCurrentUser, "HKEY_LOCAL_MACHINE\\HKLM"},
      {"HK\\Software", hkey::kNone, "Software"},
      {"HKLMX", hkey::kNone, ""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const SplitPath split = splitRegPath(c.path);
    EXPECT_EQ(platform::predefinedKey(split.rootKey), c.root);
    EXPECT_EQ(split.subKey, c.subKey);
  }
}

TEST(RegistryPath, KeyLinesWriteOnlyTheLeadingRootInItsLongForm) {
  const std::pair<std::string, std::string> cases[] = {
      {"HKLM\\Software\\HKCU_Old", "HKEY_LOCAL_MACHINE\\Software\\HKCU_Old"},
      {"hkcu\\x", "HKEY_CURRENT_USER\\x"},
      {"HKCC", "HKEY_CURRENT_CONFIG"},
      {"HKEY_CURRENT_USER\\HKLM", "HKEY_CURRENT_USER\\HKLM"},
      {"HKU\\x", "HKU\\x"},
  };
  for (const auto& [path, line] : cases) EXPECT_EQ(withLongRootName(path), line) << path;
}

}  // namespace
}  // namespace tlv::registry
