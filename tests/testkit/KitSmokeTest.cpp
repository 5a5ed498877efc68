// Portable: one smoke test each for the robot's portable parts and the screenshot keeper.
#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "testkit/robot/DumpFormat.h"
#include "testkit/robot/ImageFiles.h"
#include "testkit/robot/RobotCommand.h"
#include "testkit/screenshots/PngFile.h"
#include "testkit/screenshots/ScreenshotSync.h"

namespace tlv::tools {
namespace {

using Bytes = std::vector<std::uint8_t>;

robot::RgbImage pattern(int width, int height) {
  robot::RgbImage image(width, height);
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

TEST(RobotCore, OutputLinesCommandsAndPicturesSurviveTheirRoundTrip) {
  const std::string awkward("say \"hi\"\r\n\tC:\\x\\\0\xE9", 17);
  const std::string line = robot::DumpLine("static").number("index", -3).text("text", awkward).format();
  EXPECT_EQ(line.find_first_of("\r\n"), std::string::npos) << "one line whatever the text";
  const auto parsed = robot::DumpLine::parse(line);
  ASSERT_TRUE(parsed.has_value()) << line;
  EXPECT_EQ(parsed->field("text"), awkward);
  EXPECT_EQ(parsed->numberField("index"), -3);
  EXPECT_FALSE(robot::DumpLine::parse("window text=\"open").has_value());

  const auto type = robot::parseRobotCommand({"type", "--title", "Find", "--edit-id", "101", "--", "--t"});
  ASSERT_TRUE(type.command) << type.error;
  EXPECT_EQ(type.command->operand, "--t");
  EXPECT_EQ(robot::parseRobotCommand({"type", "--title", "T", "text"}).error,
            "type needs exactly one of --edit and --edit-id");

  // The robot's own PNG encoder, read back by the keeper's zlib-based decoder; the sums
  // agree with zlib's.
  const robot::RgbImage image = pattern(393, 270);  // more than one stored deflate block
  const Bytes png = robot::encodePng(image);
  const auto decoded = screenshots::decodePng(png);
  ASSERT_TRUE(decoded.has_value());
  EXPECT_TRUE(screenshots::samePixels(*decoded, image));
  EXPECT_EQ(robot::crc32(image.pixels), ::crc32(0, image.pixels.data(), static_cast<uInt>(image.pixels.size())));
  EXPECT_EQ(robot::adler32(image.pixels), ::adler32(1, image.pixels.data(), static_cast<uInt>(image.pixels.size())));
}

TEST(ScreenshotKeeper, ReplacesTheKeptPictureOnlyWhenItsPixelsChange) {
  const auto folder = std::filesystem::temp_directory_path() /
                      ("tlv-screenshots-" + std::to_string(::testing::UnitTest::GetInstance()->random_seed()));
  std::filesystem::create_directories(folder);
  const auto write = [&](const Bytes& bytes) {
    std::ofstream(folder / "fresh.png", std::ios::binary)
        .write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
  };
  const auto kept = [&] {
    std::ifstream in(folder / "kept.png", std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), {});
  };
  using screenshots::SyncOutcome;
  const robot::RgbImage picture = pattern(30, 20);

  write(robot::encodePng(picture));
  EXPECT_EQ(screenshots::syncScreenshot(folder / "fresh.png", folder / "kept.png").outcome, SyncOutcome::Updated);
  EXPECT_NE(kept(), robot::encodePng(picture)) << "kept compressed";

  // The same pixels in other bytes leave the kept file alone; one changed channel does not.
  write(screenshots::encodeCompressedPng(picture));
  EXPECT_EQ(screenshots::syncScreenshot(folder / "fresh.png", folder / "kept.png").outcome, SyncOutcome::Unchanged);
  robot::RgbImage changed = picture;
  changed.at(29, 19)[2] ^= 1;
  write(robot::encodePng(changed));
  EXPECT_EQ(screenshots::syncScreenshot(folder / "fresh.png", folder / "kept.png").outcome, SyncOutcome::Updated);
  EXPECT_TRUE(screenshots::samePixels(*screenshots::decodePng(kept()), changed));
  EXPECT_EQ(screenshots::syncScreenshot(folder / "missing.png", folder / "kept.png").outcome, SyncOutcome::Failed);
  std::filesystem::remove_all(folder);
}

}  // namespace
}  // namespace tlv::tools
