// Portable: the Authenticode digests of this release's own instsrv.exe and srvany.exe, by
// which the run knows the tools it may place in the Windows folder.
#pragma once

#include <string_view>

#include "platform/Hashing.h"

namespace tlv::app {

struct ToolDigests {
  platform::Sha256Digest instsrv{};
  platform::Sha256Digest srvany{};

  /// The digest of the tool of that file name ("instsrv.exe", "srvany.exe"); null for others.
  const platform::Sha256Digest* of(std::string_view tool) const {
    if (tool == "instsrv.exe") return &instsrv;
    if (tool == "srvany.exe") return &srvany;
    return nullptr;
  }
};

/// The digests of the tools built together with this program, computed from their shipped
/// bytes at build time (defined by the Windows build's generated source).
const ToolDigests& releaseToolDigests();

}  // namespace tlv::app
