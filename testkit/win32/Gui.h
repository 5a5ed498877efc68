// Win32 only: the Wine tests' hands and eyes, in the test's own process: finds a program's
// windows and boxes, reads their texts, types into the prompt, presses buttons, chooses the
// menu item from the keyboard, takes pictures, and ends every program it started.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/UniqueHandle.h"

namespace tlv::testing {

/// Which window to act on; unset parts match any visible top-level window.
struct Window {
  std::string title;
  std::string className;
  unsigned long pid = 0;
  unsigned timeoutMs = 10000;

  static Window titled(std::string title) {
    Window w;
    w.title = std::move(title);
    return w;
  }
  /// A dialog or message box ("#32770") with this title.
  static Window dialog(std::string title) {
    Window w = titled(std::move(title));
    w.className = "#32770";
    return w;
  }
  Window& of(unsigned long processId) { return pid = processId, *this; }
  Window& within(unsigned milliseconds) { return timeoutMs = milliseconds, *this; }
};

/// One child control: its kind ("static", "edit", "button" or "control"), its place among
/// the controls of its kind, and its rectangle in the window's client area.
struct Control {
  std::string kind;
  int index = 0;
  int x = 0, y = 0, width = 0, height = 0;
  std::string text;
};

/// A window as read at one moment.
struct WindowView {
  HWND hwnd = nullptr;
  bool found = false;
  std::string failure;
  std::string title;
  unsigned long pid = 0;
  int x = 0, y = 0, width = 0, height = 0;
  int clientX = 0, clientY = 0, clientWidth = 0, clientHeight = 0;  ///< client origin within the window
  std::vector<Control> controls;

  /// The texts of the controls of one kind, in window order.
  std::vector<std::string> texts(const std::string& kind) const;
  const Control* control(const std::string& kind, int index) const;
};

/// A window's pixels as the screen shows them, 0x00RRGGBB, row by row from the top.
struct Picture {
  int width = 0, height = 0;
  std::vector<std::uint32_t> pixels;
  /// Pixels darker than mid-grey in the rectangle.
  int darkPixels(int left, int top, int right, int bottom) const;
};

/// The text the window manager keeps for a window (a caption, or a control's text once set):
/// read without waiting for an owner that is busy and pumps no messages.
std::string storedText(HWND hwnd);

class Gui {
 public:
  Gui() = default;
  /// Ends every program started here that is still running.
  ~Gui();
  Gui(const Gui&) = delete;
  Gui& operator=(const Gui&) = delete;

  struct Started {
    unsigned long pid = 0;  ///< 0 when the program did not start
    std::string failure;
  };
  /// Starts a program and waits until it is idle for input.
  Started start(const std::string& program, const std::vector<std::string>& args = {});

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

  WindowView wait(const Window& window);
  ::testing::AssertionResult type(const Window& window, int editIndex, const std::string& text);
  ::testing::AssertionResult press(const Window& window, const std::string& caption);
  /// Alt, then Enter: the menu bar's first item, as a person chooses it from the keyboard.
  ::testing::AssertionResult chooseMenuFromKeyboard(const Window& window);
  /// Asks the window to close and waits until it has gone.
  ::testing::AssertionResult close(const Window& window);
  /// The window as the screen shows it now.
  std::optional<Picture> capture(const Window& window);
  /// Writes the window's picture as a PNG with ImageMagick's import, from the X display.
  ::testing::AssertionResult screenshot(const Window& window, const std::string& path);

  /// The exit code of a program started here, once it has ended; nullopt when it still runs
  /// after `timeoutMs` or was not started here.
  std::optional<unsigned long> waitForExit(unsigned long pid, unsigned timeoutMs = 10000);
  void endPrograms();
  /// The program is no longer ended with the others: it runs on after this object.
  void letRun(unsigned long pid) { programs_.erase(pid); }

 private:
  std::map<unsigned long, platform::win32::UniqueKernelHandle> programs_;
};

}  // namespace tlv::testing
