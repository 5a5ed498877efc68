// Contract suite of the system-information port: what the sim machine and Wine must agree
// on, whatever the machine's own answers are.
#include <gtest/gtest.h>

#include "tests/contract/TestMachine.h"

namespace tlv::testing {
namespace {

class SystemInfoContract : public ::testing::Test {
 protected:
  void SetUp() override { machine = makeTestMachine(); }
  platform::SystemInfo& info() { return machine->platform().systemInfo; }
  std::unique_ptr<TestMachine> machine;
};

TEST_F(SystemInfoContract, AUserNameBufferTooSmallNamesTheLengthItNeeds) {
  const auto tooSmall = info().networkUserName(1);
  ASSERT_EQ(tooSmall.error, platform::err::kMoreData);
  ASSERT_GT(tooSmall.value.requiredLength, 1u);

  const auto fitted = info().networkUserName(tooSmall.value.requiredLength);
  ASSERT_TRUE(fitted.ok()) << "error " << fitted.error;
  EXPECT_FALSE(fitted.value.name.empty());
  EXPECT_LT(fitted.value.name.size(), tooSmall.value.requiredLength) << "the length counts the terminating NUL";
  EXPECT_EQ(fitted.value.name.find('\0'), std::string::npos);
  EXPECT_EQ(info().networkUserName(256).value.name, fitted.value.name);
}

TEST_F(SystemInfoContract, TheComputerNameFitsTheProgramsBufferButNotOneCharacter) {
  const auto name = info().computerName(255);
  ASSERT_TRUE(name.ok()) << "error " << name.error;
  EXPECT_FALSE(name.value.empty());
  EXPECT_EQ(name.value.find('\0'), std::string::npos);
  EXPECT_FALSE(info().computerName(1).ok());
}

TEST_F(SystemInfoContract, ThePlainAndExtendedVersionRecordsAgree) {
  const auto plain = info().versionInfo();
  const auto extended = info().versionInfoEx();
  ASSERT_TRUE(plain.ok()) << "error " << plain.error;
  ASSERT_TRUE(extended.ok()) << "error " << extended.error;
  EXPECT_EQ(plain.value.servicePack.size(), 128u) << "the whole field";
  EXPECT_EQ(static_cast<std::uint32_t>(plain.value.majorVersion), extended.value.majorVersion);
  EXPECT_EQ(static_cast<std::uint32_t>(plain.value.minorVersion), extended.value.minorVersion);
  EXPECT_EQ(plain.value.platformId, 2) << "the NT family";
  EXPECT_GE(extended.value.productType, platform::product::kWorkstation);
  EXPECT_LE(extended.value.productType, platform::product::kServer);
}

TEST_F(SystemInfoContract, EntriesAreFoundByNameInALoadedModuleOnly) {
  const std::uintptr_t kernel = info().moduleHandle("kernel32");
  EXPECT_NE(kernel, 0u);
  EXPECT_EQ(info().moduleHandle("NoSuchModule"), 0u);
  EXPECT_EQ(info().procAddress(kernel, "NoSuchEntry"), 0u);
  EXPECT_EQ(info().procAddress(0, "IsWow64Process"), 0u);
  EXPECT_FALSE(info().isWow64Process(0).ok());
}

}  // namespace
}  // namespace tlv::testing
