// Win32 only: the program's one window: a fixed-size frame with a status label, a one-item
// menu bar and a one-shot timer, shown modally until the user closes it.
#include <cmath>
#include <exception>

#include "platform/win32/UniqueHandle.h"
#include "app/win32/WindowUi.h"

namespace tlv::app::win32 {

namespace {

using platform::win32::UniqueMenu;
using platform::win32::UniqueWindow;

constexpr char kWindowClass[] = "TlvAsServiceWindow";
constexpr UINT_PTR kTimerId = 1;
constexpr UINT kMenuItemId = 100;
constexpr int kLabelId = 200;

int twipsToPixels(int twips, int dpi) { return static_cast<int>(std::lround(twips * dpi / 1440.0)); }

// The window's state, reached from the window procedure through GWLP_USERDATA.
class OpenWindow final : public WindowControls {
 public:
  OpenWindow(WindowEvents& events, HWND& owner) : events_(events), owner_(owner) {}
  ~OpenWindow() override { owner_ = nullptr; }

  void setStatusText(const std::string& text) override {
    ::SetWindowTextA(label_, text.c_str());
    // The status line is the only progress display and the run does not pump messages
    // between steps: paint the label now. UpdateWindow sends WM_PAINT directly and takes
    // no input from the queue.
    ::InvalidateRect(label_, nullptr, TRUE);
    ::UpdateWindow(label_);
  }

  void disableTimer() override { ::KillTimer(window_, kTimerId); }

  LRESULT handle(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_TIMER:
        if (wParam == kTimerId) deliver([&] { events_.onTimer(*this); });
        return 0;
      case WM_COMMAND:
        if (LOWORD(wParam) == kMenuItemId && HIWORD(wParam) == 0) deliver([&] { events_.onMenuItem(*this); });
        return 0;
      case WM_CTLCOLORSTATIC:
        // The label shares the form's face colour, like a transparent caption.
        ::SetBkColor(reinterpret_cast<HDC>(wParam), ::GetSysColor(COLOR_BTNFACE));
        return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_BTNFACE));
      case WM_CLOSE:
        ::DestroyWindow(hwnd);
        return 0;
      case WM_DESTROY:
        closed_ = true;
        return 0;
      default:
        return ::DefWindowProcA(hwnd, message, wParam, lParam);
    }
  }

  // Event handlers must not unwind through the window procedure's system frames: an
  // exception ends the window, and showModalWindow throws it again once the loop has ended.
  template <class F>
  void deliver(F&& f) {
    if (failure_) return;
    try {
      f();
    } catch (...) {
      failure_ = std::current_exception();
      if (window_) ::DestroyWindow(window_);
    }
  }

  WindowEvents& events_;
  HWND& owner_;
  HWND window_ = nullptr;
  HWND label_ = nullptr;
  bool closed_ = false;
  std::exception_ptr failure_;
};

LRESULT CALLBACK windowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_NCCREATE) {
    auto* create = reinterpret_cast<CREATESTRUCTA*>(lParam);
    ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* state = reinterpret_cast<OpenWindow*>(::GetWindowLongPtrA(hwnd, GWLP_USERDATA));
  return state ? state->handle(hwnd, message, wParam, lParam) : ::DefWindowProcA(hwnd, message, wParam, lParam);
}

bool registerWindowClass(HINSTANCE instance) {
  WNDCLASSEXA wc{};
  wc.cbSize = sizeof wc;
  wc.lpfnWndProc = windowProc;
  wc.hInstance = instance;
  wc.hCursor = ::LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));  // IDC_ARROW
  wc.hIcon = ::LoadIconA(instance, MAKEINTRESOURCEA(1));
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = kWindowClass;
  return ::RegisterClassExA(&wc) != 0 || ::GetLastError() == ERROR_CLASS_ALREADY_EXISTS;
}

int screenDpi() {
  HDC screen = ::GetDC(nullptr);
  const int dpi = screen ? ::GetDeviceCaps(screen, LOGPIXELSY) : 96;
  if (screen) ::ReleaseDC(nullptr, screen);
  return dpi > 0 ? dpi : 96;
}

}  // namespace

UniqueGdiObject createLabelFont(const WindowDesign& design, int dpi) {
  const int fontHeight = -static_cast<int>(std::lround(design.labelPointSize * dpi / 72.0));
  return UniqueGdiObject(::CreateFontA(fontHeight, 0, 0, 0, design.labelBold ? FW_BOLD : FW_NORMAL, FALSE, FALSE,
                                       FALSE, ANSI_CHARSET, OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, DEFAULT_QUALITY,
                                       DEFAULT_PITCH | FF_SWISS, design.labelFont.c_str()));
}

bool WindowUi::showModalWindow(const WindowDesign& design, WindowEvents& events) {
  if (!registerWindowClass(instance_)) return false;
  const int dpi = screenDpi();

  UniqueMenu menu(::CreateMenu());
  if (!menu || !::AppendMenuA(menu.get(), MF_STRING, kMenuItemId, design.menuCaption.c_str())) return false;

  const DWORD style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
  RECT frame{0, 0, twipsToPixels(design.clientWidth, dpi), twipsToPixels(design.clientHeight, dpi)};
  ::AdjustWindowRectEx(&frame, style, TRUE, 0);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  const int left = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
  const int top = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;

  UniqueGdiObject font = createLabelFont(design, dpi);
  OpenWindow state(events, window_);
  UniqueWindow window(::CreateWindowExA(0, kWindowClass, design.caption.c_str(), style, left, top, width, height,
                                        nullptr, menu.get(), instance_, &state));
  if (!window) return false;
  menu.release();  // the window owns its menu now
  state.window_ = window.get();
  window_ = window.get();

  state.label_ = ::CreateWindowExA(0, "STATIC", design.labelText.c_str(), WS_CHILD | WS_VISIBLE | SS_LEFT,
                                   twipsToPixels(design.labelLeft, dpi), twipsToPixels(design.labelTop, dpi),
                                   twipsToPixels(design.labelWidth, dpi), twipsToPixels(design.labelHeight, dpi),
                                   window.get(), reinterpret_cast<HMENU>(static_cast<INT_PTR>(kLabelId)), instance_,
                                   nullptr);
  if (state.label_ && font) ::SendMessageA(state.label_, WM_SETFONT, reinterpret_cast<WPARAM>(font.get()), FALSE);

  state.deliver([&] { events.onLoad(state); });
  if (design.timerMilliseconds > 0) ::SetTimer(window.get(), kTimerId, design.timerMilliseconds, nullptr);
  ::ShowWindow(window.get(), SW_SHOWNORMAL);
  ::UpdateWindow(window.get());

  MSG message{};
  while (!state.closed_ && ::GetMessageA(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
  if (state.closed_) window.release();  // already destroyed through WM_CLOSE or a failed event
  if (state.failure_) std::rethrow_exception(state.failure_);
  return true;
}

bool WindowUi::windowStationVisible() {
  USEROBJECTFLAGS flags{};
  // A station that cannot tell is taken for an unseen one: a box there could wait for ever.
  return ::GetUserObjectInformationA(::GetProcessWindowStation(), UOI_FLAGS, &flags, sizeof flags, nullptr) &&
         (flags.dwFlags & WSF_VISIBLE) != 0;
}

int WindowUi::messageBox(const std::string& text, const std::string& title, std::uint32_t style) {
  return ::MessageBoxA(window_, text.c_str(), title.c_str(), style);
}

}  // namespace tlv::app::win32
