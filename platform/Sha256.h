// Portable: SHA-256 (FIPS 180-4) in plain C++, for the sim machine and the build-time digest
// tool. The program on Windows hashes through the system's BCrypt instead.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/Hashing.h"

namespace tlv::platform {

class Sha256 {
 public:
  Sha256();
  void update(std::string_view bytes);
  /// The digest of everything given; the object is spent afterwards.
  Sha256Digest finish();

 private:
  void compress(const std::uint8_t* block);

  std::uint32_t state_[8];
  std::uint8_t buffer_[64] = {};
  std::size_t buffered_ = 0;
  std::uint64_t totalBytes_ = 0;
};

/// SHA-256 of the pieces joined in order.
Sha256Digest sha256Of(const std::vector<std::string_view>& pieces);

}  // namespace tlv::platform
