// Portable: the Authenticode digest of a Windows program file: the SHA-256 that signing
// tools compute, which neither the header's checksum nor a signature added later changes.
#pragma once

#include <optional>
#include <string_view>
#include <vector>

#include "platform/Hashing.h"

namespace tlv::files {

/// The parts of a PE image that its Authenticode digest covers, in order: the whole file less
/// the optional header's checksum field, its certificate-table entry and the certificate data
/// at the end; an unsigned file is followed by the zero bytes that pad it to a multiple of
/// eight, as a signer pads it before appending the certificates. nullopt for bytes that are
/// no PE image, or whose certificate entry points outside the file.
std::optional<std::vector<std::string_view>> authenticodePieces(std::string_view image);

/// The Authenticode SHA-256 of a PE image; ERROR_INVALID_DATA when the bytes are no PE
/// image, the hashing port's error when it could not hash.
platform::Result<platform::Sha256Digest> authenticodeDigest(platform::Hashing& hashing, std::string_view image);

}  // namespace tlv::files
