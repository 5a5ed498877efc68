// Win32 only: finding windows and reading their controls and menus from outside.
#include "testkit/robot/win32/RobotWindows.h"

#include <algorithm>

#include "platform/WindowsPath.h"

namespace tlv::tools::robot {

namespace {

constexpr unsigned kPollMs = 50;

// The internal caption the window manager keeps; needs no answer from the owner, so it
// works while the owner is busy. Top-level captions are always kept there.
std::string storedText(HWND hwnd) {
  char buffer[1024] = {};
  const int length = ::GetWindowTextA(hwnd, buffer, sizeof buffer);
  return std::string(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}

bool matches(HWND hwnd, const WindowSelection& selection) {
  if (!::IsWindowVisible(hwnd)) return false;
  if (selection.pid) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid != *selection.pid) return false;
  }
  // Class names are case-insensitive to the window manager; titles are compared exactly.
  if (selection.className && !platform::equalsNoCase(windowClassName(hwnd), *selection.className)) return false;
  if (selection.title && storedText(hwnd) != *selection.title) return false;
  return true;
}

struct Search {
  const WindowSelection* selection;
  HWND found;
};

BOOL CALLBACK considerWindow(HWND hwnd, LPARAM lParam) {
  auto* search = reinterpret_cast<Search*>(lParam);
  if (!matches(hwnd, *search->selection)) return TRUE;
  search->found = hwnd;
  return FALSE;  // the first in z-order, the one on top
}

std::string describeSelection(const WindowSelection& selection) {
  std::string text;
  if (selection.title) text += " title=" + quoteText(*selection.title);
  if (selection.className) text += " class=" + quoteText(*selection.className);
  if (selection.pid) text += " pid=" + std::to_string(*selection.pid);
  return text;
}

std::string controlKind(const std::string& className) {
  if (platform::equalsNoCase(className, "Static")) return "static";
  if (platform::equalsNoCase(className, "Edit")) return "edit";
  if (platform::equalsNoCase(className, "Button")) return "button";
  return "control";
}

struct ControlWalk {
  HWND top;
  std::vector<ControlInfo>* controls;
};

BOOL CALLBACK collectControl(HWND hwnd, LPARAM lParam) {
  auto* walk = reinterpret_cast<ControlWalk*>(lParam);
  if (!::IsWindowVisible(hwnd)) return TRUE;
  ControlInfo control;
  control.hwnd = hwnd;
  control.className = windowClassName(hwnd);
  control.kind = controlKind(control.className);
  control.id = ::GetDlgCtrlID(hwnd);
  control.text = windowText(hwnd);
  ::GetWindowRect(hwnd, &control.rect);
  ::MapWindowPoints(nullptr, walk->top, reinterpret_cast<POINT*>(&control.rect), 2);
  for (const auto& earlier : *walk->controls) {
    if (earlier.kind == control.kind) ++control.index;
  }
  walk->controls->push_back(std::move(control));
  return TRUE;
}

void addRect(DumpLine& line, const RECT& r) {
  line.number("x", r.left).number("y", r.top).number("width", r.right - r.left).number("height", r.bottom - r.top);
}

}  // namespace

HWND findWindow(const WindowSelection& selection) {
  Search search{&selection, nullptr};
  ::EnumWindows(considerWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

HWND waitForWindow(const WindowSelection& selection, unsigned timeoutMs) {
  const ULONGLONG deadline = ::GetTickCount64() + timeoutMs;
  for (;;) {
    if (const HWND found = findWindow(selection)) return found;
    if (::GetTickCount64() >= deadline) {
      throw RobotFailure("no window" + describeSelection(selection) + " within " + std::to_string(timeoutMs) + " ms");
    }
    ::Sleep(kPollMs);
  }
}

std::string windowText(HWND hwnd) {
  DWORD_PTR length = 0;
  if (!::SendMessageTimeoutA(hwnd, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kReplyTimeoutMs, &length)) {
    return storedText(hwnd);
  }
  std::string text(length + 1, '\0');
  DWORD_PTR copied = 0;
  if (!::SendMessageTimeoutA(hwnd, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), SMTO_ABORTIFHUNG,
                             kReplyTimeoutMs, &copied)) {
    return storedText(hwnd);
  }
  text.resize(std::min<std::size_t>(copied, length));
  return text;
}

std::string windowClassName(HWND hwnd) {
  char name[256] = {};
  const int length = ::GetClassNameA(hwnd, name, sizeof name);
  return std::string(name, length > 0 ? static_cast<std::size_t>(length) : 0);
}

std::vector<ControlInfo> listControls(HWND window) {
  std::vector<ControlInfo> controls;
  ControlWalk walk{window, &controls};
  ::EnumChildWindows(window, collectControl, reinterpret_cast<LPARAM>(&walk));
  return controls;
}

std::vector<DumpLine> describeWindow(HWND window) {
  DWORD pid = 0;
  ::GetWindowThreadProcessId(window, &pid);
  RECT frame{}, client{};
  ::GetWindowRect(window, &frame);
  ::GetClientRect(window, &client);

  std::vector<DumpLine> lines;
  DumpLine& top = lines.emplace_back("window");
  top.hex("hwnd", static_cast<std::uint32_t>(reinterpret_cast<UINT_PTR>(window)))
      .number("pid", pid)
      .text("class", windowClassName(window))
      .text("title", storedText(window));
  addRect(top, frame);
  POINT clientOrigin{0, 0};
  ::ClientToScreen(window, &clientOrigin);
  top.number("client-x", clientOrigin.x - frame.left)
      .number("client-y", clientOrigin.y - frame.top)
      .number("client-width", client.right)
      .number("client-height", client.bottom);

  for (const auto& control : listControls(window)) {
    DumpLine& line = lines.emplace_back(control.kind);
    line.number("index", control.index).number("id", control.id);
    if (control.kind == "control") line.text("class", control.className);
    addRect(line, control.rect);
    line.text("text", control.text);
  }
  try {
    for (const auto& item : listMenu(window)) lines.push_back(item.line);
  } catch (const RobotFailure& failure) {
    lines.emplace_back("menu-error").text("text", failure.what());  // the rest of the dump still holds
  }
  return lines;
}

}  // namespace tlv::tools::robot
