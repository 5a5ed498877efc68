// Portable: the screenshot keeper's PNG reading and writing and its pixel comparison.
#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>

#include "tools/screenshots/PngFile.h"
#include "tools/screenshots/ScreenshotSync.h"

namespace tlv::tools::screenshots {
namespace {

using Bytes = std::vector<std::uint8_t>;

RgbImage testPicture(int width, int height) {
  RgbImage image(width, height);
  for (int y = 0; y < height; ++y) {
    for (int x = 0; x < width; ++x) {
      std::uint8_t* p = image.at(x, y);
      p[0] = static_cast<std::uint8_t>(x * 37 + y);
      p[1] = static_cast<std::uint8_t>(y * 91 ^ x);
      p[2] = static_cast<std::uint8_t>((x * y) % 251);
    }
  }
  return image;
}

void putBigEndian32(Bytes& out, std::uint32_t v) {
  for (int shift = 24; shift >= 0; shift -= 8) out.push_back(static_cast<std::uint8_t>(v >> shift));
}

void putChunk(Bytes& out, const char* type, const Bytes& data) {
  putBigEndian32(out, static_cast<std::uint32_t>(data.size()));
  const std::size_t typeAt = out.size();
  out.insert(out.end(), type, type + 4);
  out.insert(out.end(), data.begin(), data.end());
  putBigEndian32(out, robot::crc32(std::span(out).subspan(typeAt)));
}

int paeth(int a, int b, int c) {
  const int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
  return pa <= pb && pa <= pc ? a : pb <= pc ? b : c;
}

// A PNG written the way other encoders may: every row with `filter`, RGB or RGBA.
Bytes pngWithFilter(const RgbImage& image, int filter, bool alpha, std::uint8_t depth = 8, std::uint8_t interlace = 0) {
  const std::size_t bpp = alpha ? 4 : 3, stride = image.width * bpp;
  std::vector<Bytes> rows(image.height, Bytes(stride));
  for (int y = 0; y < image.height; ++y) {
    for (int x = 0; x < image.width; ++x) {
      std::copy(image.at(x, y), image.at(x, y) + 3, &rows[y][x * bpp]);
      if (alpha) rows[y][x * bpp + 3] = static_cast<std::uint8_t>(x);
    }
  }
  Bytes raw;
  for (int y = 0; y < image.height; ++y) {
    raw.push_back(static_cast<std::uint8_t>(filter));
    for (std::size_t i = 0; i < stride; ++i) {
      const int left = i >= bpp ? rows[y][i - bpp] : 0, up = y > 0 ? rows[y - 1][i] : 0;
      const int upLeft = y > 0 && i >= bpp ? rows[y - 1][i - bpp] : 0;
      const int predictor = filter == 1 ? left : filter == 2 ? up : filter == 3 ? (left + up) / 2
                          : filter == 4 ? paeth(left, up, upLeft) : 0;
      raw.push_back(static_cast<std::uint8_t>(rows[y][i] - predictor));
    }
  }
  uLongf length = ::compressBound(static_cast<uLong>(raw.size()));
  Bytes deflated(length);
  ::compress(deflated.data(), &length, raw.data(), static_cast<uLong>(raw.size()));
  deflated.resize(length);
  Bytes header;
  putBigEndian32(header, static_cast<std::uint32_t>(image.width));
  putBigEndian32(header, static_cast<std::uint32_t>(image.height));
  header.insert(header.end(), {depth, static_cast<std::uint8_t>(alpha ? 6 : 2), 0, 0, interlace});
  Bytes out{0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
  putChunk(out, "IHDR", header);
  putChunk(out, "IDAT", deflated);
  putChunk(out, "IEND", {});
  return out;
}

TEST(PngFile, ReadsWhatEncodersWriteWithEveryRowFilter) {
  const RgbImage picture = testPicture(23, 17);
  for (int filter = 0; filter <= 4; ++filter) {
    for (bool alpha : {false, true}) {
      SCOPED_TRACE("filter " + std::to_string(filter) + (alpha ? " RGBA" : " RGB"));
      const auto decoded = decodePng(pngWithFilter(picture, filter, alpha));
      ASSERT_TRUE(decoded.has_value());
      EXPECT_TRUE(samePixels(*decoded, picture));
    }
  }
  SCOPED_TRACE("the robot's own stored-block files and our compressed ones");
  const auto robots = decodePng(robot::encodePng(picture));
  ASSERT_TRUE(robots.has_value());
  EXPECT_TRUE(samePixels(*robots, picture));
  const Bytes compressed = encodeCompressedPng(picture);
  const auto ours = decodePng(compressed);
  ASSERT_TRUE(ours.has_value());
  EXPECT_TRUE(samePixels(*ours, picture));
  EXPECT_LT(encodeCompressedPng(RgbImage(400, 300)).size(), robot::encodePng(RgbImage(400, 300)).size() / 20)
      << "a flat window compresses";
}

TEST(PngFile, RefusesWhatItCannotReadFaithfully) {
  const RgbImage picture = testPicture(8, 8);
  const Bytes good = pngWithFilter(picture, 1, false);
  Bytes badCrc = good;
  badCrc[40] ^= 0x01;  // inside the IDAT data
  Bytes badFilter = pngWithFilter(picture, 5, false);
  struct Case {
    const char* what;
    Bytes file;
  };
  for (const Case& c : {Case{"empty", {}}, Case{"not a PNG", Bytes(good.begin() + 1, good.end())},
                        Case{"damaged", badCrc}, Case{"cut short", Bytes(good.begin(), good.end() - 12)},
                        Case{"16 bits a channel", pngWithFilter(picture, 0, false, 16)},
                        Case{"interlaced", pngWithFilter(picture, 0, false, 8, 1)},
                        Case{"unknown filter", badFilter}}) {
    SCOPED_TRACE(c.what);
    EXPECT_FALSE(decodePng(c.file).has_value());
  }
}

class ScreenshotSyncTest : public ::testing::Test {
 protected:
  void SetUp() override {
    folder = std::filesystem::temp_directory_path() /
             ("tlv-screenshots-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()) + "-" +
              ::testing::UnitTest::GetInstance()->current_test_info()->name());
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
  }
  void TearDown() override { std::filesystem::remove_all(folder); }

  void write(const std::string& name, const Bytes& bytes) {
    std::ofstream(folder / name, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), bytes.size());
  }
  Bytes read(const std::string& name) {
    std::ifstream in(folder / name, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
  }

  std::filesystem::path folder;
};

TEST_F(ScreenshotSyncTest, ReplacesTheKeptPictureOnlyWhenItsPixelsChange) {
  const RgbImage picture = testPicture(30, 20);
  write("fresh.png", robot::encodePng(picture));

  SyncResult result = syncScreenshot(folder / "fresh.png", folder / "kept.png");
  EXPECT_EQ(result.outcome, SyncOutcome::Updated) << result.message;
  const Bytes kept = read("kept.png");
  ASSERT_TRUE(decodePng(kept).has_value());
  EXPECT_TRUE(samePixels(*decodePng(kept), picture));

  // The same picture in other bytes (another encoder) leaves the kept file alone.
  write("fresh.png", pngWithFilter(picture, 4, true));
  result = syncScreenshot(folder / "fresh.png", folder / "kept.png");
  EXPECT_EQ(result.outcome, SyncOutcome::Unchanged) << result.message;
  EXPECT_EQ(read("kept.png"), kept);

  RgbImage changed = picture;
  changed.at(29, 19)[2] ^= 1;  // one channel of one pixel
  write("fresh.png", robot::encodePng(changed));
  result = syncScreenshot(folder / "fresh.png", folder / "kept.png");
  EXPECT_EQ(result.outcome, SyncOutcome::Updated) << result.message;
  EXPECT_TRUE(samePixels(*decodePng(read("kept.png")), changed));
}

TEST_F(ScreenshotSyncTest, AnUnreadableScreenshotFailsAndAnUnreadableKeptFileIsReplaced) {
  EXPECT_EQ(syncScreenshot(folder / "missing.png", folder / "kept.png").outcome, SyncOutcome::Failed);
  write("garbage.png", {1, 2, 3});
  EXPECT_EQ(syncScreenshot(folder / "garbage.png", folder / "kept.png").outcome, SyncOutcome::Failed);
  EXPECT_FALSE(std::filesystem::exists(folder / "kept.png")) << "nothing is written from a failed read";

  write("fresh.png", robot::encodePng(testPicture(5, 5)));
  write("kept.png", {1, 2, 3});
  EXPECT_EQ(syncScreenshot(folder / "fresh.png", folder / "kept.png").outcome, SyncOutcome::Updated);
  EXPECT_TRUE(decodePng(read("kept.png")).has_value());
}

}  // namespace
}  // namespace tlv::tools::screenshots
