// Win32 only: the Wine tests' hands and eyes, in the test's own process: the window driver
// that scripts/run uses, with what only the tests ask of it: the box that ends a run, a
// program's exit code, and pictures of a window.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "demo/WindowDriver.h"

namespace tlv::testing {

using drive::Control;
using drive::storedText;
using drive::Window;
using drive::WindowView;

/// A rectangle: a window's on the screen, a control's in its window's client area, or a
/// window's client area within the window.
struct Placement {
  int x = 0, y = 0, width = 0, height = 0;
};
/// Where a window stands on the screen and where its client area lies within it.
struct WindowPlacement {
  Placement frame, client;
};
WindowPlacement placementOf(HWND window);
/// A control's rectangle in its window's client area.
Placement placementIn(HWND window, HWND control);

/// A window's pixels as the screen shows them, 0x00RRGGBB, row by row from the top.
struct Picture {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;
  /// Pixels darker than mid-grey in the rectangle.
  int darkPixels(int left, int top, int right, int bottom) const;
};

class Gui : public drive::WindowDriver {
 public:
  /// How a window run ended: the box that ended it, and the window's status line then.
  struct Ending {
    Started started;
    WindowView box;
    std::string status;
  };
  /// Starts the program and waits for the first box of its process.
  Ending startUntilBox(const std::string& program) {
    const Started started = start(program);
    Ending ending = nextBox(started.pid);
    ending.started = started;
    return ending;
  }
  /// Waits for a box of the process, titled `title` (any when empty).
  Ending nextBox(unsigned long pid, const std::string& title = {}, unsigned timeoutMs = 30000);

  // The driver's actions as assertions, their failure as the message.
  ::testing::AssertionResult type(const Window& window, int editIndex, const std::string& text) {
    return asserted(WindowDriver::type(window, editIndex, text));
  }
  ::testing::AssertionResult press(const Window& window, const std::string& caption) {
    return asserted(WindowDriver::press(window, caption));
  }
  ::testing::AssertionResult chooseMenuFromKeyboard(const Window& window) {
    return asserted(WindowDriver::chooseMenuFromKeyboard(window));
  }
  ::testing::AssertionResult close(const Window& window) { return asserted(WindowDriver::close(window)); }

  /// The window as the screen shows it now.
  std::optional<Picture> capture(const Window& window);
  /// Writes the window's picture as a PNG with ImageMagick's import, from the X display.
  ::testing::AssertionResult screenshot(const Window& window, const std::string& path);

  /// The exit code of a program started here, once it has ended; nullopt when it still runs
  /// after `timeoutMs` or was not started here.
  std::optional<unsigned long> waitForExit(unsigned long pid, unsigned timeoutMs = 10000);

 private:
  static ::testing::AssertionResult asserted(const drive::Acted& acted) {
    return acted ? ::testing::AssertionSuccess() : ::testing::AssertionFailure() << acted.failure;
  }
};

}  // namespace tlv::testing
