// Win32 only: the robot's screenshots: what the screen shows in the window's rectangle,
// read from the screen so that windows of other processes need no help of their own.
#include <cstdio>
#include <memory>

#include "platform/win32/UniqueHandle.h"
#include "testkit/robot/ImageFiles.h"
#include "testkit/robot/win32/RobotActions.h"

namespace tlv::tools::robot {

namespace {

using platform::win32::HandleTraits;
using platform::win32::NullInvalid;
using platform::win32::UniqueGdiObject;
using platform::win32::UniqueHandle;

struct ScreenDcTraits {
  using type = HDC;
  static HDC invalid() { return nullptr; }
  static void close(HDC dc) { ::ReleaseDC(nullptr, dc); }
};
using UniqueScreenDc = UniqueHandle<ScreenDcTraits>;
using UniqueMemoryDc = UniqueHandle<HandleTraits<HDC, ::DeleteDC, NullInvalid>>;

// Time for the program to repaint after being asked to; it paints from its own queue.
constexpr unsigned kRepaintSettleMs = 300;

void askForRepaint(HWND window) {
  ::RedrawWindow(window, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  DWORD_PTR ignored = 0;
  ::SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, kReplyTimeoutMs, &ignored);
  ::Sleep(kRepaintSettleMs);
}

RgbImage captureScreenRect(const RECT& area) {
  const int width = area.right - area.left;
  const int height = area.bottom - area.top;
  UniqueScreenDc screen(::GetDC(nullptr));
  if (!screen) throw RobotFailure("no screen to read");
  UniqueMemoryDc memory(::CreateCompatibleDC(screen.get()));
  UniqueGdiObject bitmap(::CreateCompatibleBitmap(screen.get(), width, height));
  if (!memory || !bitmap) throw RobotFailure("no memory for a " + std::to_string(width) + "x" + std::to_string(height) + " image");

  HGDIOBJ previous = ::SelectObject(memory.get(), bitmap.get());
  const BOOL copied = ::BitBlt(memory.get(), 0, 0, width, height, screen.get(), area.left, area.top, SRCCOPY | CAPTUREBLT);
  ::SelectObject(memory.get(), previous);  // a bitmap must not be selected when GetDIBits reads it
  if (!copied) throw RobotFailure("could not read the screen: error " + std::to_string(::GetLastError()));

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = width;
  info.bmiHeader.biHeight = -height;  // top-down rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  std::vector<std::uint8_t> bgra(static_cast<std::size_t>(width) * height * 4);
  if (::GetDIBits(memory.get(), static_cast<HBITMAP>(bitmap.get()), 0, static_cast<UINT>(height), bgra.data(), &info,
                  DIB_RGB_COLORS) != height) {
    throw RobotFailure("could not read the captured pixels");
  }
  RgbImage image(width, height);
  for (std::size_t i = 0, pixels = static_cast<std::size_t>(width) * height; i < pixels; ++i) {
    image.pixels[i * 3 + 0] = bgra[i * 4 + 2];
    image.pixels[i * 3 + 1] = bgra[i * 4 + 1];
    image.pixels[i * 3 + 2] = bgra[i * 4 + 0];
  }
  return image;
}

struct FileCloser {
  void operator()(std::FILE* f) const { std::fclose(f); }
};

void writeFile(const std::string& path, const std::vector<std::uint8_t>& bytes) {
  std::unique_ptr<std::FILE, FileCloser> file(std::fopen(path.c_str(), "wb"));
  if (!file) throw RobotFailure("cannot create " + quoteText(path));
  const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file.get()) == bytes.size();
  if (!written || std::fclose(file.release()) != 0) throw RobotFailure("cannot write " + quoteText(path));
}

}  // namespace

DumpLine saveScreenshot(HWND window, const std::string& path) {
  ::SetForegroundWindow(window);
  askForRepaint(window);
  RECT frame{};
  if (!::GetWindowRect(window, &frame)) throw RobotFailure("the window is gone");
  // Only the part that lies on the screen can be read.
  const RECT screen{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
  RECT visible{};
  if (!::IntersectRect(&visible, &frame, &screen)) throw RobotFailure("the window lies outside the screen");

  const RgbImage image = captureScreenRect(visible);
  writeFile(path, encodeImageForPath(image, path));
  return DumpLine("screenshot").text("path", path).number("width", image.width).number("height", image.height);
}

}  // namespace tlv::tools::robot
