// Portable: the parts of a PE image that Authenticode hashes ("Windows Authenticode Portable
// Executable Signature Format": checksum and certificate entry left out, certificates last).
#include "files/PeDigest.h"

#include <cstdint>

namespace tlv::files {

namespace {

std::optional<std::uint32_t> read16(std::string_view bytes, std::size_t at) {
  if (bytes.size() < 2 || at > bytes.size() - 2) return std::nullopt;
  return static_cast<std::uint32_t>(static_cast<std::uint8_t>(bytes[at]) |
                                    (static_cast<std::uint8_t>(bytes[at + 1]) << 8));
}

std::optional<std::uint32_t> read32(std::string_view bytes, std::size_t at) {
  const auto low = read16(bytes, at);
  const auto high = read16(bytes, at + 2);
  if (!low || !high) return std::nullopt;
  return *low | (*high << 16);
}

constexpr std::uint32_t kPe32Magic = 0x10B;
constexpr std::uint32_t kPe32PlusMagic = 0x20B;
constexpr std::size_t kSecurityDirectory = 4;  // IMAGE_DIRECTORY_ENTRY_SECURITY
constexpr char kZeros[8] = {};

}  // namespace

std::optional<std::vector<std::string_view>> authenticodePieces(std::string_view image) {
  if (image.size() < 0x40 || image.substr(0, 2) != "MZ") return std::nullopt;
  const auto peOffset = read32(image, 0x3C);
  if (!peOffset || *peOffset > image.size() || image.substr(*peOffset, 4) != std::string_view("PE\0\0", 4)) {
    return std::nullopt;
  }
  const std::size_t optional = std::size_t{*peOffset} + 24;  // signature and file header
  const auto optionalSize = read16(image, *peOffset + 20);
  const auto magic = read16(image, optional);
  if (!optionalSize || !magic || (*magic != kPe32Magic && *magic != kPe32PlusMagic) ||
      optional + *optionalSize > image.size()) {
    return std::nullopt;
  }
  const std::size_t checksum = optional + 64;
  const std::size_t directoryCountAt = optional + (*magic == kPe32Magic ? 92 : 108);
  const std::size_t securityEntry = directoryCountAt + 4 + 8 * kSecurityDirectory;
  const auto directoryCount = read32(image, directoryCountAt);
  // The certificate entry must lie inside the optional header as the file header sizes it.
  if (!directoryCount || *directoryCount <= kSecurityDirectory || securityEntry + 8 > optional + *optionalSize) {
    return std::nullopt;
  }
  const auto certificates = read32(image, securityEntry);
  const auto certificatesSize = read32(image, securityEntry + 4);
  if (!certificates || !certificatesSize) return std::nullopt;

  std::size_t hashedEnd = image.size();
  std::size_t padding = (8 - image.size() % 8) % 8;
  if (*certificatesSize != 0) {
    // Signed: the certificates follow everything else and are not hashed themselves.
    if (*certificates < securityEntry + 8 || *certificates > image.size() ||
        image.size() - *certificates < *certificatesSize) {
      return std::nullopt;
    }
    hashedEnd = *certificates;
    padding = 0;
  }
  std::vector<std::string_view> pieces{image.substr(0, checksum), image.substr(checksum + 4, securityEntry - checksum - 4),
                                       image.substr(securityEntry + 8, hashedEnd - securityEntry - 8)};
  if (padding != 0) pieces.emplace_back(kZeros, padding);
  return pieces;
}

platform::Result<platform::Sha256Digest> authenticodeDigest(platform::Hashing& hashing, std::string_view image) {
  const auto pieces = authenticodePieces(image);
  if (!pieces) return platform::Result<platform::Sha256Digest>::failure(platform::err::kInvalidData);
  return hashing.sha256(*pieces);
}

}  // namespace tlv::files
