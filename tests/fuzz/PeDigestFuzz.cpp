// Fuzz target: the Authenticode parts of any bytes (a planted file beside the program), which
// must lie inside the bytes, in order, and leave out only the checksum, the certificate entry
// and the certificates.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "files/PeDigest.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view image(reinterpret_cast<const char*>(data), size);
  const auto pieces = tlv::files::authenticodePieces(image);
  if (!pieces) return 0;
  std::size_t covered = 0;
  std::size_t next = 0;  // where the next piece of the image may start
  for (std::string_view piece : *pieces) {
    const bool inImage = piece.data() >= image.data() && piece.data() + piece.size() <= image.data() + image.size();
    if (inImage) {
      const auto at = static_cast<std::size_t>(piece.data() - image.data());
      if (at < next) __builtin_trap();
      next = at + piece.size();
      covered += piece.size();
    } else if (piece.size() >= 8 || piece.find_first_not_of('\0') != std::string_view::npos) {
      __builtin_trap();  // only the zero padding lies outside the image
    }
  }
  // Twelve bytes of fields are left out, and at most the certificates after them.
  if (covered + 12 > size) __builtin_trap();
  return 0;
}
