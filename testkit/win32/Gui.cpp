// Win32 only: what the Wine tests ask of the window driver besides its actions.
#include "testkit/win32/Gui.h"

#include <algorithm>

#include "platform/win32/UniqueHandle.h"
#include "testkit/win32/Folders.h"

namespace tlv::testing {

using platform::win32::UniqueKernelHandle;
using drive::waitUntil;

WindowPlacement placementOf(HWND window) {
  RECT frame{}, client{};
  ::GetWindowRect(window, &frame);
  ::GetClientRect(window, &client);
  POINT origin{0, 0};
  ::ClientToScreen(window, &origin);
  return {{frame.left, frame.top, frame.right - frame.left, frame.bottom - frame.top},
          {origin.x - frame.left, origin.y - frame.top, client.right, client.bottom}};
}

Placement placementIn(HWND window, HWND control) {
  RECT rect{};
  ::GetWindowRect(control, &rect);
  ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&rect), 2);
  return {rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top};
}

int Picture::darkPixels(int left, int top, int right, int bottom) const {
  int dark = 0;
  for (int y = std::max(top, 0); y < std::min(bottom, height); ++y) {
    for (int x = std::max(left, 0); x < std::min(right, width); ++x) {
      const auto at = static_cast<std::size_t>(y) * static_cast<std::size_t>(width) + static_cast<std::size_t>(x);
      const std::uint32_t p = pixels[at];
      if (((p >> 16) & 0xFF) + ((p >> 8) & 0xFF) + (p & 0xFF) < 3 * 100) ++dark;
    }
  }
  return dark;
}

Gui::Ending Gui::nextBox(unsigned long pid, const std::string& title, unsigned timeoutMs) {
  Ending ending;
  ending.started.pid = pid;
  if (!pid) return ending;
  ending.box = wait(Window::dialog(title).of(pid).within(timeoutMs));
  if (!ending.box.found) return ending;
  // The box belongs to the window; the status line was set before the box came up.
  Window main;
  main.pid = pid;
  main.className = "TlvAsServiceWindow";
  const auto labels = wait(main).texts("static");
  if (!labels.empty()) ending.status = labels.front();
  return ending;
}

std::optional<Picture> Gui::capture(const Window& window) {
  const WindowView target = wait(window);
  if (!target.found) return std::nullopt;
  const Placement at = placementOf(target.hwnd).frame;
  Picture picture;
  picture.width = at.width;
  picture.height = at.height;
  HDC screen = ::GetDC(nullptr);
  platform::win32::UniqueMemoryDc memory(::CreateCompatibleDC(screen));
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), picture.width, -picture.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  platform::win32::UniqueGdiObject bitmap(::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  bool copied = false;
  if (memory && bitmap) {
    const HGDIOBJ previous = ::SelectObject(memory.get(), bitmap.get());
    copied = ::BitBlt(memory.get(), 0, 0, picture.width, picture.height, screen, at.x, at.y, SRCCOPY) != 0;
    ::GdiFlush();
    if (copied) {
      const auto* first = static_cast<const std::uint32_t*>(bits);
      picture.pixels.assign(first, first + static_cast<std::size_t>(picture.width) * picture.height);
      for (auto& p : picture.pixels) p &= 0x00FFFFFF;
    }
    ::SelectObject(memory.get(), previous);
  }
  ::ReleaseDC(nullptr, screen);
  if (!copied) return std::nullopt;
  return picture;
}

::testing::AssertionResult Gui::screenshot(const Window& window, const std::string& path) {
  const WindowView target = wait(window);
  if (!target.found) return ::testing::AssertionFailure() << target.failure;
  // ImageMagick is a Linux program: Wine starts it as it is, and it takes Linux paths.
  using UnixFileName = char* (*)(const wchar_t*);
  const auto unixFileName = reinterpret_cast<UnixFileName>(
      reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleA("kernel32.dll"), "wine_get_unix_file_name")));
  if (!unixFileName) return ::testing::AssertionFailure() << "not running under Wine";
  const std::wstring widePath(path.begin(), path.end());
  char* unix = unixFileName(widePath.c_str());
  if (!unix) return ::testing::AssertionFailure() << "no Linux path for " << path;
  const std::string unixPath = unix;
  ::HeapFree(::GetProcessHeap(), 0, unix);
  // Without a window manager or a virtual desktop, Windows' screen is the X screen: the
  // window is cut from the root window at its place.
  const Placement at = placementOf(target.hwnd).frame;
  const std::string geometry = std::to_string(at.width) + "x" + std::to_string(at.height) + "+" +
                               std::to_string(at.x) + "+" + std::to_string(at.y);
  std::string commandLine = "import -window root -crop " + geometry + " +repage -strip \"" + unixPath + "\"";
  ::DeleteFileA(path.c_str());
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!::CreateProcessA("Z:\\usr\\bin\\import", commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &info)) {
    return ::testing::AssertionFailure() << "cannot start ImageMagick's import: error " << ::GetLastError();
  }
  UniqueKernelHandle process(info.hProcess), thread(info.hThread);
  // Wine cannot wait for a Linux process: the picture is done once its last chunk is written.
  const auto complete = [&path] {
    const std::string png = readFile(path);
    return png.size() > 12 && png.compare(png.size() - 8, 4, "IEND") == 0;
  };
  if (waitUntil(complete, 20000)) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "import wrote no picture to " << path;
}

std::optional<unsigned long> Gui::waitForExit(unsigned long pid, unsigned timeoutMs) {
  const HANDLE process = startedProcess(pid);
  if (!process || ::WaitForSingleObject(process, timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  if (!::GetExitCodeProcess(process, &code)) return std::nullopt;
  return code;
}

}  // namespace tlv::testing
