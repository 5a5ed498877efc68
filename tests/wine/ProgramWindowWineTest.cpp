// Win32 only: TlvAsService.exe under Wine, seen from the test's process: its window, its
// fonts, what the screen shows of it, and closing it. (Its menu is chosen from the keyboard
// in the end-to-end service test.)
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

#include "app/frmTlvAsService.h"
#include "platform/win32/UniqueHandle.h"
#include "app/win32/WindowUi.h"
#include "testkit/win32/Folders.h"
#include "testkit/win32/Gui.h"
#include "testkit/win32/Processes.h"

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
  Gui gui;
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
  platform::win32::UniqueGdiObject font = app::win32::createLabelFont(design, dpi);
  ASSERT_TRUE(font);
  ::SelectObject(dc.get(), font.get());
  const std::string status = "Service is Ready to Start";
  SIZE extent{};
  ASSERT_TRUE(::GetTextExtentPoint32A(dc.get(), status.c_str(), static_cast<int>(status.size()), &extent));
  char face[LF_FACESIZE] = {};
  ::GetTextFaceA(dc.get(), sizeof face, face);
  EXPECT_LE(extent.cx, ::MulDiv(design.labelWidth, dpi, 1440)) << "\"" << status << "\" in " << face << " is cut";
}

TEST_F(ProgramWindow, OpensCentredWithTheStatusLabel) {
  ASSERT_EQ(screenDpi(), 96) << "the pixel sizes below are for 96 dpi";
  const auto started = gui.start(program);
  ASSERT_NE(started.pid, 0u) << started.failure;
  const WindowView window = gui.wait(Window::titled(kCaption).of(started.pid));
  ASSERT_TRUE(window.found) << window.failure;

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
  EXPECT_TRUE(window.texts("button").empty());
  EXPECT_TRUE(window.texts("edit").empty());
}

TEST_F(ProgramWindow, TheScreenShowsTheWindowAsDrawnAndClosingItEndsTheProgram) {
  const auto started = gui.start(program);
  ASSERT_NE(started.pid, 0u) << started.failure;
  const Window window = Window::titled(kCaption).of(started.pid);
  // The picture is of the window alone once the run's box is closed.
  ASSERT_TRUE(gui.press(Window::dialog("Missing").of(started.pid), "OK"));
  ASSERT_TRUE(waitUntil([&] { return !gui.wait(Window::dialog("Missing").of(started.pid).within(0)).found; }, 5000));
  const WindowView view = gui.wait(window);
  ASSERT_TRUE(view.found) << view.failure;

  const auto picture = gui.capture(window);
  ASSERT_TRUE(picture.has_value());
  ASSERT_EQ(picture->width, view.width);
  const Control* label = view.control("static", 0);
  ASSERT_NE(label, nullptr);
  const int left = view.clientX + label->x, top = view.clientY + label->y;
  EXPECT_GT(picture->darkPixels(left, top, left + label->width, top + label->height), 50) << "the label's text";
  // Below the label the client area is empty face colour.
  const int emptyTop = top + label->height + 10;
  EXPECT_EQ(picture->darkPixels(view.clientX + 10, emptyTop, view.clientX + view.clientWidth - 10,
                                view.clientY + view.clientHeight - 10),
            0);
  ASSERT_TRUE(gui.close(window));
  EXPECT_EQ(gui.waitForExit(started.pid), 0ul) << "closing the window ends the program";
}

}  // namespace
}  // namespace tlv::testing
