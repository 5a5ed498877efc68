// Hex text conversions of the registry class: the service's FailureActions text, round trips,
// validity and inputs of any length.
#include <gtest/gtest.h>

#include <random>

#include "registry/HexText.h"
#include "tests/registry/RegistryFixture.h"

namespace tlv::registry {
namespace {

TEST(HexText, FailureActionsGiveTheSame44BytesHoweverSpacedOrCased) {
  const std::string text = testing::kFailureActions;
  std::string lower = text, spread;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (char c : text) spread += c == ' ' ? std::string("   ") : std::string(1, c);
  const std::string expected = hexToBytes(text);
  ASSERT_EQ(expected.size(), 44u);
  EXPECT_EQ(expected.substr(0, 4), std::string("\x80\x51\x01\x00", 4));
  EXPECT_EQ(expected.substr(40), std::string("\x60\xEA\x00\x00", 4));
  EXPECT_EQ(expected[12], '\x03');
  for (const std::string& form : {withoutSpaces(text), lower, " " + spread + " "}) {
    EXPECT_EQ(hexToBytes(form), expected) << form;
  }
  EXPECT_EQ(bytesToHex(expected), " " + text);
}

TEST(HexText, PiecesAreReadUpToTheirFirstNonDigitAndAnOddDigitStandsAlone) {
  struct Case {
    std::string text;
    std::string bytes;
  };
  const Case cases[] = {
      {"", ""},
      {"   ", ""},
      {"00", std::string(1, '\0')},
      {"ff", "\xFF"},
      {"4G", "\x04"},
      {"G4", std::string(1, '\0')},
      {"1", "\x01"},
      {"123", "\x12\x03"},
      {"12 3 45", "\x12\x34\x05"},
      {"-1", std::string(1, '\0')},
  };
  for (const Case& c : cases) EXPECT_EQ(hexToBytes(c.text), c.bytes) << '"' << c.text << '"';
  EXPECT_EQ(bytesToHex(std::string("\x05\x0A", 2)), " 05 0A");
  EXPECT_EQ(bytesToHex(std::string(1, '\0')), " 00");
  EXPECT_EQ(bytesToHex(""), "");
}

TEST(HexText, ValidityWantsHexDigitsOnlyWhateverTheirCount) {
  for (const char* text : {"80 51 01", "8051ff", "A", " 0 "}) EXPECT_TRUE(isHexText(text)) << text;
  for (const char* text : {"", "   ", "80 5G", "0x80", "12\t34", "\xC9"}) EXPECT_FALSE(isHexText(text)) << text;
}

TEST(HexText, RoundTripsKeepEveryByteAndInputsOfAnyLengthConvert) {
  // 100,000 digits of random bytes, so every byte value: far past what a 16-bit count could hold.
  std::mt19937 random(7);
  std::string bytes(50'000, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  const std::string text = withoutSpaces(bytesToHex(bytes));
  ASSERT_EQ(text.size(), 100'000u);
  EXPECT_EQ(hexToBytes(text), bytes);
  EXPECT_EQ(bytesToHex(hexToBytes("ab cd Ef")), " AB CD EF");
}

}  // namespace
}  // namespace tlv::registry
