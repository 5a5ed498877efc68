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

}  // namespace
}  // namespace tlv::testing
