// Contract suite of the registry class's values, on the sim machine and under Wine.
#include "tests/registry/RegistryFixture.h"

namespace tlv::testing {
namespace {

using Values = RegistryContract;
using registry::RegistryVariant;
namespace regtype = platform::regtype;

TEST_F(Values, StringReadsTrimTheTextAndFallBackToTheDefaultBeyond254Characters) {
  struct Case {
    std::string stored;
    std::string read;
  };
  const Case cases[] = {
      {"  x", "x"},
      {"   ", ""},
      {"", ""},
      {"x  ", "x  "},
      {"a\\b\"c", "a\\b\"c"},
      {std::string(254, 's'), std::string(254, 's')},
      {std::string(255, 's'), "dflt"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.stored.substr(0, 20) + " length " + std::to_string(c.stored.size()));
    ASSERT_NE(reg.WriteString(key, "v", c.stored), 0);
    EXPECT_EQ(reg.ReadString(key, "v", "dflt"), c.read);
  }
  EXPECT_EQ(reg.ReadString(key, "missing", "dflt"), "dflt");
  EXPECT_EQ(reg.ReadString(key + "\\Missing", "v", "dflt"), "dflt");

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
  EXPECT_EQ(reg.ReadString(key, "@", "none"), "none");

  ASSERT_NE(reg.WriteDWORD(key, "@", 5), 0);
  ASSERT_NE(reg.WriteBinary(key, "@", "01"), 0);
  EXPECT_TRUE(reg.ValueExists(key, "@"));
  EXPECT_EQ(reg.ReadBinary(key, "@", ""), "01");
  EXPECT_EQ(reg.ReadString(key, "", "none"), "dflt value");
  EXPECT_NE(reg.KillValue(key, ""), 0);
  EXPECT_FALSE(reg.ValueExists(key, ""));

  ASSERT_NE(reg.WriteString(key, "empty", ""), 0);
  EXPECT_TRUE(reg.ValueExists(key, "EMPTY")) << "an empty string; names without regard to case";
  EXPECT_FALSE(reg.ValueExists(key, "missing"));
  EXPECT_FALSE(reg.ValueExists(key + "\\Missing", "empty"));
  EXPECT_NE(reg.KillValue(key, "missing"), 0) << "the key opens, so the result is nonzero";
  EXPECT_EQ(reg.KillValue(key + "\\Missing", "empty"), 0);
  EXPECT_NE(reg.KillValue(key, "empty"), 0);
  EXPECT_FALSE(reg.ValueExists(key, "empty"));
}

TEST_F(Values, NumbersKeepTheir32BitPatternAndReadFourBytesOfAnyType) {
  for (std::int32_t n : {0, 1, 255, -1, INT32_MIN, INT32_MAX}) {
    SCOPED_TRACE(n);
    ASSERT_NE(reg.WriteDWORD(key, "n", n), 0);
    EXPECT_EQ(reg.ReadDWORD(key, "n", 42), n);
  }
  ASSERT_NE(reg.WriteBinary(key, "four", "01 02 03 04"), 0);
  EXPECT_EQ(reg.ReadDWORD(key, "four", 42), 0x04030201);
  ASSERT_NE(reg.WriteBinary(key, "two", "05 01"), 0);
  EXPECT_EQ(reg.ReadDWORD(key, "two", 42), 0x105);
  ASSERT_NE(reg.WriteString(key, "text", "abcdefg"), 0);
  EXPECT_EQ(reg.ReadDWORD(key, "text", 42), 42);
  EXPECT_EQ(reg.ReadDWORD(key, "missing", 42), 42);
}

TEST_F(Values, BinaryValuesTravelAsHexTextOfAnySize) {
  ASSERT_NE(reg.WriteBinary(key, "FailureActions", kFailureActions), 0);
  EXPECT_TRUE(reg.ValueExists(key, "FailureActions"));
  EXPECT_EQ(reg.ReadBinary(key, "FailureActions", ""), kFailureActions);

  ASSERT_NE(reg.WriteBinary(key, "zero", ""), 0);
  EXPECT_TRUE(reg.ValueExists(key, "zero"));
  EXPECT_EQ(reg.ReadBinary(key, "zero", "dflt"), "");
  EXPECT_EQ(reg.ReadBinary(key, "missing", "dflt"), "dflt");

  std::string big;
  for (int i = 0; i < 1000; ++i) big += (i ? " " : "") + std::string(i % 2 ? "A5" : "0F");
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
  ASSERT_NE(reg.WriteBinary(key, "b0", ""), 0);
  putRaw(key, "e", regtype::kExpandString, "%PATH%");
  std::string long300(300, '\x7F');
  putRaw(key, "long", regtype::kBinary, long300);

  EXPECT_EQ(reg.EnumValues(key, names, values, regtype::kDword), 1);
  EXPECT_EQ(names, std::vector<std::string>{"d"});
  EXPECT_EQ(values, std::vector<RegistryVariant>{-2});

  ASSERT_EQ(reg.EnumValues(key, names, values, -1), 6);
  EXPECT_EQ(names, (std::vector<std::string>{"b", "b0", "d", "e", "long", "s"}));
  EXPECT_EQ(values[0], RegistryVariant(std::string("0A FF")));
  EXPECT_EQ(values[1], RegistryVariant(std::string()));
  EXPECT_EQ(values[3], RegistryVariant(std::monostate{}));
  EXPECT_EQ(std::get<std::string>(values[4]).size(), 300u * 3 - 1) << "binary data read in full";
  EXPECT_EQ(values[5], RegistryVariant(std::string("text")));
}

}  // namespace
}  // namespace tlv::testing
