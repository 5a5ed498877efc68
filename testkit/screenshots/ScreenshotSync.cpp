// Portable: comparing a fresh screenshot with the kept one by pixels and replacing it.
#include "testkit/screenshots/ScreenshotSync.h"

#include <fstream>
#include <iterator>
#include <optional>
#include <vector>

#include "testkit/screenshots/PngFile.h"

namespace tlv::tools::screenshots {

namespace {

std::optional<std::vector<std::uint8_t>> readFile(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return std::nullopt;
  return std::vector<std::uint8_t>(std::istreambuf_iterator<char>(in), {});
}

bool writeFile(const std::filesystem::path& path, const std::vector<std::uint8_t>& bytes) {
  // Written beside the target and renamed over it: a failed write never leaves half a picture.
  const std::filesystem::path temporary = path.string() + ".new";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    if (!out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()))) {
      return false;
    }
  }
  std::error_code error;
  std::filesystem::rename(temporary, path, error);
  return !error;
}

}  // namespace

SyncResult syncScreenshot(const std::filesystem::path& source, const std::filesystem::path& kept) {
  const auto sourceBytes = readFile(source);
  if (!sourceBytes) return {SyncOutcome::Failed, "no screenshot " + source.string()};
  const auto fresh = decodePng(*sourceBytes);
  if (!fresh) return {SyncOutcome::Failed, source.string() + " is not a PNG this tool reads"};

  if (const auto keptBytes = readFile(kept)) {
    const auto old = decodePng(*keptBytes);
    if (old && samePixels(*old, *fresh)) return {SyncOutcome::Unchanged, kept.string() + " unchanged"};
  }
  const auto encoded = encodeCompressedPng(*fresh);
  if (encoded.empty() || !writeFile(kept, encoded)) return {SyncOutcome::Failed, "cannot write " + kept.string()};
  return {SyncOutcome::Updated, kept.string() + " updated"};
}

}  // namespace tlv::tools::screenshots
