// Win32 only: the text watch of tlvrobothook.dll. Once the robot's start message reaches the
// watched window, every WM_SETTEXT that one of its child controls has taken is written,
// with the time it happened, into the robot's shared section.
#include <cstring>

#include "platform/win32/UniqueHandle.h"
#include "testkit/robot/DumpFormat.h"
#include "testkit/robot/win32/TextWatchProtocol.h"

namespace tlv::tools::robot::textwatch {

namespace {

using UniqueView = platform::win32::UniqueMappedView;

struct Watch {
  HWND window = nullptr;
  UniqueView view;
};

// The hook procedure is a plain function the system calls inside the watched program, so
// the watch it serves lives here, once per program.
Watch& currentWatch() {
  static Watch watch;
  return watch;
}

void start(HWND window, unsigned long robotPid) {
  // Kept loaded for the program's life, so that the watch's state outlives another hook of
  // this library (a menu read) being removed while the watch runs.
  HMODULE self = nullptr;
  ::GetModuleHandleExA(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_PIN,
                       reinterpret_cast<LPCSTR>(&currentWatch), &self);
  Watch& watch = currentWatch();
  watch.view.reset();
  watch.window = nullptr;
  platform::win32::UniqueKernelHandle section(::OpenFileMappingA(FILE_MAP_WRITE, FALSE, sectionName(robotPid).c_str()));
  if (!section) return;  // not our robot's request
  watch.view.reset(::MapViewOfFile(section.get(), FILE_MAP_WRITE, 0, 0, kSectionBytes));
  if (watch.view) watch.window = window;  // the view keeps the section alive after the handle closes
}

std::string className(HWND hwnd) {
  char name[256] = {};
  const int length = ::GetClassNameA(hwnd, name, sizeof name);
  return std::string(name, length > 0 ? static_cast<std::size_t>(length) : 0);
}

// The control's text as it now stands. The message's own text pointer is no use: Wine
// hands the hook ANSI or UTF-16 text depending on how the message was sent.
std::string controlText(HWND control) {
  char text[1024] = {};
  const int length = ::GetWindowTextA(control, text, sizeof text);
  return std::string(text, length > 0 ? static_cast<std::size_t>(length) : 0);
}

void record(HWND control) {
  Watch& watch = currentWatch();
  // The true parent, not the owner that GetParent gives for a message box.
  if (!watch.view || ::GetAncestor(control, GA_PARENT) != watch.window) return;
  LARGE_INTEGER now{};
  ::QueryPerformanceCounter(&now);
  const std::string line = DumpLine("changed")
                               .number("ticks", now.QuadPart)
                               .number("id", ::GetDlgCtrlID(control))
                               .text("class", className(control))
                               .text("text", controlText(control))
                               .format() +
                           "\n";
  auto* header = static_cast<SectionHeader*>(watch.view.get());
  if (header->full) return;
  const auto used = static_cast<std::size_t>(header->used);
  if (used + line.size() > kTextBytes) {
    ::InterlockedExchange(&header->full, 1);
    return;
  }
  std::memcpy(reinterpret_cast<char*>(header + 1) + used, line.data(), line.size());
  // Published after the bytes are in place: the robot reads only up to `used`.
  ::InterlockedExchange(&header->used, static_cast<LONG>(used + line.size()));
}

}  // namespace

}  // namespace tlv::tools::robot::textwatch

extern "C" __declspec(dllexport) LRESULT CALLBACK tlvRobotTextWatchHook(int code, WPARAM wParam, LPARAM lParam) {
  using namespace tlv::tools::robot::textwatch;
  if (code == HC_ACTION) {
    const auto* sent = reinterpret_cast<const CWPRETSTRUCT*>(lParam);
    try {
      // Every message the program sends passes here: the start message's number is looked
      // up once, not at each of them.
      static const UINT startMessage = ::RegisterWindowMessageA(kStartMessage);
      if (sent->message == WM_SETTEXT) {
        record(sent->hwnd);
      } else if (sent->message == startMessage) {
        start(sent->hwnd, static_cast<unsigned long>(sent->wParam));
      }
    } catch (...) {
      // Nothing may unwind into the host program; the robot then misses a line, no more.
    }
  }
  return ::CallNextHookEx(nullptr, code, wParam, lParam);
}
