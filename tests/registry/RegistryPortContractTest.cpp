// Contract suite of the registry port itself: the sim registry must answer as Wine does.
// The order of names in listings is proven through the class (RegistryKeysContractTest).
#include "tests/registry/RegistryFixture.h"

namespace tlv::testing {
namespace {

using platform::RegKey;
using platform::ScopedRegKey;
namespace err = platform::err;
namespace hkey = platform::hkey;
namespace keyaccess = platform::keyaccess;
namespace regtype = platform::regtype;

class Port : public RegistryContract {
 protected:
  const std::string sub = "Software\\TlvAsServiceTests";
  ScopedRegKey create(const std::string& path) {
    auto k = port().createKey(hkey::kCurrentUser, path);
    EXPECT_TRUE(k.ok()) << path << " error " << k.error;
    return std::move(k.value);
  }
};

TEST_F(Port, OpeningCreatingAndClosingGiveTheSystemsCodesAndLimits) {
  EXPECT_EQ(port().openKeyEx(hkey::kCurrentUser, sub, keyaccess::kRead).error, err::kFileNotFound);
  EXPECT_EQ(port().openKey(hkey::kCurrentUser, sub + "\\Deeper").error, err::kFileNotFound);
  EXPECT_EQ(port().openKeyEx(hkey::kCurrentUser, "\\Software", keyaccess::kRead).error, err::kBadPathname);
  EXPECT_EQ(port().openKeyEx(hkey::kNone, "Software", keyaccess::kRead).error, err::kInvalidHandle);
  EXPECT_EQ(port().createKey(hkey::kNone, "Software").error, err::kInvalidHandle);
  EXPECT_EQ(port().openKey(hkey::kNone, "").value.release(), hkey::kNone)
      << "the plain open gives back any handle for an empty subkey";
  EXPECT_EQ(port().openKeyEx(hkey::kCurrentUser, "", keyaccess::kRead).value.get(), hkey::kCurrentUser);

  ScopedRegKey k = create(sub + "\\\\A\\");
  EXPECT_EQ(port().openKey(k.get(), "").value.release(), k.get()) << "an empty subkey gives the same handle";
  EXPECT_TRUE(port().openKey(hkey::kCurrentUser, sub + "\\A").ok()) << "empty names between backslashes are skipped";

  // The ANSI calls' limits: 256 characters a name, 260 a path, 16,383 a value name.
  const auto made = [&](const std::string& path) { return port().createKey(k.get(), path).error; };
  EXPECT_EQ(made(std::string(256, 'k')), err::kSuccess);
  EXPECT_EQ(made(std::string(257, 'k')), err::kInvalidParameter);
  const std::string nested = std::string(200, 'a') + "\\" + std::string(55, 'b') + "\\";
  EXPECT_EQ(made(nested + "ccc"), err::kSuccess);
  EXPECT_EQ(made(nested + "cccc"), err::kMoreData);
  EXPECT_EQ(port().setValue(k.get(), std::string(16383, 'v'), regtype::kString, "a"), err::kSuccess);
  EXPECT_EQ(port().setValue(k.get(), std::string(16384, 'v'), regtype::kString, "a"), err::kInvalidParameter);

  // The owner closes through the port once; the moved-from owner closes nothing.
  ScopedRegKey moved = std::move(k);
  const RegKey handle = moved.get();
  EXPECT_FALSE(k);  // NOLINT(bugprone-use-after-move): a moved-from owner is empty by design
  EXPECT_EQ(k.reset(), err::kSuccess);
  EXPECT_EQ(moved.reset(), err::kSuccess);
  EXPECT_EQ(port().closeKey(handle), err::kInvalidHandle);
  EXPECT_EQ(port().closeKey(hkey::kLocalMachine), err::kSuccess);
}

TEST_F(Port, ShortBuffersReportMoreDataWithTheSizeNeeded) {
  const ScopedRegKey owner = create(sub);
  const RegKey k = owner.get();
  create(sub + "\\Child");
  ASSERT_EQ(port().setValue(k, "ab", regtype::kBinary, "0123456789"), err::kSuccess);
  EXPECT_EQ(port().enumKey(k, 0, 5).error, err::kMoreData) << "no room for the NUL";
  EXPECT_EQ(port().enumKey(k, 1, 255).error, err::kNoMoreItems);
  auto shortData = port().enumValue(k, 0, 255, 4);
  EXPECT_EQ(shortData.error, err::kMoreData);
  EXPECT_EQ(shortData.value.name, "") << "not given when the data does not fit";
  EXPECT_EQ(shortData.value.value.size, 10u);
  EXPECT_EQ(port().enumValue(k, 0, 2, 255).value.name, "a") << "the name cut to its buffer";
  EXPECT_EQ(port().queryValue(k, "ab", 4).error, err::kMoreData);
  EXPECT_EQ(port().queryValue(k, "ab", 4).value.size, 10u);
}

TEST_F(Port, HandlesAllowOnlyTheirAccessAndDieWithTheirKey) {
  ScopedRegKey child = create(sub + "\\Child");
  {
    auto setter = port().openKeyEx(hkey::kCurrentUser, sub, keyaccess::kSetValue);
    ASSERT_TRUE(setter.ok());
    const RegKey k = setter.value.get();
    EXPECT_EQ(port().setValue(k, "v", regtype::kString, std::string("x\0", 2)), err::kSuccess);
    EXPECT_EQ(port().queryValue(k, "v", 255).error, err::kAccessDenied);
    EXPECT_EQ(port().deleteKey(k, ""), err::kAccessDenied);
  }
  {
    auto reader = port().openKeyEx(hkey::kCurrentUser, sub, keyaccess::kRead);
    ASSERT_TRUE(reader.ok());
    const RegKey k = reader.value.get();
    EXPECT_EQ(port().setValue(k, "v", regtype::kString, "y"), err::kAccessDenied);
    EXPECT_EQ(port().deleteValue(k, "v"), err::kAccessDenied);
    EXPECT_EQ(port().queryValue(k, "v", 255).value.data, std::string("x\0", 2));
  }

  const ScopedRegKey parent = create(sub);
  EXPECT_EQ(port().deleteKey(parent.get(), "Missing"), err::kFileNotFound);
  EXPECT_EQ(port().deleteKey(child.get(), ""), err::kSuccess);
  EXPECT_EQ(port().setValue(child.get(), "v", regtype::kString, "x"), err::kKeyDeleted);
  EXPECT_EQ(port().enumKey(child.get(), 0, 255).error, err::kKeyDeleted);
  EXPECT_EQ(child.reset(), err::kSuccess) << "a deleted key's handle still closes";
  EXPECT_EQ(port().enumKey(parent.get(), 0, 255).error, err::kNoMoreItems);
  EXPECT_EQ(port().deleteKey(parent.get(), "\\"), err::kBadPathname);
}

// A key's owner and rights are set whole and read back as set (Wine keeps keys' descriptors),
// through a handle that may change them only.
TEST_F(Port, AKeysOwnerAndRightsAreSetWholeAndReadBackAsSet) {
  namespace sid = platform::sid;
  const platform::SecurityDescriptor given{
      sid::kAdministrators,
      {{sid::kSystem, keyaccess::kAllAccess}, {sid::kAdministrators, keyaccess::kAllAccess}, {sid::kUsers, keyaccess::kRead}}};
  const ScopedRegKey k = create(sub);
  ASSERT_EQ(port().setKeySecurity(k.get(), given), err::kSuccess);
  EXPECT_EQ(port().keySecurity(k.get()).value, given);
  auto reader = port().openKeyEx(hkey::kCurrentUser, sub, keyaccess::kRead);
  ASSERT_TRUE(reader.ok());
  EXPECT_EQ(port().setKeySecurity(reader.value.get(), given), err::kAccessDenied);
}

}  // namespace
}  // namespace tlv::testing
