#include "platform/host/LibcryptoSha256.h"

#include <openssl/evp.h>

#include <memory>

namespace tlv::platform::host {

Result<Sha256Digest> libcryptoSha256(const std::vector<std::string_view>& pieces) {
  using R = Result<Sha256Digest>;
  const std::unique_ptr<EVP_MD_CTX, decltype(&EVP_MD_CTX_free)> context(EVP_MD_CTX_new(), &EVP_MD_CTX_free);
  if (!context) return R::failure(err::kNotEnoughMemory);
  if (EVP_DigestInit_ex(context.get(), EVP_sha256(), nullptr) != 1) return R::failure(err::kGenFailure);
  for (const std::string_view piece : pieces) {
    if (EVP_DigestUpdate(context.get(), piece.data(), piece.size()) != 1) return R::failure(err::kGenFailure);
  }
  Sha256Digest digest{};
  unsigned int length = 0;
  if (EVP_DigestFinal_ex(context.get(), digest.data(), &length) != 1 || length != digest.size()) {
    return R::failure(err::kGenFailure);
  }
  return R::success(digest);
}

}  // namespace tlv::platform::host
