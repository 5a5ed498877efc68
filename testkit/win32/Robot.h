// Win32 only: the tests' hands and eyes under Wine. Runs tlvrobot.exe, reads back what it
// printed, and ends every program it started when the test is over.
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/win32/UniqueHandle.h"
#include "testkit/win32/Folders.h"
#include "testkit/robot/DumpFormat.h"

namespace tlv::testing {

/// Which window a robot command acts on; unset parts match any window.
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
  static Window ofProcess(unsigned long processId) { return Window().of(processId); }
  Window& of(unsigned long processId) { return pid = processId, *this; }
  Window& within(unsigned milliseconds) { return timeoutMs = milliseconds, *this; }

  /// The robot's selection options.
  std::vector<std::string> options() const;
};

/// One run of tlvrobot: its exit code, its output lines and its failure line.
struct RobotRun {
  int exitCode = -1;
  std::string output;
  std::string failure;  ///< the robot's line on standard error, or why it could not run

  bool ok() const { return exitCode == 0; }
  std::vector<tools::robot::DumpLine> lines() const;
};

/// One child control as the robot printed it.
struct Control {
  std::string kind;
  int index = 0;
  int id = 0;
  int x = 0, y = 0, width = 0, height = 0;  ///< in the window's client area
  std::string text;
};

/// A window as the robot printed it.
struct WindowView {
  bool found = false;
  std::string failure;
  std::string title;
  std::string className;
  unsigned long pid = 0;
  int x = 0, y = 0, width = 0, height = 0;
  int clientX = 0, clientY = 0, clientWidth = 0, clientHeight = 0;  ///< client origin within the window
  std::vector<Control> controls;
  std::vector<std::string> menu;  ///< captions, drop-down items included, in menu order

  static WindowView from(const RobotRun& run);
  /// The texts of the controls of one kind ("static", "edit", "button"), in window order.
  std::vector<std::string> texts(const std::string& kind) const;
  const Control* control(const std::string& kind, int index) const;
};

class Robot {
 public:
  Robot();
  /// Ends every program started through this robot that is still running.
  ~Robot();
  Robot(const Robot&) = delete;
  Robot& operator=(const Robot&) = delete;

  /// Runs tlvrobot with these arguments; a robot still running after `timeoutMs` is ended.
  RobotRun run(const std::vector<std::string>& args, unsigned timeoutMs = 60000);

  struct Started {
    RobotRun run;
    unsigned long pid = 0;  ///< 0 when the program did not start
    WindowView window;      ///< its first window, read at once, when asked for
  };
  /// Starts a program (idle for input when this returns); with `dumpWindow`, its first
  /// top-level window as it looks right then.
  Started start(const std::string& program, const std::vector<std::string>& args = {}, bool dumpWindow = false);

  /// One text a control of the watched window showed, with the time since the start.
  struct TextChange {
    std::int64_t ms = 0;
    int id = 0;
    std::string text;
  };
  struct Watched {
    Started started;
    std::vector<TextChange> changes;  ///< the controls' first texts, then each new text in order
    std::int64_t dialogMs = -1;       ///< when the dialog that ended the watch came up
    WindowView dialog;

    /// The texts alone, in order.
    std::vector<std::string> texts() const;
    /// When `text` was first shown; a test failure and -1 when it never was.
    std::int64_t msWhenShown(const std::string& text) const;
  };
  /// Starts a program and follows its first window until it shows a dialog (start --watch).
  Watched startWatching(const std::string& program, unsigned timeoutMs = 30000);

  WindowView wait(const Window& window);
  ::testing::AssertionResult type(const Window& window, int editIndex, const std::string& text);
  ::testing::AssertionResult press(const Window& window, const std::string& caption);
  ::testing::AssertionResult chooseMenu(const Window& window, const std::string& caption);
  ::testing::AssertionResult close(const Window& window);
  ::testing::AssertionResult screenshot(const Window& window, const std::string& path);

  /// The exit code of a program this robot started, once it has ended; nullopt when it is
  /// still running after `timeoutMs` or was not started here.
  std::optional<unsigned long> waitForExit(unsigned long pid, unsigned timeoutMs = 10000);
  /// Ends every program this robot started that is still running.
  void endPrograms();

  const std::string& robotPath() const { return robotPath_; }

 private:
  /// Runs `tlvrobot start OPTIONS PROGRAM ARGS` and holds the started program.
  Started launch(const std::vector<std::string>& options, const std::string& program,
                 const std::vector<std::string>& args, unsigned timeoutMs);
  ::testing::AssertionResult expectDone(const RobotRun& run, const std::string& what);

  std::string robotPath_;
  std::map<unsigned long, platform::win32::UniqueKernelHandle> programs_;
};

}  // namespace tlv::testing
