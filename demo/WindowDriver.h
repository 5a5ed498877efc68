// Win32 only: another program's windows and boxes driven from this process with plain Win32
// calls, as tlvdrive drives the utility for scripts/run and the Wine tests drive it: finds
// windows, reads their texts, types into a prompt, presses buttons, chooses the menu from the
// keyboard, and ends every program it started.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <vector>

#include "demo/WaitUntil.h"
#include "platform/win32/UniqueHandle.h"

namespace tlv::drive {

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
/// the controls of its kind, and its text.
struct Control {
  HWND hwnd = nullptr;
  std::string kind;
  int index = 0;
  std::string text;
};

/// A window as read at one moment.
struct WindowView {
  HWND hwnd = nullptr;
  bool found = false;
  std::string failure;
  std::string title;
  unsigned long pid = 0;
  std::vector<Control> controls;

  /// The texts of the controls of one kind, in window order.
  std::vector<std::string> texts(const std::string& kind) const;
  const Control* control(const std::string& kind, int index) const;
};

/// What an action on a window came to.
struct [[nodiscard]] Acted {
  std::string failure;  ///< empty when it was done
  explicit operator bool() const noexcept { return failure.empty(); }
};

/// The text the window manager keeps for a window (a caption, or a control's text once set):
/// read without waiting for an owner that is busy and pumps no messages.
std::string storedText(HWND hwnd);

class WindowDriver {
 public:
  WindowDriver() = default;
  /// Ends every program started here that is still running.
  ~WindowDriver();
  WindowDriver(const WindowDriver&) = delete;
  WindowDriver& operator=(const WindowDriver&) = delete;

  struct Started {
    unsigned long pid = 0;  ///< 0 when the program did not start
    std::string failure;
  };
  /// Starts a program and waits until it is idle for input.
  Started start(const std::string& program, const std::vector<std::string>& args = {});

  WindowView wait(const Window& window);
  Acted type(const Window& window, int editIndex, const std::string& text);
  Acted press(const Window& window, const std::string& caption);
  /// Alt, then Enter: the menu bar's first item, as a person chooses it from the keyboard.
  Acted chooseMenuFromKeyboard(const Window& window);
  /// Asks the window to close and waits until it has gone.
  Acted close(const Window& window);

  void endPrograms();
  /// The program is no longer ended with the others: it runs on after this object.
  void letRun(unsigned long pid) { programs_.erase(pid); }

 protected:
  /// The process handle of a program started here and not let run; null otherwise.
  HANDLE startedProcess(unsigned long pid) const;

 private:
  std::map<unsigned long, platform::win32::UniqueKernelHandle> programs_;
};

}  // namespace tlv::drive
