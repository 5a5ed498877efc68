// Portable, test only: the smallest PE32 image the digest code reads (headers and a payload
// in place of the sections), with a signature appended where asked.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tlv::testing {

inline constexpr std::size_t kMiniPeOptionalHeader = 0x58;
inline constexpr std::size_t kMiniPeChecksum = kMiniPeOptionalHeader + 64;
inline constexpr std::size_t kMiniPeCertificateEntry = kMiniPeOptionalHeader + 96 + std::size_t{4} * 8;

inline void putLe32(std::string& bytes, std::size_t at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
}

/// A PE32 image whose bytes after the headers are `payload`.
inline std::string miniPe(std::string_view payload) {
  std::string image(kMiniPeOptionalHeader + 224, '\0');
  image[0] = 'M';
  image[1] = 'Z';
  putLe32(image, 0x3C, 0x40);
  image.replace(0x40, 4, std::string("PE\0\0", 4));
  putLe32(image, 0x44, 0x14C);                                   // i386, no sections
  putLe32(image, 0x54, 224);                                     // size of the optional header
  putLe32(image, kMiniPeOptionalHeader, 0x10B);                  // PE32
  putLe32(image, kMiniPeOptionalHeader + 92, 16);                // data directories
  return image.append(payload);
}

/// The image signed as a signer signs it: zero-padded to eight bytes, the certificate data
/// appended and named by the certificate entry, and a new checksum.
inline std::string signedMiniPe(std::string image, std::string_view certificate) {
  image.append((8 - image.size() % 8) % 8, '\0');
  putLe32(image, kMiniPeCertificateEntry, static_cast<std::uint32_t>(image.size()));
  putLe32(image, kMiniPeCertificateEntry + 4, static_cast<std::uint32_t>(certificate.size()));
  putLe32(image, kMiniPeChecksum, 0x12345678);
  return image.append(certificate);
}

}  // namespace tlv::testing
