// Portable: the service tools' rules: instsrv's arguments and its service binary path, and
// srvany's launch plan from the Parameters values.
#include <gtest/gtest.h>

#include <algorithm>
#include <set>
#include <vector>

#include "app/ServiceRegistryKeys.h"
#include "platform/WindowsPath.h"
#include "tools/common/ServiceKeys.h"
#include "tools/common/WatchValues.h"
#include "tools/instsrv/InstsrvArguments.h"
#include "tools/srvany/LaunchPlan.h"

namespace tlv::tools {
namespace {

TEST(InstsrvArguments, ParsesTheTwoCommandsAndRejectsEverythingElse) {
  struct Case {
    std::vector<const char*> args;
    bool valid;
    InstsrvCommand::Kind kind;
    const char* path;
  };
  const Case cases[] = {
      {{"instsrv", "OrbitTender", "C:\\Windows\\srvany.exe"},
       true,
       InstsrvCommand::Kind::Install,
       "C:\\Windows\\srvany.exe"},
      {{"instsrv", "OrbitTender", "REMOVE"}, true, InstsrvCommand::Kind::Remove, ""},
      {{"instsrv", "OrbitTender", "remove"}, true, InstsrvCommand::Kind::Remove, ""},
      {{"instsrv", "OrbitTender", "\\\\server\\share\\srvany.exe"},
       true,
       InstsrvCommand::Kind::Install,
       "\\\\server\\share\\srvany.exe"},
      {{"instsrv"}, false, {}, ""},
      {{"instsrv", "OrbitTender"}, false, {}, ""},
      {{"instsrv", "OrbitTender", "C:\\Windows\\srvany.exe", "extra"}, false, {}, ""},
      {{"instsrv", "", "C:\\Windows\\srvany.exe"}, false, {}, ""},
      {{"instsrv", "Orbit\\Tender", "C:\\Windows\\srvany.exe"}, false, {}, ""},
      {{"instsrv", "OrbitTender", "srvany.exe"}, false, {}, ""},
      {{"instsrv", "OrbitTender", "Windows\\srvany.exe"}, false, {}, ""},
      {{"instsrv", "OrbitTender", "C:srvany.exe"}, false, {}, ""},
      {{"instsrv", "OrbitTender", "REMOVED"}, false, {}, ""},
      {{"instsrv", "OrbitTender", "C:\\a\"b.exe"}, false, {}, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(::testing::PrintToString(std::vector<std::string>(c.args.begin(), c.args.end())));
    const auto command = parseInstsrvArguments(static_cast<int>(c.args.size()), c.args.data());
    ASSERT_EQ(command.has_value(), c.valid);
    if (!c.valid) continue;
    EXPECT_EQ(command->serviceName, c.args[1]);
    EXPECT_EQ(command->kind, c.kind);
    EXPECT_EQ(command->programPath, c.path);
  }
}

TEST(InstsrvArguments, BinaryPathIsQuotedOnlyWhenItHoldsABlank) {
  EXPECT_EQ(serviceBinaryPath("C:\\Windows\\srvany.exe"), "C:\\Windows\\srvany.exe");
  EXPECT_EQ(serviceBinaryPath("C:\\Program Files\\Tools\\srvany.exe"), "\"C:\\Program Files\\Tools\\srvany.exe\"");
}

TEST(ServiceKeys, SrvanyReadsWhereTheProgramWritesApplication) {
  EXPECT_EQ("HKEY_LOCAL_MACHINE\\" + parametersKeyPath("OrbitTender"), app::kParametersKey);
}

TEST(WatchValues, UtcTextsReadBackAndNothingElseReads) {
  for (const std::int64_t seconds : {0LL, 951782400LL /* 2000-02-29 */, 1796827800LL, 4102444799LL}) {
    EXPECT_EQ(parseUtcText(utcText(seconds)), seconds) << utcText(seconds);
  }
  EXPECT_EQ(utcText(1796827800), "2026-12-09T14:50:00Z");
  for (const char* bad : {"", "2026-12-09 14:50:00Z", "2026-12-09T14:50:00", "2026-02-29T00:00:00Z",
                          "2026-13-01T00:00:00Z", "2026-12-09T24:00:00Z", "2026-12-09T14:5x:00Z"}) {
    EXPECT_FALSE(parseUtcText(bad)) << bad;
  }
}

TEST(LaunchPlan, NamesTheProgramAsModuleAndQuotesItOnTheCommandLine) {
  struct Case {
    ProgramSettings settings;
    std::string applicationName, commandLine, startFolder;
  };
  const Case cases[] = {
      {{"C:\\Program Files\\Orbit-Tender\\Orbit-Tender.exe", "", ""},
       "C:\\Program Files\\Orbit-Tender\\Orbit-Tender.exe",
       "\"C:\\Program Files\\Orbit-Tender\\Orbit-Tender.exe\"",
       "C:\\Program Files\\Orbit-Tender\\"},
      {{" \"C:\\App Dir\\app.exe\" ", "  -a \"b c\" ", "D:\\work"},
       "C:\\App Dir\\app.exe",
       "\"C:\\App Dir\\app.exe\" -a \"b c\"",
       "D:\\work"},
      {{"C:\\app.exe", "", "\"D:\\start here\""}, "C:\\app.exe", "\"C:\\app.exe\"", "D:\\start here"},
      // Tabs count as blanks, also inside the quotes.
      {{"\t\" C:\\App Dir\\app.exe\t\"", "\t-a\t", "\t\"\tD:\\start here \"\t"},
       "C:\\App Dir\\app.exe",
       "\"C:\\App Dir\\app.exe\" -a",
       "D:\\start here"},
      {{"app.exe", "", ""}, "app.exe", "\"app.exe\"", ""},
  };
  const FileExists noFiles = [](const std::string&) { return false; };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.settings.application);
    const auto plan = planLaunch(c.settings, noFiles);
    ASSERT_TRUE(plan.ok());
    EXPECT_EQ(plan.value.applicationName, c.applicationName);
    EXPECT_EQ(plan.value.commandLine(), c.commandLine);
    EXPECT_EQ(plan.value.startFolder, c.startFolder);
  }
  for (const char* application : {"", "   ", "\"\"", "C:\\a\"b.exe"}) {
    SCOPED_TRACE(application);
    EXPECT_EQ(planLaunch({application, "", ""}, noFiles).error, platform::err::kInvalidData);
  }
}

TEST(LaunchPlan, AProgramFollowedByArgumentsIsSplitOnlyWhereTheProgramExists) {
  const std::set<std::string> files{"C:\\Apps\\OT\\Orbit-Tender.exe", "C:\\Program.exe",
                                    "C:\\Program Files\\OT\\Orbit-Tender.exe", "C:\\a.exe b.exe"};
  // Windows finds files without regard to case.
  const FileExists exists = [&files](const std::string& path) {
    return std::any_of(files.begin(), files.end(), [&](const std::string& file) { return platform::equalsNoCase(file, path); });
  };
  struct Case {
    std::string application, parameters, applicationName, commandLine;
  };
  const Case cases[] = {
      {"C:\\Apps\\OT\\Orbit-Tender.exe C:\\arg.txt", "-v", "C:\\Apps\\OT\\Orbit-Tender.exe",
       "\"C:\\Apps\\OT\\Orbit-Tender.exe\" C:\\arg.txt -v"},
      {"C:\\Apps\\OT\\Orbit-Tender.EXE\t a  b ", "", "C:\\Apps\\OT\\Orbit-Tender.EXE",
       "\"C:\\Apps\\OT\\Orbit-Tender.EXE\" a  b"},
      // The whole value names a file: never split, and no planted program stands in for it.
      {"C:\\Program Files\\OT\\Orbit-Tender.exe", "", "C:\\Program Files\\OT\\Orbit-Tender.exe",
       "\"C:\\Program Files\\OT\\Orbit-Tender.exe\""},
      {"C:\\a.exe b.exe", "", "C:\\a.exe b.exe", "\"C:\\a.exe b.exe\""},
      {"C:\\Program Files\\OT\\Orbit-Tender.exe x", "", "C:\\Program Files\\OT\\Orbit-Tender.exe",
       "\"C:\\Program Files\\OT\\Orbit-Tender.exe\" x"},
      // No existing program before the arguments: the value stays whole and fails to start.
      {"C:\\Missing.exe arg", "", "C:\\Missing.exe arg", "\"C:\\Missing.exe arg\""},
      {"C:\\Apps\\OT\\Orbit-Tender.exec arg", "", "C:\\Apps\\OT\\Orbit-Tender.exec arg",
       "\"C:\\Apps\\OT\\Orbit-Tender.exec arg\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.application);
    const auto plan = planLaunch({c.application, c.parameters, ""}, exists);
    ASSERT_TRUE(plan.ok());
    EXPECT_EQ(plan.value.applicationName, c.applicationName);
    EXPECT_EQ(plan.value.commandLine(), c.commandLine);
  }
}

}  // namespace
}  // namespace tlv::tools
