// Portable: the robot's command line, its argument quoting and caption matching.
#include <gtest/gtest.h>

#include "tools/robot/RobotCommand.h"

namespace tlv::tools::robot {
namespace {

TEST(RobotCommand, ParsesEachCommandWithItsOptions) {
  auto start = parseRobotCommand({"start", "--dump", "--dir", "C:\\Run", "C:\\App\\a.exe", "--watch", "x"});
  ASSERT_TRUE(start.command) << start.error;
  EXPECT_EQ(start.command->verb, Verb::Start);
  EXPECT_TRUE(start.command->dump);
  EXPECT_FALSE(start.command->watch);
  EXPECT_EQ(start.command->folder, "C:\\Run");
  EXPECT_EQ(start.command->program, "C:\\App\\a.exe");
  EXPECT_EQ(start.command->arguments, (std::vector<std::string>{"--watch", "x"})) << "the program's own arguments";

  EXPECT_TRUE(parseRobotCommand({"start", "--watch", "a.exe"}).command.value().watch);

  auto type = parseRobotCommand({"type", "--title", "Find", "--class", "#32770", "--pid", "42", "--edit-id", "101",
                                 "--timeout", "250", "--", "--t"});
  ASSERT_TRUE(type.command) << type.error;
  EXPECT_EQ(type.command->window.title, "Find");
  EXPECT_EQ(type.command->window.className, "#32770");
  EXPECT_EQ(type.command->window.pid, 42ul);
  EXPECT_EQ(type.command->editId, 101);
  EXPECT_FALSE(type.command->editIndex.has_value());
  EXPECT_EQ(type.command->timeoutMs, 250u);
  EXPECT_EQ(type.command->operand, "--t") << "after --, a text may look like an option";

  auto exit = parseRobotCommand({"waitexit", "1234"});
  ASSERT_TRUE(exit.command) << exit.error;
  EXPECT_EQ(exit.command->pid, 1234ul);
  EXPECT_EQ(exit.command->timeoutMs, 10000u) << "the default wait";
}

TEST(RobotCommand, RefusesWhatItCannotDoWithAReason) {
  const std::pair<std::vector<std::string>, std::string> cases[] = {
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
  for (const auto& [args, error] : cases) {
    SCOPED_TRACE(error);
    const auto parsed = parseRobotCommand(args);
    EXPECT_FALSE(parsed.command.has_value());
    EXPECT_EQ(parsed.error, error);
  }
}

TEST(RobotCommand, QuotesArgumentsAsTheRuntimeSplitsThem) {
  const std::pair<std::string, std::string> cases[] = {
      {"plain", "plain"},
      {"", "\"\""},
      {"C:\\Program Files\\a.exe", "\"C:\\Program Files\\a.exe\""},
      {"C:\\no space\\", "\"C:\\no space\\\\\""},  // a final backslash would escape the quote
      {"C:\\dir\\", "C:\\dir\\"},                  // no quotes, so backslashes stay single
      {"say \"hi\"", "\"say \\\"hi\\\"\""},
      {"a\\\"b", "\"a\\\\\\\"b\""},                // backslashes before a quote double, plus one
      {"tab\there", "\"tab\there\""},
  };
  for (const auto& [argument, quoted] : cases) EXPECT_EQ(quoteArgument(argument), quoted) << argument;
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
