// Win32 only: TlvAsService.exe under Wine: its window seen from the test's process (where it
// opens, its label, what the screen shows, its common controls, closing it), its fonts, and its
// menu read and chosen in the window hosted in the test's own process.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "app/frmTlvAsService.h"
#include "app/win32/WindowUi.h"
#include "platform/win32/UniqueHandle.h"
#include "testkit/win32/Edition.h"
#include "testkit/win32/Folders.h"
#include "testkit/win32/Gui.h"
#include "testkit/win32/Processes.h"
// After <windows.h>, which UniqueHandle.h brings.
#include <psapi.h>

namespace tlv::testing {
namespace {

const char kCaption[] = "Make Service for Tolvane";

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

// The path of the comctl32.dll the process has loaded; empty when it has none.
std::string loadedCommonControls(unsigned long pid) {
  platform::win32::UniqueKernelHandle process(::OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
  HMODULE modules[512] = {};
  DWORD needed = 0;
  if (!process || !::EnumProcessModules(process.get(), modules, sizeof modules, &needed)) return {};
  for (DWORD i = 0; i < std::min<DWORD>(needed / sizeof(HMODULE), 512); ++i) {
    char path[MAX_PATH] = {};
    std::string file(path, ::GetModuleFileNameExA(process.get(), modules[i], path, MAX_PATH));
    std::transform(file.begin(), file.end(), file.begin(), [](unsigned char c) { return std::tolower(c); });
    if (file.ends_with("\\comctl32.dll")) return file;
  }
  return {};
}

// One run from a folder without srvany.exe, which ends with a box that names it.
TEST(ProgramWindow, OpensCentredRunsWithCommonControls6ShowsTheMissingToolAsDrawnAndClosesOnRequest) {
  ASSERT_EQ(screenDpi(), 96) << "the pixel sizes below are for 96 dpi";
  ScratchFolder folder = ScratchFolder::programs("ProgramWindow");
  const std::string program = folder.copyIn(buildRoot() + "app\\TlvAsService.exe");
  ASSERT_FALSE(program.empty()) << "TlvAsService.exe not found in the build tree " << buildRoot();
  ASSERT_FALSE(folder.copyIn(buildRoot() + "tools\\instsrv\\instsrv.exe").empty());
  Gui gui;
  const auto started = gui.start(program);
  ASSERT_NE(started.pid, 0u) << started.failure;
  const Window main = Window::titled(kCaption).of(started.pid);
  const WindowView window = gui.wait(main);
  ASSERT_TRUE(window.found) << window.failure;
  const auto [frame, client] = placementOf(window.hwnd);
  EXPECT_EQ(client.width, 387);  // 5805 x 3390 twips
  EXPECT_EQ(client.height, 226);
  // Centred in whole pixels, give or take one.
  EXPECT_LE(std::abs(frame.x - (::GetSystemMetrics(SM_CXSCREEN) - frame.width) / 2), 1);
  EXPECT_LE(std::abs(frame.y - (::GetSystemMetrics(SM_CYSCREEN) - frame.height) / 2), 1);
  // Read before the 500 ms timer first rewrites it.
  EXPECT_EQ(window.texts("static"), std::vector<std::string>{"Status"});
  const Control* labelControl = window.control("static", 0);
  ASSERT_NE(labelControl, nullptr);
  const Placement label = placementIn(window.hwnd, labelControl->hwnd);
  EXPECT_EQ((std::vector<int>{label.x, label.y, label.width, label.height}),
            (std::vector<int>{40, 40, 241, 25}));  // 600, 600, 3615, 375 twips
  EXPECT_TRUE(window.texts("button").empty());
  EXPECT_TRUE(window.texts("edit").empty());

  const Gui::Ending ending = gui.nextBox(started.pid, "Missing");
  ASSERT_TRUE(ending.box.found) << ending.box.failure;
  EXPECT_EQ(ending.status, "srvany.exe Missing");
  const std::string path = folder.path() + "srvany.exe", padding(23, ' ');
  EXPECT_THAT(ending.box.texts("static"), ::testing::Contains(path + "\r\n" + padding));
  // The modules are listed only now: walking a process's module list while it loads a library
  // can loop for good. The side-by-side copy that the manifest's dependency binds, not the
  // system folder's version 5 (whose file Wine also marks 5.x in the side-by-side folder).
  EXPECT_THAT(loadedCommonControls(started.pid),
              ::testing::HasSubstr(std::string("\\winsxs\\") + (k64BitEdition ? "amd64" : "x86") +
                                   "_microsoft.windows.common-controls_6595b64144ccf1df_6."));
  ASSERT_TRUE(gui.press(Window::dialog("Missing").of(started.pid), "OK"));
  ASSERT_TRUE(waitUntil([&] { return !::IsWindow(ending.box.hwnd); }, 5000));

  // The picture is of the window alone: the label's text, below it empty face colour.
  const auto picture = gui.capture(main);
  ASSERT_TRUE(picture.has_value());
  ASSERT_EQ(picture->width, frame.width);
  const int left = client.x + label.x, top = client.y + label.y;
  EXPECT_GT(picture->darkPixels(left, top, left + label.width, top + label.height), 50) << "the label's text";
  EXPECT_EQ(picture->darkPixels(client.x + 10, top + label.height + 10, client.x + client.width - 10,
                                client.y + client.height - 10),
            0);
  ASSERT_TRUE(gui.close(main));
  EXPECT_EQ(gui.waitForExit(started.pid), 0ul) << "closing the window ends the program";
}

// The window hosted in this process: another process cannot read a window's menu under Wine.
// At the first tick its one item is chosen with Alt, then Enter; should that choose nothing,
// the window is closed after twenty ticks.
class KeyboardUser final : public platform::WindowEvents {
 public:
  void onLoad(platform::WindowControls&) override {
    window = ::FindWindowA("TlvAsServiceWindow", kCaption);
    const HMENU menu = ::GetMenu(window);
    for (int i = 0; i < ::GetMenuItemCount(menu); ++i) {
      char caption[128] = {};
      ::GetMenuStringA(menu, static_cast<UINT>(i), caption, sizeof caption, MF_BYPOSITION);
      menuItems.emplace_back(caption);
    }
  }
  void onTimer(platform::WindowControls&) override {
    if (ticks++ == 0) {
      EXPECT_TRUE(Gui().chooseMenuFromKeyboard(Window::titled(kCaption).of(::GetCurrentProcessId())));
    } else if (ticks > 20) {
      ::PostMessageA(window, WM_CLOSE, 0, 0);
    }
  }
  void onMenuItem(platform::WindowControls&) override {
    ++chosen;
    ::PostMessageA(window, WM_CLOSE, 0, 0);
  }

  HWND window = nullptr;
  std::vector<std::string> menuItems;
  int ticks = 0, chosen = 0;
};

TEST(ProgramMenu, HasTheOneItemAndAltThenEnterChoosesIt) {
  app::win32::WindowUi ui(::GetModuleHandleA(nullptr));
  KeyboardUser user;
  EXPECT_TRUE(ui.showModalWindow(app::frmTlvAsService::Design(), user));
  EXPECT_EQ(user.menuItems, std::vector<std::string>{"Create Tol Vane Service"});
  EXPECT_EQ(user.chosen, 1) << "Alt, then Enter did not choose the menu item";
}

}  // namespace
}  // namespace tlv::testing
