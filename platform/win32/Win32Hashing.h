// Win32 only: the hashing port over BCrypt (Windows Vista and later).
#pragma once

#include "platform/Hashing.h"

namespace tlv::platform::win32 {

class Win32Hashing final : public Hashing {
 public:
  Result<Sha256Digest> sha256(const std::vector<std::string_view>& pieces) override;
};

}  // namespace tlv::platform::win32
