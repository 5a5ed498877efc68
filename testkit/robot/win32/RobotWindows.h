// Win32 only: how the robot sees other programs' windows: finding a top-level window,
// reading its controls and menu, and the failure every robot step reports.
#pragma once

#include <stdexcept>
#include <string>
#include <vector>

#include "platform/win32/Win32Support.h"
#include "testkit/robot/DumpFormat.h"
#include "testkit/robot/RobotCommand.h"

namespace tlv::tools::robot {

/// A step that could not be done; main prints its text as the one failure line.
class RobotFailure : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

/// One child control of a window, as a person would name it.
struct ControlInfo {
  HWND hwnd = nullptr;
  std::string kind;  ///< "static", "edit", "button" or "control"
  int index = 0;     ///< position among the controls of the same kind, from 0
  int id = 0;
  std::string className;
  std::string text;
  RECT rect{};  ///< in the top-level window's client coordinates
};

/// One item of a window's menu bar or of one of its drop-down menus.
struct MenuEntry {
  UINT id = 0;
  std::string text;
  bool opensSubmenu = false;
  DumpLine line;  ///< as printed: index (depth-first, from 0), depth (0: the bar), id, submenu, text
};

/// The visible top-level window that matches and lies on top; nullptr when none does.
HWND findWindow(const WindowSelection& selection);
/// Waits until a visible top-level window matches; throws RobotFailure on timeout.
HWND waitForWindow(const WindowSelection& selection, unsigned timeoutMs);
/// The window's text, asked of its owner with a bounded wait, so a busy program cannot
/// stall the robot.
std::string windowText(HWND hwnd);
std::string windowClassName(HWND hwnd);
/// The visible controls in the order the window holds them.
std::vector<ControlInfo> listControls(HWND window);
/// The menu bar, drop-down menus included; empty when the window has none. Read from
/// inside the owning program through the hook library; throws RobotFailure when it cannot.
std::vector<MenuEntry> listMenu(HWND window);
/// Every line the robot prints for a window: itself, its controls, its menu.
std::vector<DumpLine> describeWindow(HWND window);

/// How long the robot waits for another program to answer one message.
inline constexpr unsigned kReplyTimeoutMs = 5000;

}  // namespace tlv::tools::robot
