// Contract suite of the .reg files, on the sim machine and under Wine: the exact bytes the
// export writes, what the import applies, and a tree that goes out and comes back.
#include "tests/registry/RegistryFixture.h"

namespace tlv::testing {
namespace {

using Export = RegistryContract;
using Import = RegistryContract;
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

TEST_F(Import, OnlyTheRegedit4HeaderIsAcceptedAndAMalformedLineEndsTheImport) {
  const std::string block = "[HKEY_CURRENT_USER\\Software\\TlvAsServiceTests]\r\n\"v\"=\"applied\"\r\n";
  const std::string after = "\"after\"=\"x\"\r\n";
  struct Case {
    std::string text;
    std::int32_t result;
    bool applied;
  };
  const Case cases[] = {
      {"regedit4\r\n" + block, 1, true},
      {"REGEDIT4 \r\n" + block, 0, false},
      {"Windows Registry Editor Version 5.00\r\n" + block, 0, false},
      {"REGEDIT4\n[HKCU\\Software\\TlvAsServiceTests]\n\"v\"=\"applied\"\n\r\n", 0, false},  // lines end in LF alone
      // What was applied before a malformed line stays.
      {"REGEDIT4\r\n" + block + "[\r\n" + after, 0, true},
      {"REGEDIT4\r\n" + block + "\"n\"=dword:100000000\r\n" + after, 0, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.text);
    reg.KillValue(key, "v");
    writeFile(dir + "h.reg", c.text);
    EXPECT_EQ(reg.ImportFromReg(dir + "h.reg"), c.result);
    EXPECT_EQ(reg.ReadString(key, "v", "untouched"), c.applied ? "applied" : "untouched");
    EXPECT_FALSE(reg.ValueExists(key, "after"));
  }
  EXPECT_EQ(reg.ImportFromReg(dir + "missing.reg"), 0);
}

TEST_F(Import, LinesWriteEachDataFormDeleteValuesAndKeysAndDecodeNoEscapes) {
  ASSERT_NE(reg.WriteString(key, "Old", "x"), 0);
  ASSERT_NE(reg.CreateKey(key + "\\Old"), 0);
  ASSERT_NE(reg.WriteString(key, "@", "old default"), 0);
  writeFile(dir + "forms.reg",
            "REGEDIT4\r\n"
            "\"Before\"=\"any key\"\r\n"
            "  [hkey_current_user\\Software\\TlvAsServiceTests]  \r\n"
            "\"Name\"=\"a=b=c\"\r\n"
            "\"Path\"=\"C:\\\\Tools\\\\\"\r\n"
            "\"Data\"=hex:01,02,FF\r\n"
            "\"Typed\"=hex(7):41,00\r\n"
            "Lower=DWORD:1f\r\n"
            "\"Minus\"=dword:FFFFFFFF\r\n"
            "\"Old\"=\"-\"\r\n"
            "@=\"\"\r\n"
            ";\"Comment\"=\"ignored\"\r\n"
            "NoEquals\r\n"
            // A key deletion ends the block before it, and its own value lines go nowhere.
            "[HKCU\\Software\\TlvAsServiceTests\\Empty]\r\n"
            "[-HKEY_CURRENT_USER\\Software\\TlvAsServiceTests\\Old]\r\n"
            "\"Lost\"=\"never written\"\r\n");
  ASSERT_EQ(reg.ImportFromReg(dir + "forms.reg"), 1);
  EXPECT_EQ(reg.ReadBinary(key, "Data", ""), "01 02 FF");
  // Quotes are dropped and nothing else: "@" with empty text removes the default value.
  std::vector<std::string> names;
  std::vector<registry::RegistryVariant> values;
  ASSERT_EQ(reg.EnumValues(key, names, values, -1), 6);
  EXPECT_EQ(names, (std::vector<std::string>{"Data", "Lower", "Minus", "Name", "Path", "Typed"}));
  EXPECT_EQ(values,
            (std::vector<registry::RegistryVariant>{"01 02 FF", 31, -1, "a=b=c", "C:\\\\Tools\\\\", "hex(7):41,00"}));
  EXPECT_FALSE(reg.KeyExists(key + "\\Old"));
  EXPECT_FALSE(reg.KeyExists(key + "\\Empty")) << "a block without values creates nothing";
}

}  // namespace
}  // namespace tlv::testing
