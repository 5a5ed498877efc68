// Contract suite of the registry port itself: the sim registry must answer as Wine does.
#include "tests/registry/RegistryFixture.h"

namespace tlv::testing {
namespace {

using platform::RegKey;
namespace err = platform::err;
namespace hkey = platform::hkey;
namespace keyaccess = platform::keyaccess;
namespace regtype = platform::regtype;

class Port : public RegistryContract {
 protected:
  const std::string sub = "Software\\TlvAsServiceTests";
  RegKey create(const std::string& path) {
    auto k = port().createKey(hkey::kCurrentUser, path);
    EXPECT_TRUE(k.ok()) << path << " error " << k.error;
    return k.value;
  }
};

TEST_F(Port, OpeningAndClosingGiveTheSystemsCodes) {
  EXPECT_EQ(port().openKeyEx(hkey::kCurrentUser, sub, keyaccess::kRead).error, err::kFileNotFound);
  EXPECT_EQ(port().openKey(hkey::kCurrentUser, sub + "\\Deeper").error, err::kFileNotFound);
  EXPECT_EQ(port().openKeyEx(hkey::kCurrentUser, "\\Software", keyaccess::kRead).error, err::kBadPathname);
  EXPECT_EQ(port().openKeyEx(0, "Software", keyaccess::kRead).error, err::kInvalidHandle);
  EXPECT_EQ(port().createKey(0, "Software").error, err::kInvalidHandle);
  EXPECT_TRUE(port().openKey(0, "").ok()) << "the plain open gives back any handle for an empty subkey";
  EXPECT_EQ(port().openKeyEx(hkey::kCurrentUser, "", keyaccess::kRead).value, hkey::kCurrentUser);

  const RegKey k = create(sub + "\\\\A\\");
  EXPECT_EQ(port().openKey(k, "").value, k) << "an empty subkey gives the same handle";
  EXPECT_TRUE(port().openKey(hkey::kCurrentUser, sub + "\\A").ok()) << "empty names between backslashes are skipped";
  EXPECT_EQ(port().closeKey(k), err::kSuccess);
  EXPECT_EQ(port().closeKey(k), err::kInvalidHandle);
  EXPECT_EQ(port().closeKey(hkey::kLocalMachine), err::kSuccess);
}

TEST_F(Port, NameLengthsHaveTheAnsiCallsLimits) {
  const RegKey k = create(sub);
  for (std::size_t length : {255u, 256u}) {
    auto named = port().createKey(k, std::string(length, 'k'));
    EXPECT_TRUE(named.ok()) << length;
    port().closeKey(named.value);
  }
  EXPECT_EQ(port().createKey(k, std::string(257, 'k')).error, err::kInvalidParameter);
  const std::string nested = std::string(200, 'a') + "\\" + std::string(55, 'b');
  auto longest = port().createKey(k, nested + "\\" + std::string(3, 'c'));
  EXPECT_TRUE(longest.ok()) << "260 characters";
  port().closeKey(longest.value);
  EXPECT_EQ(port().createKey(k, nested + "\\" + std::string(4, 'c')).error, err::kMoreData) << "261 characters";
  EXPECT_EQ(port().setValue(k, std::string(16383, 'v'), regtype::kString, "a"), err::kSuccess);
  EXPECT_EQ(port().setValue(k, std::string(16384, 'v'), regtype::kString, "a"), err::kInvalidParameter);
  // The 256-character name does not fit a 255-character buffer.
  EXPECT_EQ(port().enumKey(k, 2, 256).error, err::kMoreData);
  EXPECT_EQ(port().enumKey(k, 2, 257).value, std::string(256, 'k'));
  port().closeKey(k);
}

TEST_F(Port, EnumerationGoesInNameOrderAndReportsShortBuffers) {
  const RegKey k = create(sub);
  for (const std::string name : {"b", "A", "a_", "a[", "aZ", "_"}) {
    port().closeKey(create(sub + "\\" + name));
    ASSERT_EQ(port().setValue(k, name, regtype::kBinary, "0123456789"), err::kSuccess);
  }
  std::vector<std::string> keys, values;
  for (std::uint32_t i = 0; port().enumKey(k, i, 255).ok(); ++i) keys.push_back(port().enumKey(k, i, 255).value);
  for (std::uint32_t i = 0; port().enumValue(k, i, 255, 255).ok(); ++i)
    values.push_back(port().enumValue(k, i, 255, 255).value.name);
  const std::vector<std::string> order{"_", "A", "a[", "a_", "aZ", "b"};
  EXPECT_EQ(keys, order);
  EXPECT_EQ(values, order);
  EXPECT_EQ(port().enumKey(k, 6, 255).error, err::kNoMoreItems);
  EXPECT_EQ(port().enumKey(k, 0, 1).error, err::kMoreData) << "no room for the NUL";

  auto shortData = port().enumValue(k, 5, 255, 4);
  EXPECT_EQ(shortData.error, err::kMoreData);
  EXPECT_EQ(shortData.value.name, "") << "not given when the data does not fit";
  EXPECT_EQ(shortData.value.value.type, regtype::kBinary);
  EXPECT_EQ(shortData.value.value.size, 10u);
  auto shortName = port().enumValue(k, 2, 2, 255);
  EXPECT_EQ(shortName.error, err::kMoreData);
  EXPECT_EQ(shortName.value.name, "a");

  EXPECT_EQ(port().queryValue(k, "b", 4).error, err::kMoreData);
  EXPECT_EQ(port().queryValue(k, "b", 4).value.size, 10u);
  EXPECT_EQ(port().queryValue(k, "B", std::nullopt).value.size, 10u);
  EXPECT_EQ(port().queryValue(k, "missing", std::nullopt).error, err::kFileNotFound);
  port().closeKey(k);
}

TEST_F(Port, StringsReadBackWithATerminatingNul) {
  const RegKey k = create(sub);
  ASSERT_EQ(port().setValue(k, "noNul", regtype::kString, "abc"), err::kSuccess);
  ASSERT_EQ(port().setValue(k, "expand", regtype::kExpandString, "abc"), err::kSuccess);
  ASSERT_EQ(port().setValue(k, "empty", regtype::kString, ""), err::kSuccess);
  ASSERT_EQ(port().setValue(k, "binary", regtype::kBinary, "abc"), err::kSuccess);
  EXPECT_EQ(port().queryValue(k, "noNul", 255).value.data, std::string("abc\0", 4));
  EXPECT_EQ(port().queryValue(k, "expand", 255).value.size, 4u);
  EXPECT_EQ(port().queryValue(k, "noNul", 3).error, err::kMoreData);
  EXPECT_EQ(port().queryValue(k, "empty", 255).value.size, 0u);
  EXPECT_EQ(port().queryValue(k, "binary", 255).value.data, "abc");
  port().closeKey(k);
}

TEST_F(Port, HandlesAllowOnlyTheAccessTheyWereOpenedFor) {
  port().closeKey(create(sub + "\\Child"));
  auto setter = port().openKeyEx(hkey::kCurrentUser, sub, keyaccess::kSetValue);
  ASSERT_TRUE(setter.ok());
  EXPECT_EQ(port().setValue(setter.value, "v", regtype::kString, std::string("x\0", 2)), err::kSuccess);
  EXPECT_EQ(port().queryValue(setter.value, "v", 255).error, err::kAccessDenied);
  EXPECT_EQ(port().enumValue(setter.value, 0, 255, 255).error, err::kAccessDenied);
  EXPECT_EQ(port().deleteKey(setter.value, ""), err::kAccessDenied);
  port().closeKey(setter.value);

  auto reader = port().openKeyEx(hkey::kCurrentUser, sub, keyaccess::kRead);
  ASSERT_TRUE(reader.ok());
  EXPECT_EQ(port().setValue(reader.value, "v", regtype::kString, "y"), err::kAccessDenied);
  EXPECT_EQ(port().deleteValue(reader.value, "v"), err::kAccessDenied);
  EXPECT_EQ(port().queryValue(reader.value, "v", 255).value.data, std::string("x\0", 2));
  port().closeKey(reader.value);
}

TEST_F(Port, DeletingRefusesKeysWithSubkeysAndLeavesHandlesOfDeletedKeysDead) {
  const RegKey parent = create(sub);
  const RegKey child = create(sub + "\\Child");
  EXPECT_EQ(port().deleteKey(parent, ""), err::kAccessDenied);
  EXPECT_EQ(port().deleteKey(hkey::kCurrentUser, sub), err::kAccessDenied);
  EXPECT_EQ(port().deleteKey(parent, "Missing"), err::kFileNotFound);
  EXPECT_EQ(port().deleteValue(parent, "missing"), err::kFileNotFound);

  EXPECT_EQ(port().deleteKey(child, ""), err::kSuccess);
  EXPECT_EQ(port().setValue(child, "v", regtype::kString, "x"), err::kKeyDeleted);
  EXPECT_EQ(port().queryValue(child, "v", 255).error, err::kKeyDeleted);
  EXPECT_EQ(port().enumKey(child, 0, 255).error, err::kKeyDeleted);
  EXPECT_EQ(port().enumValue(child, 0, 255, 255).error, err::kKeyDeleted);
  EXPECT_EQ(port().closeKey(child), err::kSuccess);
  EXPECT_EQ(port().enumKey(parent, 0, 255).error, err::kNoMoreItems);
  EXPECT_EQ(port().deleteKey(parent, "\\"), err::kBadPathname);
  EXPECT_EQ(port().deleteKey(parent, ""), err::kSuccess);
  port().closeKey(parent);
}

}  // namespace
}  // namespace tlv::testing
