// Win32 only: the robot's actions on windows. Input is posted, never sent, so a program
// that answers a click with a modal box does not hold the robot up.
#include "testkit/robot/win32/RobotActions.h"

namespace tlv::tools::robot {

namespace {

constexpr unsigned kPollMs = 50;

const ControlInfo& findControl(const std::vector<ControlInfo>& controls, const std::string& kind, int index, int id,
                               bool byIndex) {
  for (const auto& control : controls) {
    if (control.kind == kind && (byIndex ? control.index == index : control.id == id)) return control;
  }
  throw RobotFailure("the window has no " + kind + (byIndex ? " with index " : " with id ") +
                     std::to_string(byIndex ? index : id));
}

}  // namespace

void typeText(HWND window, const RobotCommand& command) {
  const auto controls = listControls(window);
  const bool byIndex = command.editIndex.has_value();
  const ControlInfo& edit = findControl(controls, "edit", command.editIndex.value_or(0), command.editId.value_or(0),
                                        byIndex);
  DWORD_PTR result = 0;
  if (!::SendMessageTimeoutA(edit.hwnd, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(command.operand.c_str()),
                             SMTO_ABORTIFHUNG, kReplyTimeoutMs, &result) ||
      !result) {
    throw RobotFailure("the edit control did not take the text");
  }
  // Tell the owner as a keystroke would; dialogs that watch their fields hear of it.
  ::PostMessageA(::GetParent(edit.hwnd), WM_COMMAND, MAKEWPARAM(edit.id, EN_CHANGE),
                 reinterpret_cast<LPARAM>(edit.hwnd));
}

void pressButton(HWND window, const std::string& caption) {
  const std::string wanted = plainCaption(caption);
  for (const auto& control : listControls(window)) {
    if (control.kind != "button" || plainCaption(control.text) != wanted) continue;
    if (!::IsWindowEnabled(control.hwnd)) throw RobotFailure("the button " + quoteText(caption) + " is disabled");
    // The notification a click ends in; unlike BM_CLICK it needs no focus or active window.
    if (!::PostMessageA(::GetParent(control.hwnd), WM_COMMAND, MAKEWPARAM(control.id, BN_CLICKED),
                        reinterpret_cast<LPARAM>(control.hwnd))) {
      throw RobotFailure("could not press " + quoteText(caption) + ": error " + std::to_string(::GetLastError()));
    }
    return;
  }
  throw RobotFailure("the window has no button " + quoteText(caption));
}

void chooseMenuItem(HWND window, const std::string& caption) {
  const std::string wanted = plainCaption(caption);
  for (const auto& item : listMenu(window)) {
    if (plainCaption(item.text) != wanted) continue;
    if (item.opensSubmenu) throw RobotFailure("the menu item " + quoteText(caption) + " only opens a menu");
    if (!::PostMessageA(window, WM_COMMAND, MAKEWPARAM(item.id, 0), 0)) {
      throw RobotFailure("could not choose " + quoteText(caption) + ": error " + std::to_string(::GetLastError()));
    }
    return;
  }
  throw RobotFailure("the window has no menu item " + quoteText(caption));
}

void closeWindow(HWND window, unsigned timeoutMs) {
  if (!::PostMessageA(window, WM_CLOSE, 0, 0)) {
    throw RobotFailure("could not ask the window to close: error " + std::to_string(::GetLastError()));
  }
  const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
  while (::IsWindow(window) && ::IsWindowVisible(window)) {
    if (::GetTickCount64() >= deadline) {
      throw RobotFailure("the window was still open after " + std::to_string(timeoutMs) + " ms");
    }
    ::Sleep(kPollMs);
  }
}

}  // namespace tlv::tools::robot
