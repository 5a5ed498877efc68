// Win32 only: TlvAsService.exe under Wine, seen through the robot: its window, the start-up
// timer, closing it, and what the screen shows of it.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "app/frmTlvAsService.h"
#include "platform/win32/UniqueHandle.h"
#include "platform/win32/Win32Ui.h"
#include "testkit/win32/Folders.h"
#include "testkit/win32/Robot.h"

namespace tlv::testing {
namespace {

const char kCaption[] = "Make Service for Tolvane";

class ProgramWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    program = folder.copyIn(buildRoot() + "app\\TlvAsService.exe");
    ASSERT_FALSE(program.empty()) << "TlvAsService.exe not found in the build tree " << buildRoot();
  }

  ScratchProgramFolder folder{"ProgramWindow"};
  Robot robot;
  std::string program;
};

int screenDpi() {
  HDC screen = ::GetDC(nullptr);
  const int dpi = ::GetDeviceCaps(screen, LOGPIXELSY);
  ::ReleaseDC(nullptr, screen);
  return dpi;
}

// EnumFontFamiliesExA's callback (WINAPI: a lambda has the default calling convention,
// which on x86 is not the one the API calls with): notes that a font was found.
int CALLBACK noteFontFound(const LOGFONTA*, const TEXTMETRICA*, DWORD, LPARAM seen) {
  *reinterpret_cast<bool*>(seen) = true;
  return 0;
}

// The machine's fonts as the window needs them: the caption buttons draw with Marlett's
// symbols, and the success status fits the label's designed width in the label's font.
TEST(WindowFonts, TheCaptionButtonsHaveMarlettAndTheLabelHoldsTheWholeSuccessStatus) {
  platform::win32::UniqueMemoryDc dc(::CreateCompatibleDC(nullptr));
  ASSERT_TRUE(dc);
  LOGFONTA wanted{};
  wanted.lfCharSet = SYMBOL_CHARSET;
  std::snprintf(wanted.lfFaceName, sizeof wanted.lfFaceName, "Marlett");
  bool marlett = false;
  ::EnumFontFamiliesExA(dc.get(), &wanted, noteFontFound, reinterpret_cast<LPARAM>(&marlett), 0);
  EXPECT_TRUE(marlett) << "no Marlett: the caption buttons draw as letters";

  const platform::WindowDesign design = app::frmTlvAsService::Design();
  const int dpi = screenDpi();
  platform::win32::UniqueGdiObject font = platform::win32::createLabelFont(design, dpi);
  ASSERT_TRUE(font);
  ::SelectObject(dc.get(), font.get());
  const std::string status = "Service is Ready to Start";
  SIZE extent{};
  ASSERT_TRUE(::GetTextExtentPoint32A(dc.get(), status.c_str(), static_cast<int>(status.size()), &extent));
  char face[LF_FACESIZE] = {};
  ::GetTextFaceA(dc.get(), sizeof face, face);
  EXPECT_LE(extent.cx, ::MulDiv(design.labelWidth, dpi, 1440)) << "\"" << status << "\" in " << face << " is cut";
}

TEST_F(ProgramWindow, OpensCentredWithTheStatusLabelAndTheMenuItem) {
  ASSERT_EQ(screenDpi(), 96) << "the pixel sizes below are for 96 dpi";
  const auto started = robot.start(program, {}, /*dumpWindow=*/true);
  ASSERT_NE(started.pid, 0u) << started.run.failure;
  const WindowView& window = started.window;
  ASSERT_TRUE(window.found) << window.failure;

  EXPECT_EQ(window.title, kCaption);
  EXPECT_EQ(window.pid, started.pid);
  EXPECT_EQ(window.clientWidth, 387);  // 5805 x 3390 twips
  EXPECT_EQ(window.clientHeight, 226);
  // Centred in whole pixels, give or take one.
  EXPECT_LE(std::abs(window.x - (::GetSystemMetrics(SM_CXSCREEN) - window.width) / 2), 1);
  EXPECT_LE(std::abs(window.y - (::GetSystemMetrics(SM_CYSCREEN) - window.height) / 2), 1);

  // Read before the 500 ms timer first rewrites it.
  EXPECT_EQ(window.texts("static"), std::vector<std::string>{"Status"});
  const Control* label = window.control("static", 0);
  ASSERT_NE(label, nullptr);
  EXPECT_EQ((std::vector<int>{label->x, label->y, label->width, label->height}),
            (std::vector<int>{40, 40, 241, 25}));  // 600, 600, 3615, 375 twips
  EXPECT_EQ(window.menu, std::vector<std::string>{"Create Tol Vane Service"});
  EXPECT_TRUE(window.texts("button").empty());
  EXPECT_TRUE(window.texts("edit").empty());
}

TEST_F(ProgramWindow, TheTimerRewritesTheStatusAndClosingTheWindowEndsTheProgram) {
  const auto started = robot.start(program);
  ASSERT_NE(started.pid, 0u) << started.run.failure;
  const Window window = Window::titled(kCaption).of(started.pid);

  std::vector<std::string> statics;
  for (int attempt = 0; attempt < 50; ++attempt) {
    const WindowView view = robot.wait(window);
    ASSERT_TRUE(view.found) << view.failure;
    statics = view.texts("static");
    if (statics != std::vector<std::string>{"Status"}) break;
    ::Sleep(100);
  }
  ASSERT_EQ(statics.size(), 1u);
  EXPECT_NE(statics[0], "Status") << "the start-up timer never fired";
  EXPECT_FALSE(statics[0].empty());

  ASSERT_TRUE(robot.close(window));
  EXPECT_EQ(robot.waitForExit(started.pid), 0ul);
}

// Reads a little-endian field of a BMP header.
std::uint32_t le32(const std::string& bytes, std::size_t at) {
  std::uint32_t v = 0;
  for (int i = 3; i >= 0; --i) v = v << 8 | static_cast<unsigned char>(bytes[at + static_cast<std::size_t>(i)]);
  return v;
}

// Pixels darker than mid-grey in a rectangle of a 24-bit bottom-up BMP.
int darkPixels(const std::string& bmp, int left, int top, int right, int bottom) {
  const int width = static_cast<int>(le32(bmp, 18));
  const int height = static_cast<int>(le32(bmp, 22));
  const int stride = (width * 3 + 3) & ~3;
  int dark = 0;
  for (int y = top; y < bottom; ++y) {
    for (int x = left; x < right; ++x) {
      const std::size_t at = le32(bmp, 10) + static_cast<std::size_t>((height - 1 - y) * stride + x * 3);
      const int sum = static_cast<unsigned char>(bmp[at]) + static_cast<unsigned char>(bmp[at + 1]) +
                      static_cast<unsigned char>(bmp[at + 2]);
      if (sum < 3 * 100) ++dark;
    }
  }
  return dark;
}

TEST_F(ProgramWindow, ScreenshotsShowTheWindowAsItIsDrawn) {
  const auto started = robot.start(program);
  ASSERT_NE(started.pid, 0u) << started.run.failure;
  const Window window = Window::titled(kCaption).of(started.pid);
  // Without the tools beside it the run ends at once with a box; the picture is of the
  // window alone once the box is closed.
  ASSERT_TRUE(robot.press(Window::dialog("Missing").of(started.pid), "OK"));
  const WindowView view = robot.wait(window);
  ASSERT_TRUE(view.found) << view.failure;
  EXPECT_EQ(view.texts("static"), std::vector<std::string>{"instsrv.exe Missing"});

  const std::string shots = buildRoot() + "tests\\wine\\screenshots\\";
  ::CreateDirectoryA(shots.c_str(), nullptr);
  ASSERT_TRUE(robot.screenshot(window, shots + "TlvAsService.png"));
  ASSERT_TRUE(robot.screenshot(window, shots + "TlvAsService.bmp"));

  const std::string png = readFile(shots + "TlvAsService.png");
  ASSERT_GT(png.size(), 33u);
  EXPECT_EQ(png.substr(0, 8), std::string("\x89PNG\r\n\x1A\n", 8));
  EXPECT_EQ(png.substr(12, 4), "IHDR");
  const auto be32 = [&](std::size_t at) {
    return std::uint32_t(std::uint8_t(png[at])) << 24 | std::uint32_t(std::uint8_t(png[at + 1])) << 16 |
           std::uint32_t(std::uint8_t(png[at + 2])) << 8 | std::uint8_t(png[at + 3]);
  };
  EXPECT_EQ(be32(16), static_cast<std::uint32_t>(view.width));
  EXPECT_EQ(be32(20), static_cast<std::uint32_t>(view.height));

  const std::string bmp = readFile(shots + "TlvAsService.bmp");
  ASSERT_GT(bmp.size(), 54u);
  ASSERT_EQ(bmp.substr(0, 2), "BM");
  ASSERT_EQ(le32(bmp, 18), static_cast<std::uint32_t>(view.width));
  ASSERT_EQ(le32(bmp, 22), static_cast<std::uint32_t>(view.height));
  const Control* label = view.control("static", 0);
  ASSERT_NE(label, nullptr);
  const int left = view.clientX + label->x, top = view.clientY + label->y;
  EXPECT_GT(darkPixels(bmp, left, top, left + label->width, top + label->height), 50) << "the label's text";
  // Below the label the client area is empty face colour.
  const int emptyTop = top + label->height + 10;
  EXPECT_EQ(darkPixels(bmp, view.clientX + 10, emptyTop, view.clientX + view.clientWidth - 10,
                       view.clientY + view.clientHeight - 10),
            0);
}

}  // namespace
}  // namespace tlv::testing
