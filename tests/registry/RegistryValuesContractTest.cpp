// Contract suite of the registry class's values, on the sim machine and under Wine.
#include "tests/registry/RegistryFixture.h"

namespace tlv::testing {
namespace {

using Values = RegistryContract;
using registry::RegistryVariant;
namespace regtype = platform::regtype;

TEST_F(Values, StringReadsTrimTheTextAndFallBackToTheDefaultBeyond254Characters) {
  const std::pair<std::string, std::string> cases[] = {{"  x", "x"},
                                                       {"x  ", "x  "},
                                                       {"", ""},
                                                       {std::string(254, 's'), std::string(254, 's')},
                                                       {std::string(255, 's'), "dflt"}};
  for (const auto& [stored, read] : cases) {
    SCOPED_TRACE(stored.substr(0, 20) + " length " + std::to_string(stored.size()));
    ASSERT_NE(reg.WriteString(key, "v", stored), 0);
    EXPECT_EQ(reg.ReadString(key, "v", "dflt"), read);
  }

  // The system gives a string stored without its NUL one; other types lose their last byte.
  putRaw(key, "foreign", regtype::kString, "abc");
  EXPECT_EQ(reg.ReadString(key, "foreign", ""), "abc");
  putRaw(key, "bytes", regtype::kBinary, "abc");
  EXPECT_EQ(reg.ReadString(key, "bytes", ""), "ab");
}

TEST_F(Values, AtNamesTheDefaultValueForStringWritesOnlyAndValuesAreFoundByName) {
  ASSERT_NE(reg.WriteString(key, "@", "dflt value"), 0);
  EXPECT_EQ(reg.ReadString(key, "", "none"), "dflt value");
  EXPECT_FALSE(reg.ValueExists(key, "@"));
  ASSERT_NE(reg.WriteBinary(key, "@", "01"), 0);
  EXPECT_EQ(reg.ReadBinary(key, "@", ""), "01");
  EXPECT_NE(reg.KillValue(key, ""), 0);
  EXPECT_FALSE(reg.ValueExists(key, ""));

  ASSERT_NE(reg.WriteString(key, "empty", ""), 0);
  EXPECT_TRUE(reg.ValueExists(key, "EMPTY")) << "an empty string; names without regard to case";
  EXPECT_NE(reg.KillValue(key, "missing"), 0) << "the key opens, so the result is nonzero";
  EXPECT_EQ(reg.KillValue(key + "\\Missing", "empty"), 0);
}

TEST_F(Values, NumbersKeepTheir32BitPatternAndReadFourBytesOfAnyType) {
  for (std::int32_t n : {0, 255, -1, INT32_MIN}) {
    ASSERT_NE(reg.WriteDWORD(key, "n", n), 0);
    EXPECT_EQ(reg.ReadDWORD(key, "n", 42), n);
  }
  ASSERT_NE(reg.WriteBinary(key, "two", "05 01"), 0);
  EXPECT_EQ(reg.ReadDWORD(key, "two", 42), 0x105) << "the bytes there are, in little-endian order";
  ASSERT_NE(reg.WriteString(key, "text", "abcdefg"), 0);
  EXPECT_EQ(reg.ReadDWORD(key, "text", 42), 42);
}

TEST_F(Values, BinaryValuesTravelAsHexTextOfAnySize) {
  ASSERT_NE(reg.WriteBinary(key, "zero", ""), 0);
  EXPECT_EQ(reg.ReadBinary(key, "zero", "dflt"), "");
  EXPECT_EQ(reg.ReadBinary(key, "missing", "dflt"), "dflt");

  std::string big = "0F";
  for (int i = 1; i < 1000; ++i) big += i % 2 ? " A5" : " 0F";
  ASSERT_NE(reg.WriteBinary(key, "big", "  " + big + "  "), 0);
  EXPECT_EQ(reg.ReadBinary(key, "big", ""), big);
}

TEST_F(Values, EnumerationListsEachTypeInItsOwnForm) {
  std::vector<std::string> names{"stale"};
  std::vector<RegistryVariant> values{std::string("stale")};
  EXPECT_EQ(reg.EnumValues(key, names, values, -1), -1);
  EXPECT_EQ(names.size(), 1u) << "a missing key leaves the lists as they were";
  ASSERT_NE(reg.CreateKey(key), 0);
  EXPECT_EQ(reg.EnumValues(key, names, values, -1), 0);
  EXPECT_TRUE(names.empty() && values.empty());

  ASSERT_NE(reg.WriteString(key, "s", " text"), 0);
  ASSERT_NE(reg.WriteDWORD(key, "d", -2), 0);
  ASSERT_NE(reg.WriteBinary(key, "b", "0a ff"), 0);
  putRaw(key, "e", regtype::kExpandString, "%PATH%");
  putRaw(key, "long", regtype::kBinary, std::string(300, '\x7F'));  // read again with room for its data
  EXPECT_EQ(reg.EnumValues(key, names, values, regtype::kDword), 1);
  EXPECT_EQ(names, std::vector<std::string>{"d"});
  EXPECT_EQ(values, std::vector<RegistryVariant>{-2});

  std::string longHex = "7F";
  for (int i = 1; i < 300; ++i) longHex += " 7F";
  ASSERT_EQ(reg.EnumValues(key, names, values, -1), 5);
  EXPECT_EQ(names, (std::vector<std::string>{"b", "d", "e", "long", "s"}));
  EXPECT_EQ(values, (std::vector<RegistryVariant>{"0A FF", -2, std::monostate{}, longHex, "text"}));
}

}  // namespace
}  // namespace tlv::testing
