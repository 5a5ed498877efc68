// Contract suite of the .reg import, on the sim machine and under Wine.
#include "tests/registry/RegistryFixture.h"

namespace tlv::testing {
namespace {

using Import = RegistryContract;

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

TEST_F(Import, ValueLinesWriteEachDataFormAndDecodeNoEscapes) {
  ASSERT_NE(reg.WriteString(key, "Old", "x"), 0);
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
            "\"@\"=hex:05\r\n");
  ASSERT_EQ(reg.ImportFromReg(dir + "forms.reg"), 1);
  EXPECT_EQ(reg.ReadBinary(key, "Data", ""), "01 02 FF");
  EXPECT_EQ(reg.ReadBinary(key, "@", ""), "05");
  // Quotes are dropped and nothing else: "@" with empty text removes the default value.
  std::vector<std::string> names;
  std::vector<registry::RegistryVariant> values;
  ASSERT_EQ(reg.EnumValues(key, names, values, -1), 7);
  EXPECT_EQ(names, (std::vector<std::string>{"@", "Data", "Lower", "Minus", "Name", "Path", "Typed"}));
  EXPECT_EQ(values, (std::vector<registry::RegistryVariant>{"05", "01 02 FF", 31, -1, "a=b=c", "C:\\\\Tools\\\\",
                                                            "hex(7):41,00"}));
}

TEST_F(Import, KeyDeletionEndsTheBlockSkipsItsValuesAndAnEmptyBlockCreatesNothing) {
  ASSERT_NE(reg.CreateKey(key + "\\Old"), 0);
  writeFile(dir + "keys.reg",
            "REGEDIT4\r\n\r\n"
            "[HKCU\\Software\\TlvAsServiceTests\\Empty]\r\n\r\n"
            "[-HKEY_CURRENT_USER\\Software\\TlvAsServiceTests\\Old]\r\n"
            "\"Lost\"=\"never written\"\r\n");
  ASSERT_EQ(reg.ImportFromReg(dir + "keys.reg"), 1);
  EXPECT_FALSE(reg.KeyExists(key + "\\Old"));
  EXPECT_FALSE(reg.KeyExists(key + "\\Empty"));
}

}  // namespace
}  // namespace tlv::testing
