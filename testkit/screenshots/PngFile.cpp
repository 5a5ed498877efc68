// Portable: decoding and compressed encoding of PNG files with zlib.
#include "testkit/screenshots/PngFile.h"

#include <zlib.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string_view>

namespace tlv::tools::screenshots {

namespace {

using Bytes = std::vector<std::uint8_t>;
constexpr std::uint8_t kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};

std::uint32_t bigEndian32(const std::uint8_t* p) {
  return std::uint32_t(p[0]) << 24 | std::uint32_t(p[1]) << 16 | std::uint32_t(p[2]) << 8 | p[3];
}

void putBigEndian32(Bytes& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void putChunk(Bytes& out, const char (&type)[5], const Bytes& data) {
  putBigEndian32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t typeAt = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  putBigEndian32(out, robot::crc32(std::span(out).subspan(typeAt)));
}

int paeth(int left, int up, int upLeft) {
  const int p = left + up - upLeft;
  const int pa = std::abs(p - left), pb = std::abs(p - up), pc = std::abs(p - upLeft);
  if (pa <= pb && pa <= pc) return left;
  return pb <= pc ? up : upLeft;
}

// Undoes the per-row filters in place; false for an unknown filter type.
bool unfilter(Bytes& raw, std::size_t stride, std::size_t rows, std::size_t bytesPerPixel) {
  for (std::size_t y = 0; y < rows; ++y) {
    std::uint8_t* row = &raw[y * (stride + 1)];
    const std::uint8_t filter = row[0];
    std::uint8_t* cur = row + 1;
    const std::uint8_t* prev = y > 0 ? &raw[(y - 1) * (stride + 1) + 1] : nullptr;
    for (std::size_t x = 0; x < stride; ++x) {
      const int left = x >= bytesPerPixel ? cur[x - bytesPerPixel] : 0;
      const int up = prev ? prev[x] : 0;
      const int upLeft = prev && x >= bytesPerPixel ? prev[x - bytesPerPixel] : 0;
      int predictor = 0;
      switch (filter) {
        case 0: predictor = 0; break;
        case 1: predictor = left; break;
        case 2: predictor = up; break;
        case 3: predictor = (left + up) / 2; break;
        case 4: predictor = paeth(left, up, upLeft); break;
        default: return false;
      }
      cur[x] = static_cast<std::uint8_t>(cur[x] + predictor);
    }
  }
  return true;
}

}  // namespace

std::optional<RgbImage> decodePng(std::span<const std::uint8_t> file) {
  if (file.size() < 8 || std::memcmp(file.data(), kSignature, 8) != 0) return std::nullopt;
  std::uint32_t width = 0, height = 0;
  std::size_t channels = 0;
  Bytes deflated;
  bool ended = false;
  for (std::size_t at = 8; at + 12 <= file.size() && !ended;) {
    const std::uint32_t length = bigEndian32(&file[at]);
    if (length > file.size() - at - 12) return std::nullopt;
    const std::string_view type(reinterpret_cast<const char*>(&file[at + 4]), 4);
    const std::uint8_t* data = &file[at + 8];
    if (robot::crc32(file.subspan(at + 4, length + 4)) != bigEndian32(data + length)) return std::nullopt;
    if (type == "IHDR") {
      if (length != 13 || data[8] != 8 || data[10] != 0 || data[11] != 0 || data[12] != 0) return std::nullopt;
      width = bigEndian32(data);
      height = bigEndian32(data + 4);
      channels = data[9] == 2 ? 3 : data[9] == 6 ? 4 : 0;
      if (channels == 0 || width == 0 || height == 0 || width > 16384 || height > 16384) return std::nullopt;
    } else if (type == "IDAT") {
      deflated.insert(deflated.end(), data, data + length);
    } else if (type == "IEND") {
      ended = true;
    }
    at += 12 + length;
  }
  if (!ended || channels == 0) return std::nullopt;

  const std::size_t stride = width * channels;
  Bytes raw((stride + 1) * height);
  uLongf rawLength = static_cast<uLongf>(raw.size());
  if (::uncompress(raw.data(), &rawLength, deflated.data(), static_cast<uLong>(deflated.size())) != Z_OK ||
      rawLength != raw.size() || !unfilter(raw, stride, height, channels)) {
    return std::nullopt;
  }
  RgbImage image(static_cast<int>(width), static_cast<int>(height));
  for (std::size_t y = 0; y < height; ++y) {
    for (std::size_t x = 0; x < width; ++x) {
      const std::uint8_t* from = &raw[y * (stride + 1) + 1 + x * channels];
      std::copy(from, from + 3, image.at(static_cast<int>(x), static_cast<int>(y)));
    }
  }
  return image;
}

std::vector<std::uint8_t> encodeCompressedPng(const RgbImage& image) {
  const std::size_t stride = static_cast<std::size_t>(image.width) * 3;
  // Each row with the "up" filter: a window's flat areas become runs of zeros.
  Bytes raw;
  raw.reserve((stride + 1) * image.height);
  for (int y = 0; y < image.height; ++y) {
    raw.push_back(2);
    const std::uint8_t* row = image.at(0, y);
    const std::uint8_t* up = y > 0 ? image.at(0, y - 1) : nullptr;
    for (std::size_t x = 0; x < stride; ++x) raw.push_back(static_cast<std::uint8_t>(row[x] - (up ? up[x] : 0)));
  }
  uLongf deflatedLength = ::compressBound(static_cast<uLong>(raw.size()));
  Bytes deflated(deflatedLength);
  if (::compress2(deflated.data(), &deflatedLength, raw.data(), static_cast<uLong>(raw.size()), Z_BEST_COMPRESSION) !=
      Z_OK) {
    return {};
  }
  deflated.resize(deflatedLength);

  Bytes header;
  putBigEndian32(header, static_cast<std::uint32_t>(image.width));
  putBigEndian32(header, static_cast<std::uint32_t>(image.height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // 8 bits, RGB, deflate, standard filters, not interlaced
  Bytes out(std::begin(kSignature), std::end(kSignature));
  putChunk(out, "IHDR", header);
  putChunk(out, "IDAT", deflated);
  putChunk(out, "IEND", {});
  return out;
}

bool samePixels(const RgbImage& a, const RgbImage& b) {
  return a.width == b.width && a.height == b.height && a.pixels == b.pixels;
}

}  // namespace tlv::tools::screenshots
