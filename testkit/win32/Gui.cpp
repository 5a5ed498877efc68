// Win32 only: driving another process's windows with plain Win32 calls. Input is posted,
// never sent, so a program that answers with a modal box never holds the test up.
#include "testkit/win32/Gui.h"

#include <algorithm>

#include "platform/WindowsPath.h"
#include "platform/win32/UniqueHandle.h"
#include "testkit/win32/Folders.h"
#include "testkit/win32/Processes.h"

namespace tlv::testing {

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

struct ControlWalk {
  HWND top;
  std::vector<std::pair<HWND, Control>> controls;
};

BOOL CALLBACK collectControl(HWND hwnd, LPARAM context) {
  auto& walk = *reinterpret_cast<ControlWalk*>(context);
  if (!::IsWindowVisible(hwnd)) return TRUE;
  Control control;
  control.kind = controlKind(className(hwnd));
  control.text = controlText(hwnd);
  RECT rect{};
  ::GetWindowRect(hwnd, &rect);
  ::MapWindowPoints(nullptr, walk.top, reinterpret_cast<POINT*>(&rect), 2);
  control.x = rect.left;
  control.y = rect.top;
  control.width = rect.right - rect.left;
  control.height = rect.bottom - rect.top;
  control.index = static_cast<int>(std::count_if(walk.controls.begin(), walk.controls.end(),
                                                 [&](const auto& c) { return c.second.kind == control.kind; }));
  walk.controls.emplace_back(hwnd, std::move(control));
  return TRUE;
}

std::vector<std::pair<HWND, Control>> listControls(HWND window) {
  ControlWalk walk{window, {}};
  ::EnumChildWindows(window, collectControl, reinterpret_cast<LPARAM>(&walk));
  return std::move(walk.controls);
}

WindowView view(HWND hwnd) {
  WindowView v{hwnd, true, {}, storedText(hwnd)};
  ::GetWindowThreadProcessId(hwnd, &v.pid);
  RECT frame{}, client{};
  ::GetWindowRect(hwnd, &frame);
  ::GetClientRect(hwnd, &client);
  POINT origin{0, 0};
  ::ClientToScreen(hwnd, &origin);
  v.x = frame.left;
  v.y = frame.top;
  v.width = frame.right - frame.left;
  v.height = frame.bottom - frame.top;
  v.clientX = origin.x - frame.left;
  v.clientY = origin.y - frame.top;
  v.clientWidth = client.right;
  v.clientHeight = client.bottom;
  for (auto& [control, info] : listControls(hwnd)) v.controls.push_back(std::move(info));
  return v;
}

// The control of that kind whose caption (without the mnemonic's ampersand) or place among
// its kind matches.
HWND findControl(HWND window, const std::string& kind, const std::string& caption, int index = 0) {
  const auto plain = [](std::string text) {
    text.erase(std::remove(text.begin(), text.end(), '&'), text.end());
    return text;
  };
  for (const auto& [hwnd, control] : listControls(window)) {
    if (control.kind == kind && (caption.empty() ? control.index == index : plain(control.text) == plain(caption))) {
      return hwnd;
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

Gui::~Gui() { endPrograms(); }

Gui::Started Gui::start(const std::string& program, const std::vector<std::string>& args) {
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

WindowView Gui::wait(const Window& window) {
  HWND found = nullptr;
  // Every look walks all windows through the Wine server: asked a few times a second only,
  // so that a test never slows the program it watches (whose batch file has half a second).
  if (waitUntil([&] { return (found = findWindow(window)) != nullptr; }, window.timeoutMs, kLookMs)) return view(found);
  WindowView missing;
  missing.failure = describe(window);
  return missing;
}

::testing::AssertionResult Gui::type(const Window& window, int editIndex, const std::string& text) {
  const WindowView target = wait(window);
  if (!target.found) return ::testing::AssertionFailure() << target.failure;
  const HWND edit = findControl(target.hwnd, "edit", {}, editIndex);
  DWORD_PTR taken = 0;
  if (!edit || !::SendMessageTimeoutA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_ABORTIFHUNG,
                                      kReplyTimeoutMs, &taken) || !taken) {
    return ::testing::AssertionFailure() << "\"" << target.title << "\" has no edit control " << editIndex << " that takes text";
  }
  // As a keystroke would: a dialog that watches its field hears of it.
  ::PostMessageA(target.hwnd, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(edit), EN_CHANGE), reinterpret_cast<LPARAM>(edit));
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult Gui::press(const Window& window, const std::string& caption) {
  const WindowView target = wait(window);
  if (!target.found) return ::testing::AssertionFailure() << target.failure;
  const HWND button = findControl(target.hwnd, "button", caption);
  if (!button) return ::testing::AssertionFailure() << "\"" << target.title << "\" has no button " << caption;
  if (!::IsWindowEnabled(button)) return ::testing::AssertionFailure() << "the button " << caption << " is disabled";
  // The notification a click ends in; unlike BM_CLICK it needs no focus or active window.
  if (::PostMessageA(target.hwnd, WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(button), BN_CLICKED), reinterpret_cast<LPARAM>(button))) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "could not press " << caption << ": error " << ::GetLastError();
}

::testing::AssertionResult Gui::chooseMenuFromKeyboard(const Window& window) {
  const WindowView target = wait(window);
  if (!target.found) return ::testing::AssertionFailure() << target.failure;
  // Alt pressed and let go alone opens the menu bar at its first item; Enter chooses it. The
  // window's thread reads the keys from its queue, as it reads a person's.
  constexpr LPARAM kAltDown = 0x20000001, kAltUp = static_cast<LPARAM>(0xE0000001u);
  constexpr LPARAM kEnterDown = 0x001C0001, kEnterUp = static_cast<LPARAM>(0xC01C0001u);
  const bool posted = ::PostMessageA(target.hwnd, WM_SYSKEYDOWN, VK_MENU, kAltDown) &&
                      ::PostMessageA(target.hwnd, WM_SYSKEYUP, VK_MENU, kAltUp) &&
                      ::PostMessageA(target.hwnd, WM_KEYDOWN, VK_RETURN, kEnterDown) &&
                      ::PostMessageA(target.hwnd, WM_KEYUP, VK_RETURN, kEnterUp);
  if (posted) return ::testing::AssertionSuccess();
  return ::testing::AssertionFailure() << "could not post the keys: error " << ::GetLastError();
}

::testing::AssertionResult Gui::close(const Window& window) {
  const WindowView target = wait(window);
  if (!target.found) return ::testing::AssertionFailure() << target.failure;
  if (!::PostMessageA(target.hwnd, WM_CLOSE, 0, 0)) {
    return ::testing::AssertionFailure() << "could not ask it to close: error " << ::GetLastError();
  }
  if (waitUntil([&] { return !::IsWindow(target.hwnd) || !::IsWindowVisible(target.hwnd); }, window.timeoutMs)) {
    return ::testing::AssertionSuccess();
  }
  return ::testing::AssertionFailure() << "\"" << target.title << "\" was still open after " << window.timeoutMs << " ms";
}

std::optional<Picture> Gui::capture(const Window& window) {
  const WindowView target = wait(window);
  if (!target.found) return std::nullopt;
  Picture picture;
  picture.width = target.width;
  picture.height = target.height;
  HDC screen = ::GetDC(nullptr);
  platform::win32::UniqueMemoryDc memory(::CreateCompatibleDC(screen));
  BITMAPINFO info{};
  info.bmiHeader = {sizeof(BITMAPINFOHEADER), picture.width, -picture.height, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
  void* bits = nullptr;
  platform::win32::UniqueGdiObject bitmap(::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0));
  bool copied = false;
  if (memory && bitmap) {
    const HGDIOBJ previous = ::SelectObject(memory.get(), bitmap.get());
    copied = ::BitBlt(memory.get(), 0, 0, picture.width, picture.height, screen, target.x, target.y, SRCCOPY) != 0;
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
  const std::string geometry = std::to_string(target.width) + "x" + std::to_string(target.height) + "+" +
                               std::to_string(target.x) + "+" + std::to_string(target.y);
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
  const auto found = programs_.find(pid);
  if (found == programs_.end()) return std::nullopt;
  if (::WaitForSingleObject(found->second.get(), timeoutMs) != WAIT_OBJECT_0) return std::nullopt;
  DWORD code = 0;
  if (!::GetExitCodeProcess(found->second.get(), &code)) return std::nullopt;
  return code;
}

void Gui::endPrograms() {
  for (auto& [pid, handle] : programs_) {
    if (::WaitForSingleObject(handle.get(), 0) == WAIT_TIMEOUT) {
      ::TerminateProcess(handle.get(), 1);
      ::WaitForSingleObject(handle.get(), 5000);
    }
  }
  programs_.clear();
}

}  // namespace tlv::testing
