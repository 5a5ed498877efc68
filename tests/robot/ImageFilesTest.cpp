// Portable: the robot's image files. PNG files are read back with zlib as a viewer would, which
// checks their CRC and Adler-32 sums too; BMP files are checked field by field.
#include <gtest/gtest.h>
#include <zlib.h>

#include "tools/robot/ImageFiles.h"

namespace tlv::tools::robot {
namespace {

using Bytes = std::vector<std::uint8_t>;

std::uint32_t be32(const Bytes& b, std::size_t at) {
  return std::uint32_t(b[at]) << 24 | std::uint32_t(b[at + 1]) << 16 | std::uint32_t(b[at + 2]) << 8 | b[at + 3];
}
std::uint32_t le32(const Bytes& b, std::size_t at) {
  return std::uint32_t(b[at + 3]) << 24 | std::uint32_t(b[at + 2]) << 16 | std::uint32_t(b[at + 1]) << 8 | b[at];
}

// A test pattern in which every pixel differs from its neighbours.
RgbImage pattern(int width, int height) {
  RgbImage image(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::uint8_t* p = image.at(x, y);
      p[0] = static_cast<std::uint8_t>(x * 7 + y);
      p[1] = static_cast<std::uint8_t>(y * 13 + x);
      p[2] = static_cast<std::uint8_t>(x ^ y);
    }
  }
  return image;
}

TEST(ImageFiles, PngFilesDecodeToThePixelsGiven) {
  // 1x1; a row that needs one stored block; a picture bigger than one 65535-byte block.
  for (const auto& [width, height] : {std::pair{1, 1}, std::pair{5, 3}, std::pair{393, 270}}) {
    SCOPED_TRACE(std::to_string(width) + "x" + std::to_string(height));
    const RgbImage image = pattern(width, height);
    const Bytes png = encodePng(image);
    ASSERT_EQ(Bytes(png.begin(), png.begin() + 8), (Bytes{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'}));
    std::vector<std::pair<std::string, Bytes>> chunks;  // type and data, each CRC checked with zlib's own
    std::size_t at = 8;
    while (at + 12 <= png.size()) {
      const std::uint32_t length = be32(png, at);
      ASSERT_LE(at + 12 + length, png.size()) << "chunk runs past the end";
      const auto data = png.begin() + static_cast<std::ptrdiff_t>(at + 8);
      chunks.emplace_back(std::string(data - 4, data), Bytes(data, data + length));
      EXPECT_EQ(be32(png, at + 8 + length), ::crc32(0, png.data() + at + 4, length + 4)) << chunks.back().first;
      at += 12 + length;
    }
    EXPECT_EQ(at, png.size()) << "nothing after the last chunk";
    ASSERT_EQ(chunks.size(), 3u);
    ASSERT_EQ(chunks[0].first, "IHDR");
    EXPECT_EQ(be32(chunks[0].second, 0), static_cast<std::uint32_t>(width));
    EXPECT_EQ(be32(chunks[0].second, 4), static_cast<std::uint32_t>(height));
    EXPECT_EQ(Bytes(chunks[0].second.begin() + 8, chunks[0].second.end()), (Bytes{8, 2, 0, 0, 0}));
    ASSERT_EQ(chunks[1].first, "IDAT");
    EXPECT_EQ(chunks[2].first, "IEND");
    EXPECT_TRUE(chunks[2].second.empty());

    const std::size_t rowBytes = static_cast<std::size_t>(width) * 3 + 1;
    Bytes raw(rowBytes * static_cast<std::size_t>(height) + 1);  // one spare byte shows any excess
    uLongf rawLength = raw.size();
    ASSERT_EQ(::uncompress(raw.data(), &rawLength, chunks[1].second.data(), chunks[1].second.size()), Z_OK);
    ASSERT_EQ(rawLength, rowBytes * static_cast<std::size_t>(height));
    for (int y = 0; y < height; ++y) {
      const auto row = raw.begin() + static_cast<std::ptrdiff_t>(rowBytes * static_cast<std::size_t>(y));
      ASSERT_EQ(row[0], 0) << "filter None, row " << y;
      ASSERT_TRUE(std::equal(row + 1, row + static_cast<std::ptrdiff_t>(rowBytes), image.at(0, y))) << "row " << y;
    }
  }
}

TEST(ImageFiles, BmpFilesHoldBottomUpRowsPaddedToFourBytes) {
  for (const int width : {1, 2, 3, 4, 5}) {
    SCOPED_TRACE("width " + std::to_string(width));
    const int height = 3;
    const RgbImage image = pattern(width, height);
    const Bytes bmp = encodeBmp(image);
    const std::size_t stride = (static_cast<std::size_t>(width) * 3 + 3) / 4 * 4;
    ASSERT_EQ(bmp.size(), 54 + stride * height);
    EXPECT_EQ(std::string(bmp.begin(), bmp.begin() + 2), "BM");
    // File size, offset of the pixels, size of the info header, width, height; 24 bits a pixel.
    EXPECT_EQ((std::vector{le32(bmp, 2), le32(bmp, 10), le32(bmp, 14), le32(bmp, 18), le32(bmp, 22)}),
              (std::vector<std::uint32_t>{static_cast<std::uint32_t>(bmp.size()), 54, 40, std::uint32_t(width), 3}));
    EXPECT_EQ(bmp[28], 24);
    for (int y = 0; y < height; ++y) {
      const std::size_t row = 54 + stride * static_cast<std::size_t>(height - 1 - y);
      for (int x = 0; x < width; ++x) {
        const std::uint8_t* p = image.at(x, y);
        const std::size_t at = row + static_cast<std::size_t>(x) * 3;
        ASSERT_EQ((Bytes{bmp[at], bmp[at + 1], bmp[at + 2]}), (Bytes{p[2], p[1], p[0]})) << x << "," << y;
      }
      for (std::size_t pad = static_cast<std::size_t>(width) * 3; pad < stride; ++pad) EXPECT_EQ(bmp[row + pad], 0);
    }
  }
}

TEST(ImageFiles, TheFileKindFollowsThePath) {
  const RgbImage image = pattern(2, 2);
  EXPECT_EQ(encodeImageForPath(image, "C:\\shots\\a.PNG"), encodePng(image));
  EXPECT_EQ(encodeImageForPath(image, "a.png"), encodePng(image));
  EXPECT_EQ(encodeImageForPath(image, "a.bmp"), encodeBmp(image));
  EXPECT_EQ(encodeImageForPath(image, "png"), encodeBmp(image));
}

}  // namespace
}  // namespace tlv::tools::robot
