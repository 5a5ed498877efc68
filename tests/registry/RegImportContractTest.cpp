// Contract suite of the .reg import, on the sim machine and under Wine.
#include "tests/registry/RegistryFixture.h"

namespace tlv::testing {
namespace {

using Import = RegistryContract;

constexpr char kBlock[] = "[HKEY_CURRENT_USER\\Software\\TlvAsServiceTests]\r\n\"v\"=\"applied\"\r\n";

TEST_F(Import, OnlyTheRegedit4HeaderInAnyCaseIsAccepted) {
  struct Case {
    std::string header;
    std::int32_t result;
  };
  const Case cases[] = {
      {"REGEDIT4", 1},
      {"regedit4", 1},
      {"Windows Registry Editor Version 5.00", 0},
      {"REGEDIT4 ", 0},
      {" REGEDIT4", 0},
      {"REGEDIT4\n[HKCU\\Software\\TlvAsServiceTests]\n\"v\"=\"applied\"\n", 0},  // lines end in LF alone
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.header);
    reg.KillValue(key, "v");
    writeFile(dir + "h.reg", c.header + "\r\n" + kBlock);
    EXPECT_EQ(reg.ImportFromReg(dir + "h.reg"), c.result);
    EXPECT_EQ(reg.ReadString(key, "v", "untouched"), c.result ? "applied" : "untouched");
  }
  EXPECT_EQ(reg.ImportFromReg(dir + "missing.reg"), 0);
}

TEST_F(Import, ValueLinesWriteEachDataForm) {
  ASSERT_NE(reg.WriteString(key, "Old", "x"), 0);
  ASSERT_NE(reg.WriteString(key, "@", "old default"), 0);
  writeFile(dir + "forms.reg",
            "REGEDIT4\r\n"
            "\"Before\"=\"any key\"\r\n"
            "  [HKCU\\Software\\TlvAsServiceTests\\Sub]  \r\n"
            "@=\"sub default\"\r\n"
            "[hkey_current_user\\Software\\TlvAsServiceTests]\r\n"
            "\"Name\"=\"a=b=c\"\r\n"
            "\"Data\"=hex:01,02,FF\r\n"
            "\"Typed\"=hex(7):41,00\r\n"
            "\"Count\"=dword:0000001F\r\n"
            "Lower=DWORD:1f\r\n"
            "\"Minus\"=dword:FFFFFFFF\r\n"
            "\"Old\"=\"-\"\r\n"
            "@=\"\"\r\n"
            ";\"Comment\"=\"ignored\"\r\n"
            "NoEquals\r\n"
            "\"@\"=hex:05\r\n");
  ASSERT_EQ(reg.ImportFromReg(dir + "forms.reg"), 1);
  EXPECT_EQ(reg.ReadString(key + "\\Sub", "", ""), "sub default");
  EXPECT_EQ(reg.ReadString(key, "Name", ""), "a=b=c");
  EXPECT_EQ(reg.ReadBinary(key, "Data", ""), "01 02 FF");
  EXPECT_EQ(reg.ReadString(key, "Typed", ""), "hex(7):41,00");
  EXPECT_EQ(reg.ReadDWORD(key, "Count", 0), 31);
  EXPECT_EQ(reg.ReadDWORD(key, "Lower", 0), 31);
  EXPECT_EQ(reg.ReadDWORD(key, "Minus", 0), -1);
  EXPECT_EQ(reg.ReadBinary(key, "@", ""), "05");
  EXPECT_FALSE(reg.ValueExists(key, "Old"));
  EXPECT_FALSE(reg.ValueExists(key, "")) << "\"@\" with empty text removes the default value";
  EXPECT_FALSE(reg.ValueExists(key, "Comment"));
  EXPECT_FALSE(reg.ValueExists(key, "Before"));
  std::vector<std::string> names;
  std::vector<registry::RegistryVariant> values;
  EXPECT_EQ(reg.EnumValues(key, names, values, -1), 7);
}

TEST_F(Import, KeyDeletionSkipsItsValuesAndAnEmptyBlockCreatesNothing) {
  ASSERT_NE(reg.CreateKey(key + "\\Old"), 0);
  ASSERT_NE(reg.CreateKey(key + "\\Parent\\Child"), 0);
  writeFile(dir + "keys.reg",
            "REGEDIT4\r\n\r\n"
            "[-HKEY_CURRENT_USER\\Software\\TlvAsServiceTests\\Old]\r\n"
            "\"Lost\"=\"never written\"\r\n"
            "[-HKCU\\Software\\TlvAsServiceTests\\Parent]\r\n"
            "[HKCU\\Software\\TlvAsServiceTests\\Empty]\r\n\r\n");
  ASSERT_EQ(reg.ImportFromReg(dir + "keys.reg"), 1);
  EXPECT_FALSE(reg.KeyExists(key + "\\Old"));
  EXPECT_TRUE(reg.KeyExists(key + "\\Parent\\Child")) << "the system keeps a key with subkeys";
  EXPECT_FALSE(reg.KeyExists(key + "\\Empty"));
  std::vector<std::string> names;
  std::vector<registry::RegistryVariant> values;
  EXPECT_EQ(reg.EnumValues(key, names, values, -1), 0);
}

}  // namespace
}  // namespace tlv::testing
