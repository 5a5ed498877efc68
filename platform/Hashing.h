// Portable: the hashing port: SHA-256 of data given in pieces.
#pragma once

#include <array>
#include <cstdint>
#include <string_view>
#include <vector>

#include "platform/Result.h"

namespace tlv::platform {

using Sha256Digest = std::array<std::uint8_t, 32>;

class Hashing {
 public:
  virtual ~Hashing() = default;
  /// SHA-256 of the pieces joined in order.
  [[nodiscard]] virtual Result<Sha256Digest> sha256(const std::vector<std::string_view>& pieces) = 0;
};

}  // namespace tlv::platform
