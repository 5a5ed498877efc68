// Build machine only (the native tree and the build-time digest tool): SHA-256 through
// OpenSSL's libcrypto. The program on Windows hashes through the system's BCrypt instead.
#pragma once

#include <string_view>
#include <vector>

#include "platform/Hashing.h"

namespace tlv::platform::host {

/// SHA-256 of the pieces joined in order; kGenFailure when libcrypto refuses.
[[nodiscard]] Result<Sha256Digest> libcryptoSha256(const std::vector<std::string_view>& pieces);

}  // namespace tlv::platform::host
