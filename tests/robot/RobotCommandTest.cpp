// Portable: the robot's command line, its argument quoting and caption matching.
#include <gtest/gtest.h>

#include "tools/robot/RobotCommand.h"

namespace tlv::tools::robot {
namespace {

TEST(RobotCommand, ParsesEachCommandWithItsOptions) {
  auto start = parseRobotCommand({"start", "--dump", "--dir", "C:\\Run", "C:\\App\\a.exe", "--title", "x"});
  ASSERT_TRUE(start.command) << start.error;
  EXPECT_EQ(start.command->verb, Verb::Start);
  EXPECT_TRUE(start.command->dump);
  EXPECT_EQ(start.command->folder, "C:\\Run");
  EXPECT_EQ(start.command->program, "C:\\App\\a.exe");
  EXPECT_EQ(start.command->arguments, (std::vector<std::string>{"--title", "x"})) << "the program's own arguments";
  EXPECT_FALSE(start.command->watch);

  auto watch = parseRobotCommand({"start", "--watch", "--timeout", "30000", "C:\\App\\a.exe", "--watch"});
  ASSERT_TRUE(watch.command) << watch.error;
  EXPECT_TRUE(watch.command->watch);
  EXPECT_FALSE(watch.command->dump);
  EXPECT_EQ(watch.command->timeoutMs, 30000u);
  EXPECT_EQ(watch.command->arguments, std::vector<std::string>{"--watch"}) << "the program's own argument";

  auto type = parseRobotCommand({"type", "--title", "Find", "--class", "#32770", "--edit-id", "101", "--", "--text"});
  ASSERT_TRUE(type.command) << type.error;
  EXPECT_EQ(type.command->window.title, "Find");
  EXPECT_EQ(type.command->window.className, "#32770");
  EXPECT_EQ(type.command->editId, 101);
  EXPECT_FALSE(type.command->editIndex.has_value());
  EXPECT_EQ(type.command->operand, "--text") << "after --, a text may look like an option";

  auto press = parseRobotCommand({"press", "--pid", "42", "--timeout", "250", "OK"});
  ASSERT_TRUE(press.command) << press.error;
  EXPECT_EQ(press.command->window.pid, 42ul);
  EXPECT_EQ(press.command->timeoutMs, 250u);
  EXPECT_EQ(press.command->operand, "OK");

  auto exit = parseRobotCommand({"waitexit", "1234"});
  ASSERT_TRUE(exit.command) << exit.error;
  EXPECT_EQ(exit.command->pid, 1234ul);
  EXPECT_EQ(exit.command->timeoutMs, 10000u) << "the default wait";
}

TEST(RobotCommand, RefusesWhatItCannotDoWithAReason) {
  struct Case {
    std::vector<std::string> args;
    std::string error;
  };
  const std::vector<Case> cases{
      {{}, "no command (see tlvrobot help)"},
      {{"click"}, "unknown command \"click\""},
      {{"wait"}, "name the window with --title, --class or --pid"},
      {{"wait", "--title"}, "--title needs a value"},
      {{"wait", "--title", "T", "extra"}, "wrong number of arguments (see tlvrobot help)"},
      {{"press", "--title", "T"}, "wrong number of arguments (see tlvrobot help)"},
      {{"start"}, "wrong number of arguments (see tlvrobot help)"},
      {{"wait", "--pid", "x1"}, "--pid needs a process id, not \"x1\""},
      {{"wait", "--title", "T", "--timeout", "-5"}, "--timeout needs a number of milliseconds, not \"-5\""},
      {{"wait", "--title", "T", "--dump"}, "unknown option --dump for this command"},
      {{"wait", "--title", "T", "--watch"}, "unknown option --watch for this command"},
      {{"wait", "--title", "T", "--edit", "0"}, "unknown option --edit for this command"},
      {{"type", "--title", "T", "text"}, "type needs exactly one of --edit and --edit-id"},
      {{"type", "--title", "T", "--edit", "0", "--edit-id", "5", "text"},
       "type needs exactly one of --edit and --edit-id"},
      {{"type", "--title", "T", "--edit", "one", "text"}, "--edit needs a number, not \"one\""},
      {{"kill", "12a"}, "a process id is a number, not \"12a\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.error);
    const auto parsed = parseRobotCommand(c.args);
    EXPECT_FALSE(parsed.command.has_value());
    EXPECT_EQ(parsed.error, c.error);
  }
}

TEST(RobotCommand, QuotesArgumentsAsTheRuntimeSplitsThem) {
  struct Case {
    std::string argument;
    std::string quoted;
  };
  const std::vector<Case> cases{
      {"plain", "plain"},
      {"", "\"\""},
      {"C:\\Program Files\\a.exe", "\"C:\\Program Files\\a.exe\""},
      {"C:\\no space\\", "\"C:\\no space\\\\\""},  // a final backslash would escape the quote
      {"C:\\dir\\", "C:\\dir\\"},                  // no quotes, so backslashes stay single
      {"say \"hi\"", "\"say \\\"hi\\\"\""},
      {"a\\\"b", "\"a\\\\\\\"b\""},                // backslashes before a quote double, plus one
      {"tab\there", "\"tab\there\""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.argument);
    EXPECT_EQ(quoteArgument(c.argument), c.quoted);
  }
  EXPECT_EQ(buildCommandLine("C:\\My Tools\\x.exe", {"log", "-3", "", "C:\\a b\\"}),
            "\"C:\\My Tools\\x.exe\" log -3 \"\" \"C:\\a b\\\\\"");
}

TEST(RobotCommand, CaptionsMatchAsAPersonReadsThem) {
  EXPECT_EQ(plainCaption("&OK"), "OK");
  EXPECT_EQ(plainCaption("Save && Exit"), "Save & Exit");
  EXPECT_EQ(plainCaption("&Open...\tCtrl+O"), "Open...");
  EXPECT_EQ(plainCaption("Create Tol Vane Service"), "Create Tol Vane Service");
  EXPECT_EQ(plainCaption("trailing&"), "trailing");
}

}  // namespace
}  // namespace tlv::tools::robot
