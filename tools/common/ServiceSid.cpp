// Portable: the SID of a service's own account.
#include "tools/common/ServiceSid.h"

#include <array>
#include <cstdint>

#include "platform/WindowsPath.h"

namespace tlv::tools {
namespace {

std::uint32_t rotateLeft(std::uint32_t value, int bits) { return (value << bits) | (value >> (32 - bits)); }

// SHA-1 (FIPS 180-4). Used only to name a SID, as Windows does, never to protect anything.
std::array<std::uint8_t, 20> sha1(const std::string& bytes) {
  std::array<std::uint32_t, 5> h{0x67452301, 0xEFCDAB89, 0x98BADCFE, 0x10325476, 0xC3D2E1F0};
  std::string message = bytes + '\x80';
  while (message.size() % 64 != 56) message += '\0';
  const std::uint64_t bits = static_cast<std::uint64_t>(bytes.size()) * 8;
  for (int i = 7; i >= 0; --i) message += static_cast<char>((bits >> (8 * i)) & 0xFF);
  for (std::size_t block = 0; block < message.size(); block += 64) {
    std::array<std::uint32_t, 80> w{};
    for (std::size_t i = 0; i < 16; ++i) {
      for (std::size_t b = 0; b < 4; ++b) {
        w[i] = (w[i] << 8) | static_cast<unsigned char>(message[block + 4 * i + b]);
      }
    }
    for (std::size_t i = 16; i < 80; ++i) w[i] = rotateLeft(w[i - 3] ^ w[i - 8] ^ w[i - 14] ^ w[i - 16], 1);
    std::uint32_t a = h[0], b = h[1], c = h[2], d = h[3], e = h[4];
    for (std::size_t i = 0; i < 80; ++i) {
      std::uint32_t f = 0, k = 0;
      if (i < 20) {
        f = (b & c) | (~b & d), k = 0x5A827999;
      } else if (i < 40) {
        f = b ^ c ^ d, k = 0x6ED9EBA1;
      } else if (i < 60) {
        f = (b & c) | (b & d) | (c & d), k = 0x8F1BBCDC;
      } else {
        f = b ^ c ^ d, k = 0xCA62C1D6;
      }
      const std::uint32_t next = rotateLeft(a, 5) + f + e + k + w[i];
      e = d, d = c, c = rotateLeft(b, 30), b = a, a = next;
    }
    h[0] += a, h[1] += b, h[2] += c, h[3] += d, h[4] += e;
  }
  std::array<std::uint8_t, 20> digest{};
  for (std::size_t i = 0; i < 20; ++i) digest[i] = static_cast<std::uint8_t>(h[i / 4] >> (24 - 8 * (i % 4)));
  return digest;
}

}  // namespace

std::string serviceSid(const std::string& serviceName) {
  std::string utf16;
  for (const char c : platform::upperCase(serviceName)) utf16 += std::string{c, '\0'};
  const std::array<std::uint8_t, 20> digest = sha1(utf16);
  std::string sid = "S-1-5-80";
  for (std::size_t word = 0; word < 5; ++word) {
    std::uint32_t value = 0;
    for (int b = 3; b >= 0; --b) value = (value << 8) | digest[4 * word + static_cast<std::size_t>(b)];
    sid += "-" + std::to_string(value);
  }
  return sid;
}

}  // namespace tlv::tools
