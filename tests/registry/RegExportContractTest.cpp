// Contract suite of the .reg export, on the sim machine and under Wine: exact file bytes.
#include "tests/registry/RegistryFixture.h"

namespace tlv::testing {
namespace {

using Export = RegistryContract;
namespace regtype = platform::regtype;

constexpr char kKeyLine[] = "[HKEY_CURRENT_USER\\Software\\TlvAsServiceTests";

class Recorder final : public registry::SettableText {
 public:
  void setText(const std::string& text) override { texts.push_back(text); }
  std::vector<std::string> texts;
};

TEST_F(Export, EachKeyGivesItsStringsBinariesAndNumbersUnescapedAndLeavesOtherTypesOut) {
  ASSERT_NE(reg.WriteString(key, "@", ""), 0);
  ASSERT_NE(reg.WriteString(key, "Text", "C:\\Tools\\\"quoted\""), 0);
  ASSERT_NE(reg.WriteDWORD(key, "Minus", -1), 0);
  ASSERT_NE(reg.WriteDWORD(key, "Byte", 255), 0);
  ASSERT_NE(reg.WriteBinary(key, "Data", "01 02"), 0);
  ASSERT_NE(reg.WriteBinary(key, "Zero", ""), 0);
  putRaw(key, "Expand", regtype::kExpandString, "%WINDIR%");
  putRaw(key, "Multi", regtype::kMultiString, std::string("a\0b\0\0", 5));
  putRaw(key + "\\Bin", "", regtype::kBinary, "\x01");  // a default value of binary type
  Recorder output;
  // The short root name is written in its long form.
  ASSERT_EQ(reg.ExportToReg("HKCU\\Software\\TlvAsServiceTests", dir + "types.reg", true, &output), 1);
  EXPECT_EQ(fileText(dir + "types.reg"),
            std::string("REGEDIT4\r\n\r\n") + kKeyLine +
                "]\r\n@=\"\"\r\n\"Text\"=\"C:\\Tools\\\"quoted\"\"\r\n\"Data\"=hex:01,02\r\n"
                "\"Zero\"=hex:\r\n\"Byte\"=dword:000000FF\r\n\"Minus\"=dword:FFFFFFFF\r\n\r\n" +
                kKeyLine + "\\Bin]\r\n@=\"\"\r\n\"\"=hex:01\r\n\r\n");
  EXPECT_EQ(output.texts, (std::vector<std::string>{key, key + "\\Bin"}));
}

TEST_F(Export, SubkeysFollowTheirParentDepthFirstOnlyWhenAskedFor) {
  for (const std::string sub : {"\\B\\C\\D", "\\A", "\\HKCU_Old"}) ASSERT_NE(reg.CreateKey(key + sub), 0);
  ASSERT_EQ(reg.ExportToReg(key, dir + "tree.reg", true), 1);
  std::string expected = "REGEDIT4\r\n\r\n";
  for (const std::string sub : {"", "\\A", "\\B", "\\B\\C", "\\B\\C\\D", "\\HKCU_Old"}) {
    expected += kKeyLine + sub + "]\r\n\r\n";
  }
  EXPECT_EQ(fileText(dir + "tree.reg"), expected);

  ASSERT_EQ(reg.ExportToReg(key, dir + "flat.reg", false), 1);
  EXPECT_EQ(fileText(dir + "flat.reg"), std::string("REGEDIT4\r\n\r\n") + kKeyLine + "]\r\n\r\n");
}

TEST_F(Export, AnExistingFileIsLeftAloneAndAMissingKeyGivesAnEmptyBlock) {
  writeFile(dir + "taken.reg", "keep me\r\n");
  ASSERT_NE(reg.CreateKey(key), 0);
  EXPECT_EQ(reg.ExportToReg(key, dir + "taken.reg", true), 0);
  EXPECT_EQ(fileText(dir + "taken.reg"), "keep me\r\n");

  EXPECT_EQ(reg.ExportToReg(key + "\\Missing", dir + "missing.reg", true), 1);
  EXPECT_EQ(fileText(dir + "missing.reg"), std::string("REGEDIT4\r\n\r\n") + kKeyLine + "\\Missing]\r\n\r\n");
  EXPECT_EQ(reg.ExportToReg(key, dir + "no folder\\x.reg", true), 0);
}

TEST_F(Export, AnExportedTreeImportsBackToTheSameValues) {
  ASSERT_NE(reg.WriteString(key, "@", "root default"), 0);
  ASSERT_NE(reg.WriteString(key + "\\Svc", "Path", "C:\\Program Files\\x.exe"), 0);
  ASSERT_NE(reg.WriteBinary(key + "\\Svc", "FailureActions", "80 51 01 00 60 EA 00 00"), 0);
  ASSERT_NE(reg.WriteDWORD(key + "\\Svc", "Minus", -1), 0);
  ASSERT_EQ(reg.ExportToReg(key, dir + "first.reg", true), 1);
  ASSERT_NE(reg.KillKey(key + "\\Svc"), 0);
  ASSERT_NE(reg.KillKey(key), 0);
  ASSERT_FALSE(reg.KeyExists(key));

  reg.CreateKeyIfDoesntExists(false);
  ASSERT_EQ(reg.ImportFromReg(dir + "first.reg"), 1);
  EXPECT_TRUE(reg.CreateKeyIfDoesntExists()) << "the import turns key creation on";
  ASSERT_EQ(reg.ExportToReg(key, dir + "second.reg", true), 1);
  EXPECT_EQ(fileText(dir + "second.reg"), fileText(dir + "first.reg"));
}

}  // namespace
}  // namespace tlv::testing
