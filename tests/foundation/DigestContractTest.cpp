// Contract suite of the hashing port and the Authenticode digest: SHA-256 as the standard's
// examples give it (BCrypt under Wine, plain C++ on the sim), and a digest that signing and
// the checksum leave alone while any other byte changes it.
#include <gtest/gtest.h>

#include <string>

#include "files/PeDigest.h"
#include "tests/contract/TestMachine.h"
#include "testkit/MiniPe.h"

namespace tlv::testing {
namespace {

std::string hex(const platform::Sha256Digest& digest) {
  static constexpr char kDigits[] = "0123456789abcdef";
  std::string text;
  for (std::uint8_t byte : digest) text += {kDigits[byte >> 4], kDigits[byte & 15]};
  return text;
}

class DigestContract : public ::testing::Test {
 protected:
  std::optional<platform::Sha256Digest> digest(const std::string& image) {
    const auto result = files::authenticodeDigest(machine->platform().hashing, image);
    if (result.ok()) return result.value;
    EXPECT_EQ(result.error, platform::err::kInvalidData) << "no PE image is invalid data";
    return std::nullopt;
  }
  std::unique_ptr<TestMachine> machine = makeTestMachine();
};

TEST_F(DigestContract, Sha256GivesTheStandardsExampleDigestsWhateverThePieces) {
  const std::string million(1000000, 'a');
  const struct {
    std::vector<std::string_view> pieces;
    const char* digest;
  } cases[] = {
      {{}, "e3b0c44298fc1c149afbf4c8996fb92427ae41e4649b934ca495991b7852b855"},
      {{"abc"}, "ba7816bf8f01cfea414140de5dae2223b00361a396177a9cb410ff61f20015ad"},
      {{"abcdbcdecdefdefgefghfghig", "", "hijhijkijkljklmklmnlmnomnopnopq"},
       "248d6a61d20638b8e5c026930c3e6039a33ce45964ff2167f6ecedd419db06c1"},
      {{million}, "cdc76e5c9914fb9281a1c7e284d73e67f1809a48a497200e046d39ccc7112cd0"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.digest);
    const auto result = machine->platform().hashing.sha256(c.pieces);
    ASSERT_TRUE(result.ok()) << result.error;
    EXPECT_EQ(hex(result.value), c.digest);
  }
}

TEST_F(DigestContract, AuthenticodeDigestIgnoresChecksumAndSignatureButNoOtherByte) {
  const std::string image = miniPe("the tool's code, 29 bytes...");
  const auto original = digest(image);
  ASSERT_TRUE(original.has_value());

  std::string checksummed = image;
  putLe32(checksummed, kMiniPeChecksum, 0xCAFE);
  EXPECT_EQ(digest(checksummed), original) << "checksum";
  EXPECT_EQ(digest(signedMiniPe(image, "certificate data")), original) << "signed";
  for (const std::size_t at : {std::size_t{0x20}, kMiniPeChecksum + 4, image.size() - 1}) {
    std::string changed = image;
    changed[at] ^= 1;
    EXPECT_NE(digest(changed), original) << "byte " << at;
  }
  EXPECT_NE(digest(image + "x"), original) << "a byte appended";

  std::string pointsOutside = signedMiniPe(image, "certificate data");
  putLe32(pointsOutside, kMiniPeCertificateEntry + 4, 0x1000);
  for (const std::string& notAnImage : {std::string("MZ"), std::string("echo planted"), image.substr(0, 0x100),
                                        pointsOutside}) {
    EXPECT_FALSE(digest(notAnImage).has_value()) << notAnImage.size() << " bytes";
  }
}

}  // namespace
}  // namespace tlv::testing
