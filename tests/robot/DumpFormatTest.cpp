// Portable: the robot's output lines: every text comes back byte for byte, and lines that
// are not in the format are refused.
#include <gtest/gtest.h>

#include "tools/robot/DumpFormat.h"

namespace tlv::tools::robot {
namespace {

TEST(DumpFormat, TextsComeBackByteForByte) {
  const std::vector<std::string> texts{
      "",
      "Status",
      "C:\\Tools\\instsrv.exe\r\n                       ",
      "say \"hi\"\tthere\\",
      std::string("nul\0bell\x07 del\x7F", 14),
      "caf\xE9 \xFF ansi",
      "\\x41 is not an escape here",
      "key=value \"quoted\"",
  };
  for (const auto& text : texts) {
    SCOPED_TRACE(text);
    const std::string line = DumpLine("static").number("index", 3).text("text", text).text("after", "x").format();
    EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "one line whatever the text";
    const auto parsed = DumpLine::parse(line);
    ASSERT_TRUE(parsed.has_value()) << line;
    EXPECT_EQ(parsed->kind(), "static");
    EXPECT_EQ(parsed->field("text"), text);
    EXPECT_EQ(parsed->field("after"), "x");
    EXPECT_EQ(parsed->numberField("index"), 3);
  }
}

TEST(DumpFormat, LinesReadAsTheUsageTextShowsThem) {
  EXPECT_EQ(DumpLine("window").hex("hwnd", 0x10064).number("pid", 1234).text("title", "Make Service").format(),
            "window hwnd=0x00010064 pid=1234 title=\"Make Service\"");
  EXPECT_EQ(quoteText("a\\b\"c\r\n\t\x01"), "\"a\\\\b\\\"c\\r\\n\\t\\x01\"");

  const auto line = DumpLine::parse("window hwnd=0x00010064 x=-4 client-width=387 title=\"T\"\r\n");
  ASSERT_TRUE(line.has_value());
  EXPECT_EQ(line->numberField("hwnd"), 0x10064);
  EXPECT_EQ(line->numberField("x"), -4);
  EXPECT_EQ(line->numberField("client-width"), 387);
  EXPECT_EQ(line->numberField("title"), std::nullopt) << "not a number";
  EXPECT_EQ(line->field("missing"), std::nullopt);
  EXPECT_EQ(DumpLine::parse("exited pid=7")->numberField("code"), std::nullopt);
}

TEST(DumpFormat, RefusesLinesNotInTheFormat) {
  for (const char* bad : {"", " window", "window  pid=1", "window pid", "window =1", "window pid=1 ",
                          "window text=\"open", "window text=\"bad \\q escape\"", "window text=\"\\x4\"",
                          "window text=\"\\xZZ\"", "window text=\"a\"b", "window text=\"trailing\\"}) {
    SCOPED_TRACE(bad);
    EXPECT_FALSE(DumpLine::parse(bad).has_value());
  }
}

}  // namespace
}  // namespace tlv::tools::robot
