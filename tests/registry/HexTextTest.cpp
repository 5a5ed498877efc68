// Hex text conversions of the registry class: how text is read and judged, and round trips of
// every byte value at any length.
#include <gtest/gtest.h>

#include <random>

#include "registry/HexText.h"

namespace tlv::registry {
namespace {

TEST(HexText, SpacesGoFirstThenPairsAreReadUpToTheirFirstNonDigitAndOnlyHexDigitsAreValid) {
  struct Case {
    std::string text, bytes;
    bool valid;
  };
  const Case cases[] = {
      {"   ", "", false},          {" 8 05  1abc def ", "\x80\x51\xAB\xCD\xEF", true},
      {"123", "\x12\x03", true},  // an odd last digit stands alone
      {"4G", "\x04", false},       {"G4", std::string(1, '\0'), false},
      {"1\t2", "\x01\x02", false},  // a tab is no space
  };
  for (const Case& c : cases) {
    EXPECT_EQ(hexToBytes(c.text), c.bytes) << '"' << c.text << '"';
    EXPECT_EQ(isHexText(c.text), c.valid) << '"' << c.text << '"';
  }
  EXPECT_EQ(bytesToHex("\x05\x0A"), " 05 0A");
}

TEST(HexText, RoundTripsKeepEveryByteAtAnyLength) {
  // 100,000 digits of random bytes, so every byte value: far past what a 16-bit count could hold.
  std::mt19937 random(7);
  std::string bytes(50'000, '\0');
  for (char& c : bytes) c = static_cast<char>(random());
  const std::string text = withoutSpaces(bytesToHex(bytes));
  ASSERT_EQ(text.size(), 100'000u);
  EXPECT_EQ(hexToBytes(text), bytes);
}

}  // namespace
}  // namespace tlv::registry
