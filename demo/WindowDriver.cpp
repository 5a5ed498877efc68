// Win32 only: driving another process's windows with plain Win32 calls. Input is posted,
// never sent, so a program that answers with a modal box never holds the driver up.
#include "demo/WindowDriver.h"

#include <algorithm>

#include "platform/WindowsPath.h"

namespace tlv::drive {

namespace {

using platform::win32::UniqueKernelHandle;

constexpr UINT kReplyTimeoutMs = 2000;
constexpr DWORD kLookMs = 200;

std::string className(HWND hwnd) {
  char name[256] = {};
  const int length = ::GetClassNameA(hwnd, name, sizeof name);
  return std::string(name, length > 0 ? static_cast<std::size_t>(length) : 0);
}

// A control's text, asked of its owner (a static's text is not kept by the window manager).
std::string controlText(HWND hwnd) {
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

bool matches(HWND hwnd, const Window& wanted) {
  if (wanted.pid) {
    DWORD pid = 0;
    ::GetWindowThreadProcessId(hwnd, &pid);
    if (pid != wanted.pid) return false;
  }
  if (!::IsWindowVisible(hwnd)) return false;
  if (!wanted.className.empty() && !platform::equalsNoCase(className(hwnd), wanted.className)) return false;
  return wanted.title.empty() || storedText(hwnd) == wanted.title;
}

struct Search {
  const Window* wanted;
  HWND found;
};

// EnumWindows' callback (CALLBACK: the x86 API calls it as stdcall, which no lambda is).
BOOL CALLBACK considerWindow(HWND hwnd, LPARAM context) {
  auto& search = *reinterpret_cast<Search*>(context);
  if (!matches(hwnd, *search.wanted)) return TRUE;
  search.found = hwnd;
  return FALSE;  // the first in z-order: the one on top
}

HWND findWindow(const Window& wanted) {
  Search search{&wanted, nullptr};
  ::EnumWindows(considerWindow, reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::string describe(const Window& wanted) {
  std::string text = "no window";
  if (!wanted.title.empty()) text += " titled \"" + wanted.title + "\"";
  if (!wanted.className.empty()) text += " of class " + wanted.className;
  if (wanted.pid) text += " of process " + std::to_string(wanted.pid);
  return text + " within " + std::to_string(wanted.timeoutMs) + " ms";
}

std::string controlKind(const std::string& name) {
  for (const char* kind : {"static", "edit", "button"}) {
    if (platform::equalsNoCase(name, kind)) return kind;
  }
  return "control";
}

// EnumChildWindows' callback: the visible controls in window order, each numbered among its kind.
BOOL CALLBACK collectControl(HWND hwnd, LPARAM context) {
  auto& controls = *reinterpret_cast<std::vector<Control>*>(context);
  if (!::IsWindowVisible(hwnd)) return TRUE;
  Control control{hwnd, controlKind(className(hwnd)), 0, controlText(hwnd)};
  control.index = static_cast<int>(
      std::count_if(controls.begin(), controls.end(), [&](const Control& c) { return c.kind == control.kind; }));
  controls.push_back(std::move(control));
  return TRUE;
}

WindowView view(HWND hwnd) {
  WindowView v{hwnd, true, {}, storedText(hwnd)};
  ::GetWindowThreadProcessId(hwnd, &v.pid);
  ::EnumChildWindows(hwnd, collectControl, reinterpret_cast<LPARAM>(&v.controls));
  return v;
}

// The control of that kind whose caption (without the mnemonic's ampersand) or place among
// its kind matches.
HWND findControl(HWND window, const std::string& kind, const std::string& caption, int index = 0) {
  const auto plain = [](std::string text) {
    text.erase(std::remove(text.begin(), text.end(), '&'), text.end());
    return text;
  };
  for (const Control& control : view(window).controls) {
    if (control.kind == kind && (caption.empty() ? control.index == index : plain(control.text) == plain(caption))) {
      return control.hwnd;
    }
  }
  return nullptr;
}

}  // namespace

std::string storedText(HWND hwnd) {
  char buffer[1024] = {};
  const int length = ::GetWindowTextA(hwnd, buffer, sizeof buffer);
  return std::string(buffer, length > 0 ? static_cast<std::size_t>(length) : 0);
}

std::vector<std::string> WindowView::texts(const std::string& kind) const {
  std::vector<std::string> result;
  for (const auto& c : controls) {
    if (c.kind == kind) result.push_back(c.text);
  }
  return result;
}

const Control* WindowView::control(const std::string& kind, int index) const {
  for (const auto& c : controls) {
    if (c.kind == kind && c.index == index) return &c;
  }
  return nullptr;
}

WindowDriver::~WindowDriver() { endPrograms(); }

WindowDriver::Started WindowDriver::start(const std::string& program, const std::vector<std::string>& args) {
  Started started;
  std::string commandLine = "\"" + program + "\"";
  for (const auto& arg : args) commandLine += " \"" + arg + "\"";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!::CreateProcessA(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                        &info)) {
    started.failure = "cannot start " + program + ": error " + std::to_string(::GetLastError());
    return started;
  }
  UniqueKernelHandle thread(info.hThread);
  UniqueKernelHandle process(info.hProcess);
  ::WaitForInputIdle(process.get(), 30000);
  started.pid = info.dwProcessId;
  programs_[started.pid] = std::move(process);
  return started;
}

WindowView WindowDriver::wait(const Window& window) {
  HWND found = nullptr;
  // Every look walks all windows through the Wine server: asked a few times a second only,
  // so that the driver never slows the program it watches (whose batch file has half a second).
  if (waitUntil([&] { return (found = findWindow(window)) != nullptr; }, window.timeoutMs, kLookMs)) return view(found);
  WindowView missing;
  missing.failure = describe(window);
  return missing;
}

Acted WindowDriver::type(const Window& window, int editIndex, const std::string& text) {
  const WindowView target = wait(window);
  if (!target.found) return {target.failure};
  const HWND edit = findControl(target.hwnd, "edit", {}, editIndex);
  DWORD_PTR taken = 0;
  if (!edit || !::SendMessageTimeoutA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                                      kReplyTimeoutMs, &taken) || !taken) {
    return {"\"" + target.title + "\" has no edit control " + std::to_string(editIndex) + " that takes text"};
  }
  // As a keystroke would: a dialog that watches its field hears of it.
  ::PostMessageA(target.hwnd, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(edit), EN_CHANGE), reinterpret_cast<LPARAM>(edit));
  return {};
}

Acted WindowDriver::press(const Window& window, const std::string& caption) {
  const WindowView target = wait(window);
  if (!target.found) return {target.failure};
  const HWND button = findControl(target.hwnd, "button", caption);
  if (!button) return {"\"" + target.title + "\" has no button " + caption};
  if (!::IsWindowEnabled(button)) return {"the button " + caption + " is disabled"};
  // The notification a click ends in; unlike BM_CLICK it needs no focus or active window.
  if (::PostMessageA(target.hwnd, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(button), BN_CLICKED), reinterpret_cast<LPARAM>(button))) {
    return {};
  }
  return {"could not press " + caption + ": error " + std::to_string(::GetLastError())};
}

Acted WindowDriver::chooseMenuFromKeyboard(const Window& window) {
  const WindowView target = wait(window);
  if (!target.found) return {target.failure};
  // Alt pressed and let go alone opens the menu bar at its first item; Enter chooses it. The
  // window's thread reads the keys from its queue, as it reads a person's.
  constexpr LPARAM kAltDown = 0x20000001, kAltUp = static_cast<LPARAM>(0xE0000001u);
  constexpr LPARAM kEnterDown = 0x001C0001, kEnterUp = static_cast<LPARAM>(0xC01C0001u);
  const bool posted = ::PostMessageA(target.hwnd, WM_SYSKEYDOWN, VK_MENU, kAltDown) &&
                      ::PostMessageA(target.hwnd, WM_SYSKEYUP, VK_MENU, kAltUp) &&
                      ::PostMessageA(target.hwnd, WM_KEYDOWN, VK_RETURN, kEnterDown) &&
                      ::PostMessageA(target.hwnd, WM_KEYUP, VK_RETURN, kEnterUp);
  if (posted) return {};
  return {"could not post the keys: error " + std::to_string(::GetLastError())};
}

Acted WindowDriver::close(const Window& window) {
  const WindowView target = wait(window);
  if (!target.found) return {target.failure};
  if (!::PostMessageA(target.hwnd, WM_CLOSE, 0, 0)) {
    return {"could not ask it to close: error " + std::to_string(::GetLastError())};
  }
  if (waitUntil([&] { return !::IsWindow(target.hwnd) || !::IsWindowVisible(target.hwnd); }, window.timeoutMs)) {
    return {};
  }
  return {"\"" + target.title + "\" was still open after " + std::to_string(window.timeoutMs) + " ms"};
}

HANDLE WindowDriver::startedProcess(unsigned long pid) const {
  const auto found = programs_.find(pid);
  return found == programs_.end() ? nullptr : found->second.get();
}

void WindowDriver::endPrograms() {
  for (auto& [pid, handle] : programs_) {
    if (::WaitForSingleObject(handle.get(), 0) == WAIT_TIMEOUT) {
      ::TerminateProcess(handle.get(), 1);
      ::WaitForSingleObject(handle.get(), 5000);
    }
  }
  programs_.clear();
}

}  // namespace tlv::drive
