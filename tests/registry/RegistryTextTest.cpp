// The registry class's text: hex text for binary data (how it is read and judged, and round
// trips of every byte value at any length), and paths, split into root and subkey and written
// with the long root names of key lines, which must name the same key again.
#include <gtest/gtest.h>

#include <random>

#include "registry/HexText.h"
#include "registry/RegistryPath.h"

namespace tlv::registry {
namespace {

TEST(HexText, SpacesGoFirstThenPairsAreReadUpToTheirFirstNonDigitAndOnlyHexDigitsAreValid) {
  struct Case {
    std::string text, bytes;
    bool valid;
  };
  const Case cases[] = {
      {"   ", "", false},                                  // no digits
      {" 8 05  1abc def ", "\x80\x51\xAB\xCD\xEF", true},  // spaces go before pairing; either case
      {"123", "\x12\x03", true},                           // an odd last digit stands alone
      {"4G", "\x04", false},                               // a pair is read up to its first non-digit,
      {"G4", std::string(1, '\0'), false},                 // which may be its first character
      {"1\t2", "\x01\x02", false},                         // a tab is no space
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

namespace hkey = platform::hkey;

TEST(RegistryPath, OnlyTheLeadingRootIsReadFromItsFirstFourCharactersAndWrittenLong) {
  struct Case {
    std::string path;
    platform::RegKey root;
    std::string subKey, keyLine;
  };
  const Case cases[] = {
      {"hKeY_lOcAl_MaChInE\\Software", hkey::kLocalMachine, "Software", "hKeY_lOcAl_MaChInE\\Software"},
      {"hkcu\\HKEY_LOCAL_MACHINE\\HKLM", hkey::kCurrentUser, "HKEY_LOCAL_MACHINE\\HKLM",
       "HKEY_CURRENT_USER\\HKEY_LOCAL_MACHINE\\HKLM"},
      {"HKEY_CURRENT_USER_X\\Software", hkey::kCurrentUser, "Software", "HKEY_CURRENT_USER_X\\Software"},
      {"HKCC", hkey::kCurrentConfig, "", "HKEY_CURRENT_CONFIG"},
      {"HKLMX", hkey::kNone, "", "HKEY_LOCAL_MACHINEX"},  // no backslash: the whole path is the root name
      {"HKU\\x", hkey::kNone, "x", "HKU\\x"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    const SplitPath split = splitRegPath(c.path);
    EXPECT_EQ(platform::predefinedKey(split.rootKey), c.root);
    EXPECT_EQ(split.subKey, c.subKey);
    EXPECT_EQ(withLongRootName(c.path), c.keyLine);
    const SplitPath again = splitRegPath(c.keyLine);
    EXPECT_TRUE(again.rootKey == split.rootKey && again.subKey == split.subKey) << c.keyLine;
  }
}

}  // namespace
}  // namespace tlv::registry
