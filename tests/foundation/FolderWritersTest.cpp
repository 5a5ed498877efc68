// Native: the rule for folders whose files the elevated program registers: only SYSTEM,
// Administrators, TrustedInstaller and the administrator running it may change them.
#include <gtest/gtest.h>

#include "platform/FolderWriters.h"

namespace tlv::testing {
namespace {

using platform::AccessEntry;

TEST(FolderWriters, OnlyAdministratorsMayChangeTheFolder) {
  constexpr std::uint32_t kFull = 0x1F01FF, kReadAndRun = 0x1200A9, kAddFile = 0x0002;
  const std::string me = "S-1-5-21-1-2-3-1001";
  const AccessEntry system{"S-1-5-18", kFull}, administrators{"S-1-5-32-544", kFull};
  struct Case {
    const char* name;
    std::vector<AccessEntry> accessList;
    bool onlyAdministrators;
  };
  const Case cases[] = {
      {"Program Files as Windows keeps it", {system, administrators, {"S-1-5-32-545", kReadAndRun}}, true},
      {"the running administrator, as Wine reports every folder", {system, {me, kFull}, {"S-1-1-0", kReadAndRun}}, true},
      {"Users may add files", {system, administrators, {"S-1-5-32-545", kAddFile}}, false},
      {"Everyone may write", {system, {"S-1-1-0", 0x40000000}}, false},
      {"another user has full access", {system, {"S-1-5-21-1-2-3-1002", kFull}}, false},
      {"CREATOR OWNER, for what is made inside only", {system, {"S-1-3-0", kFull, true, true}}, true},
      {"a denying entry grants nothing", {system, {"S-1-5-32-545", kFull, false}}, true},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(platform::onlyAdministratorsChange(c.accessList, me), c.onlyAdministrators) << c.name;
  }
}

}  // namespace
}  // namespace tlv::testing
