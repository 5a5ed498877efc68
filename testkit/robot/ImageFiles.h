// Portable: screenshots as files: an uncompressed 24-bit BMP, or a PNG written by our own
// small encoder (stored deflate blocks, so no compression library is needed).
#pragma once

#include <cstdint>
#include <span>
#include <string_view>
#include <vector>

namespace tlv::tools::robot {

/// An image in memory: rows from top to bottom, three bytes per pixel in R, G, B order.
struct RgbImage {
  int width = 0;
  int height = 0;
  std::vector<std::uint8_t> pixels;

  RgbImage() = default;
  RgbImage(int w, int h) : width(w), height(h), pixels(static_cast<std::size_t>(w) * h * 3) {}
  std::uint8_t* at(int x, int y) { return &pixels[(static_cast<std::size_t>(y) * width + x) * 3]; }
  const std::uint8_t* at(int x, int y) const { return &pixels[(static_cast<std::size_t>(y) * width + x) * 3]; }
};

/// The whole PNG file: colour type 2 (RGB, 8 bits), no filtering, zlib with stored blocks.
std::vector<std::uint8_t> encodePng(const RgbImage& image);
/// The whole BMP file: BITMAPINFOHEADER, 24 bits, rows bottom-up, padded to four bytes.
std::vector<std::uint8_t> encodeBmp(const RgbImage& image);
/// PNG when the path ends in ".png" (any case), otherwise BMP.
std::vector<std::uint8_t> encodeImageForPath(const RgbImage& image, std::string_view path);

/// CRC-32 as PNG chunks and zip files use it (polynomial 0xEDB88320).
std::uint32_t crc32(std::span<const std::uint8_t> bytes, std::uint32_t crc = 0);
/// The zlib stream's Adler-32 checksum.
std::uint32_t adler32(std::span<const std::uint8_t> bytes);

}  // namespace tlv::tools::robot
