// Build-time tool, run on the build machine: the Authenticode SHA-256 of Windows program
// files, computed as the program computes it at run time.
//   tooldigest FILE...                       prints "<hex digest>  FILE" per file
//   tooldigest --source OUT.cpp INSTSRV SRVANY  writes the program's ToolDigests source
#include <cstdio>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "files/PeDigest.h"
#include "platform/host/LibcryptoSha256.h"

namespace {

// Says on stderr why a file has no digest.
std::optional<tlv::platform::Sha256Digest> digestOfFile(const char* path) {
  std::ifstream in(path, std::ios::binary);
  const std::string bytes((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  const auto pieces = in ? tlv::files::authenticodePieces(bytes) : std::nullopt;
  if (!pieces) {
    std::fprintf(stderr, "tooldigest: %s is no readable PE image\n", path);
    return std::nullopt;
  }
  const auto digest = tlv::platform::host::libcryptoSha256(*pieces);
  if (!digest) {
    std::fprintf(stderr, "tooldigest: libcrypto cannot hash %s (error %u)\n", path, static_cast<unsigned>(digest.error));
    return std::nullopt;
  }
  return digest.value;
}

std::string hexOf(const tlv::platform::Sha256Digest& digest, const char* separator, const char* prefix) {
  std::string text;
  for (std::size_t i = 0; i < digest.size(); ++i) {
    char byte[8];
    std::snprintf(byte, sizeof byte, "%s%02x", prefix, digest[i]);
    if (i > 0) text += separator;
    text += byte;
  }
  return text;
}

int writeSource(const char* out, const char* instsrv, const char* srvany) {
  const auto instsrvDigest = digestOfFile(instsrv);
  const auto srvanyDigest = digestOfFile(srvany);
  if (!instsrvDigest || !srvanyDigest) return 1;
  std::ofstream source(out, std::ios::binary | std::ios::trunc);
  source << "// Generated at build time by tooldigest from the tools built with this program.\n"
            "#include \"app/ToolDigests.h\"\n\n"
            "namespace tlv::app {\n\n"
            "const ToolDigests& releaseToolDigests() {\n"
            "  static const ToolDigests digests{\n"
            "      .instsrv = {"
         << hexOf(*instsrvDigest, ", ", "0x")
         << "},\n"
            "      .srvany = {"
         << hexOf(*srvanyDigest, ", ", "0x")
         << "}};\n"
            "  return digests;\n"
            "}\n\n"
            "}  // namespace tlv::app\n";
  source.close();
  if (!source) {
    std::fprintf(stderr, "tooldigest: cannot write %s\n", out);
    return 1;
  }
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc == 5 && std::string(argv[1]) == "--source") return writeSource(argv[2], argv[3], argv[4]);
  if (argc < 2 || argv[1][0] == '-') {
    std::fprintf(stderr, "usage: tooldigest FILE... | tooldigest --source OUT.cpp INSTSRV SRVANY\n");
    return 2;
  }
  int status = 0;
  for (int i = 1; i < argc; ++i) {
    if (const auto digest = digestOfFile(argv[i])) {
      std::printf("%s  %s\n", hexOf(*digest, "", "").c_str(), argv[i]);
    } else {
      status = 1;
    }
  }
  return status;
}
