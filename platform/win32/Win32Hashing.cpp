// Win32 only: SHA-256 through BCrypt's hash objects (BCryptHash itself needs Windows 10),
// with bcrypt.dll loaded from the system folder.
#include "platform/win32/Win32Hashing.h"

#include <algorithm>
#include <limits>
#include <memory>

#include "platform/win32/SystemLibrary.h"
// After <windows.h>, which SystemLibrary.h brings: the declarations only, bcrypt.dll is not
// imported.
#include <bcrypt.h>

namespace tlv::platform::win32 {

namespace {

// BCrypt answers NTSTATUS codes, which have no Win32 error of their own to map to without
// ntdll: a refused hash is a device that did not do what it was asked.
constexpr Win32Error kHashFailed = ERROR_GEN_FAILURE;

struct BCryptFunctions {
  explicit BCryptFunctions(const SystemLibrary& bcrypt)
      : openAlgorithm(bcrypt.function<decltype(::BCryptOpenAlgorithmProvider)>("BCryptOpenAlgorithmProvider")),
        closeAlgorithm(bcrypt.function<decltype(::BCryptCloseAlgorithmProvider)>("BCryptCloseAlgorithmProvider")),
        createHash(bcrypt.function<decltype(::BCryptCreateHash)>("BCryptCreateHash")),
        hashData(bcrypt.function<decltype(::BCryptHashData)>("BCryptHashData")),
        finishHash(bcrypt.function<decltype(::BCryptFinishHash)>("BCryptFinishHash")),
        destroyHash(bcrypt.function<decltype(::BCryptDestroyHash)>("BCryptDestroyHash")) {}

  decltype(&::BCryptOpenAlgorithmProvider) openAlgorithm;
  decltype(&::BCryptCloseAlgorithmProvider) closeAlgorithm;
  decltype(&::BCryptCreateHash) createHash;
  decltype(&::BCryptHashData) hashData;
  decltype(&::BCryptFinishHash) finishHash;
  decltype(&::BCryptDestroyHash) destroyHash;

  bool complete() const { return openAlgorithm && closeAlgorithm && createHash && hashData && finishHash && destroyHash; }
};

}  // namespace

Result<Sha256Digest> Win32Hashing::sha256(const std::vector<std::string_view>& pieces) {
  using R = Result<Sha256Digest>;
  const auto bcrypt = SystemLibrary::load("bcrypt.dll");
  if (!bcrypt.ok()) return R::failure(bcrypt.error);
  const BCryptFunctions api(bcrypt.value);
  if (!api.complete()) return R::failure(ERROR_PROC_NOT_FOUND);

  // The handles close through the loaded DLL, which outlives them.
  BCRYPT_ALG_HANDLE opened = nullptr;
  if (api.openAlgorithm(&opened, BCRYPT_SHA256_ALGORITHM, nullptr, 0) < 0) return R::failure(kHashFailed);
  const auto closeAlgorithm = [&api](BCRYPT_ALG_HANDLE handle) { api.closeAlgorithm(handle, 0); };
  const std::unique_ptr<void, decltype(closeAlgorithm)> algorithm(opened, closeAlgorithm);
  // Without a buffer of ours, BCrypt keeps the hash object's memory itself (Windows 7 and later).
  BCRYPT_HASH_HANDLE created = nullptr;
  if (api.createHash(algorithm.get(), &created, nullptr, 0, nullptr, 0, 0) < 0) return R::failure(kHashFailed);
  const auto destroyHash = [&api](BCRYPT_HASH_HANDLE handle) { api.destroyHash(handle); };
  const std::unique_ptr<void, decltype(destroyHash)> hash(created, destroyHash);

  for (std::string_view piece : pieces) {
    while (!piece.empty()) {
      const std::size_t chunk = std::min<std::size_t>(piece.size(), std::numeric_limits<ULONG>::max());
      auto* bytes = reinterpret_cast<PUCHAR>(const_cast<char*>(piece.data()));
      if (api.hashData(hash.get(), bytes, static_cast<ULONG>(chunk), 0) < 0) return R::failure(kHashFailed);
      piece.remove_prefix(chunk);
    }
  }
  Sha256Digest digest{};
  if (api.finishHash(hash.get(), digest.data(), static_cast<ULONG>(digest.size()), 0) < 0) {
    return R::failure(kHashFailed);
  }
  return R::success(digest);
}

}  // namespace tlv::platform::win32
