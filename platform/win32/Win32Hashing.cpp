// Win32 only: SHA-256 through BCrypt's hash objects (BCryptHash itself needs Windows 10).
#include "platform/win32/Win32Hashing.h"

#include <algorithm>
#include <limits>

#include "platform/win32/UniqueHandle.h"

namespace tlv::platform::win32 {

namespace {

// BCrypt answers NTSTATUS codes, which have no Win32 error of their own to map to without
// ntdll: a refused hash is a device that did not do what it was asked.
Win32Error errorOf(NTSTATUS) { return ERROR_GEN_FAILURE; }

}  // namespace

Result<Sha256Digest> Win32Hashing::sha256(const std::vector<std::string_view>& pieces) {
  using R = Result<Sha256Digest>;
  UniqueBCryptAlgorithm algorithm;
  if (const NTSTATUS s = ::BCryptOpenAlgorithmProvider(algorithm.put(), BCRYPT_SHA256_ALGORITHM, nullptr, 0); s < 0) {
    return R::failure(errorOf(s));
  }
  // Without a buffer of ours, BCrypt keeps the hash object's memory itself (Windows 7 and later).
  UniqueBCryptHash hash;
  if (const NTSTATUS s = ::BCryptCreateHash(algorithm.get(), hash.put(), nullptr, 0, nullptr, 0, 0); s < 0) {
    return R::failure(errorOf(s));
  }
  for (std::string_view piece : pieces) {
    while (!piece.empty()) {
      const std::size_t chunk = std::min<std::size_t>(piece.size(), std::numeric_limits<ULONG>::max());
      auto* bytes = reinterpret_cast<PUCHAR>(const_cast<char*>(piece.data()));
      if (const NTSTATUS s = ::BCryptHashData(hash.get(), bytes, static_cast<ULONG>(chunk), 0); s < 0) {
        return R::failure(errorOf(s));
      }
      piece.remove_prefix(chunk);
    }
  }
  Sha256Digest digest{};
  if (const NTSTATUS s = ::BCryptFinishHash(hash.get(), digest.data(), static_cast<ULONG>(digest.size()), 0); s < 0) {
    return R::failure(errorOf(s));
  }
  return R::success(digest);
}

}  // namespace tlv::platform::win32
