// Portable: the BMP and PNG encoders of the robot's screenshots.
#include "testkit/robot/ImageFiles.h"

#include <algorithm>
#include <array>
#include <cctype>
#include <string>

namespace tlv::tools::robot {

namespace {

using Bytes = std::vector<std::uint8_t>;

void putBigEndian32(Bytes& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void putLittleEndian16(Bytes& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

void putLittleEndian32(Bytes& out, std::uint32_t v) {
  putLittleEndian16(out, v & 0xFFFF);
  putLittleEndian16(out, v >> 16);
}

// length, type, data, CRC over type and data
void putChunk(Bytes& out, const char (&type)[5], const Bytes& data) {
  putBigEndian32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t typeAt = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  putBigEndian32(out, crc32(std::span(out).subspan(typeAt)));
}

// The zlib stream of `raw` in stored (uncompressed) deflate blocks of at most 65535 bytes.
Bytes zlibStored(const Bytes& raw) {
  constexpr std::size_t kMaxBlock = 65535;
  Bytes out{0x78, 0x01};  // deflate, 32 KiB window, no dictionary; 0x7801 is a multiple of 31
  std::size_t pos = 0;
  do {
    const std::size_t length = std::min(kMaxBlock, raw.size() - pos);
    const bool last = pos + length == raw.size();
    out.push_back(last ? 0x01 : 0x00);  // BFINAL bit, BTYPE 00 = stored
    putLittleEndian16(out, static_cast<std::uint32_t>(length));
    putLittleEndian16(out, static_cast<std::uint32_t>(~length & 0xFFFF));
    out.insert(out.end(), raw.begin() + static_cast<std::ptrdiff_t>(pos),
               raw.begin() + static_cast<std::ptrdiff_t>(pos + length));
    pos += length;
  } while (pos < raw.size());
  putBigEndian32(out, adler32(raw));
  return out;
}

const std::array<std::uint32_t, 256>& crcTable() {
  static const auto table = [] {
    std::array<std::uint32_t, 256> t{};
    for (std::uint32_t n = 0; n < 256; ++n) {
      std::uint32_t c = n;
      for (int k = 0; k < 8; ++k) c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
      t[n] = c;
    }
    return t;
  }();
  return table;
}

}  // namespace

std::uint32_t crc32(std::span<const std::uint8_t> bytes, std::uint32_t crc) {
  const auto& table = crcTable();
  crc = ~crc;
  for (const std::uint8_t b : bytes) crc = table[(crc ^ b) & 0xFF] ^ (crc >> 8);
  return ~crc;
}

std::uint32_t adler32(std::span<const std::uint8_t> bytes) {
  constexpr std::uint32_t kModulus = 65521;
  std::uint32_t a = 1, b = 0;
  for (const std::uint8_t byte : bytes) {
    a = (a + byte) % kModulus;
    b = (b + a) % kModulus;
  }
  return (b << 16) | a;
}

std::vector<std::uint8_t> encodePng(const RgbImage& image) {
  const auto rowBytes = static_cast<std::size_t>(image.width) * 3;
  Bytes raw;
  raw.reserve((rowBytes + 1) * static_cast<std::size_t>(image.height));
  for (int y = 0; y < image.height; ++y) {
    raw.push_back(0);  // filter type None
    const std::uint8_t* row = image.at(0, y);
    raw.insert(raw.end(), row, row + rowBytes);
  }

  Bytes header;
  putBigEndian32(header, static_cast<std::uint32_t>(image.width));
  putBigEndian32(header, static_cast<std::uint32_t>(image.height));
  header.insert(header.end(), {8, 2, 0, 0, 0});  // depth 8, RGB, deflate, no filter set, no interlace

  Bytes png{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  putChunk(png, "IHDR", header);
  putChunk(png, "IDAT", zlibStored(raw));
  putChunk(png, "IEND", {});
  return png;
}

std::vector<std::uint8_t> encodeBmp(const RgbImage& image) {
  const auto rowBytes = (static_cast<std::uint32_t>(image.width) * 3 + 3) & ~3u;
  const std::uint32_t pixelBytes = rowBytes * static_cast<std::uint32_t>(image.height);
  constexpr std::uint32_t kHeaders = 14 + 40;

  Bytes bmp{'B', 'M'};
  putLittleEndian32(bmp, kHeaders + pixelBytes);
  putLittleEndian32(bmp, 0);  // reserved
  putLittleEndian32(bmp, kHeaders);
  putLittleEndian32(bmp, 40);  // BITMAPINFOHEADER
  putLittleEndian32(bmp, static_cast<std::uint32_t>(image.width));
  putLittleEndian32(bmp, static_cast<std::uint32_t>(image.height));  // positive: bottom-up rows
  putLittleEndian16(bmp, 1);                                         // planes
  putLittleEndian16(bmp, 24);                                        // bits per pixel
  putLittleEndian32(bmp, 0);                                         // BI_RGB
  putLittleEndian32(bmp, pixelBytes);
  putLittleEndian32(bmp, 3780);  // 96 dpi in pixels per metre, both ways
  putLittleEndian32(bmp, 3780);
  putLittleEndian32(bmp, 0);  // colours used
  putLittleEndian32(bmp, 0);  // colours important

  for (int y = image.height - 1; y >= 0; --y) {
    const std::size_t rowStart = bmp.size();
    for (int x = 0; x < image.width; ++x) {
      const std::uint8_t* p = image.at(x, y);
      bmp.insert(bmp.end(), {p[2], p[1], p[0]});
    }
    bmp.resize(rowStart + rowBytes, 0);
  }
  return bmp;
}

std::vector<std::uint8_t> encodeImageForPath(const RgbImage& image, std::string_view path) {
  std::string tail(path.substr(path.size() >= 4 ? path.size() - 4 : 0));
  std::transform(tail.begin(), tail.end(), tail.begin(), [](unsigned char c) { return std::tolower(c); });
  return tail == ".png" ? encodePng(image) : encodeBmp(image);
}

}  // namespace tlv::tools::robot
