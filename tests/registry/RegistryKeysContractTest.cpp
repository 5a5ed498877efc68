// Contract suite of the registry class's paths and keys, on the sim machine and under Wine.
// How a path's text splits into root and subkey is RegistryTextTest's.
#include <algorithm>

#include "platform/WindowsPath.h"
#include "tests/registry/RegistryFixture.h"

namespace tlv::testing {
namespace {

using Keys = RegistryContract;

TEST_F(Keys, AShortRootNamesTheSameKeyAsItsLongNameAndARootAloneIsItself) {
  ASSERT_NE(reg.WriteString(key + "\\A", "v", "found"), 0);
  EXPECT_EQ(reg.ReadString("hkcu\\Software\\TlvAsServiceTests\\A", "v", "missing"), "found");

  std::vector<std::string> keys;
  EXPECT_TRUE(reg.KeyExists("HKLM"));
  EXPECT_NE(reg.CreateKey("HKLM"), 0);
  EXPECT_TRUE(reg.HaveSubkey("HKEY_LOCAL_MACHINE"));
  ASSERT_GT(reg.EnumKeys("hklm", keys), 1);
  EXPECT_TRUE(
      std::any_of(keys.begin(), keys.end(), [](const std::string& k) { return platform::equalsNoCase(k, "SYSTEM"); }));
}

TEST_F(Keys, UnknownRootsFailEveryOperationWithItsFailureResult) {
  // Without a subkey, the plain open would hand the unknown root back as if it were open.
  for (const std::string path : {"HKU\\Software", "HKLMX"}) {
    SCOPED_TRACE(path);
    std::vector<std::string> keys{"stale"};
    std::vector<registry::RegistryVariant> values;
    EXPECT_FALSE(reg.KeyExists(path));
    EXPECT_EQ(reg.EnumValues(path, keys, values, -1), -1);
    EXPECT_EQ(reg.CreateKey(path), 0);
    EXPECT_EQ(reg.EnumKeys(path, keys), -1);
    EXPECT_TRUE(keys.empty());
    EXPECT_FALSE(reg.HaveSubkey(path));
    EXPECT_EQ(reg.WriteString(path, "v", "x"), 0);
    EXPECT_EQ(reg.ReadString(path, "v", "dflt"), "dflt");
  }
}

TEST_F(Keys, EnumerationListsSubkeysInNameOrderAndTellsEmptyFromMissing) {
  std::vector<std::string> keys{"stale"};
  EXPECT_EQ(reg.EnumKeys(key, keys), -1);
  EXPECT_TRUE(keys.empty());
  ASSERT_NE(reg.CreateKey(key), 0);
  EXPECT_EQ(reg.EnumKeys(key, keys), 0);
  EXPECT_FALSE(reg.HaveSubkey(key));

  // The longest name the system takes, one character more than the name buffer holds; too
  // long for a path from the root, so it is made below an open key.
  const std::string longest(256, 'z');
  auto parent = port().openKey(platform::hkey::kCurrentUser, "Software\\TlvAsServiceTests");
  ASSERT_TRUE(parent.ok());
  ASSERT_TRUE(port().createKey(parent.value.get(), longest).ok());
  EXPECT_TRUE(reg.HaveSubkey(key)) << "a first name too long for the buffer still counts";
  for (const std::string name : {"b", "A", "a_", "a[", "aZ", "_", "B2", "c"}) {
    ASSERT_NE(reg.CreateKey(key + "\\" + name), 0);
  }
  keys = {"stale"};
  ASSERT_EQ(reg.EnumKeys(key, keys), 9);
  EXPECT_EQ(keys, (std::vector<std::string>{"_", "A", "a[", "a_", "aZ", "b", "B2", "c", longest}))
      << "the system's order: names compared in lower case";
}

TEST_F(Keys, CreateMakesMissingParentsAndKeepsWhatExistsAndKillKeyDeletesLeavesOnly) {
  ASSERT_NE(reg.CreateKey(key + "\\Parent\\Child"), 0);
  ASSERT_NE(reg.WriteString(key + "\\Parent", "kept", "yes"), 0);
  EXPECT_NE(reg.CreateKey(key + "\\Parent"), 0);
  EXPECT_EQ(reg.ReadString(key + "\\Parent", "kept", ""), "yes");
  EXPECT_NE(reg.KillKey(key + "\\Parent"), 0) << "opened, though the system refuses the delete";
  EXPECT_TRUE(reg.KeyExists(key + "\\Parent\\Child"));
  EXPECT_NE(reg.KillKey(key + "\\Parent\\Child"), 0);
  EXPECT_NE(reg.KillKey(key + "\\Parent"), 0);
  EXPECT_FALSE(reg.KeyExists(key + "\\Parent"));
  EXPECT_EQ(reg.KillKey(key + "\\Parent"), 0) << "a missing key does not open";
}

TEST_F(Keys, WritesCreateAMissingKeyOnlyWhileTheSwitchIsOn) {
  reg.CreateKeyIfDoesntExists(false);
  EXPECT_EQ(reg.WriteDWORD(key + "\\New", "d", 1), 0);
  EXPECT_FALSE(reg.KeyExists(key));
  ASSERT_NE(reg.CreateKey(key + "\\New"), 0);
  EXPECT_NE(reg.WriteString(key + "\\New", "s", "x"), 0) << "an existing key is written with the switch off";
}

}  // namespace
}  // namespace tlv::testing
