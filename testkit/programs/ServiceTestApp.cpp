// Win32 only: the test program srvany starts. It writes what happens to it into a marker file.
//   --marker <file>        lines "start pid=N dir=D", "child pid=N", "ready", "close", "close ignored", "exit N"
//   --window-after <ms>    makes its window (and is "ready") only after this time
//   --ignore-close         answers WM_CLOSE without closing
//   --exit-after <ms> <n>  exits by itself with exit code n
//   --child                starts a copy of itself (marker <file>.child, same --ignore-close)
//   --hang-for <ms>        once ready, stops answering its messages for this long ("hang")
//   --box-for <ms> <text>  once ready, shows a box "Card reader" with the text, closed after this long
//   --hang-after <ms>      starts the hang (--hang-for) this long after it is ready, not at once
//   --box-first <text>     shows the box "Card reader" with the text before any window of its own
//   --claim-box <n> <text> once ready, keeps a box "Length <n>" whose text claims the length n
//                          (WM_GETTEXTLENGTH) while holding only the text; may be given again
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "platform/win32/UniqueHandle.h"

namespace {

using tlv::platform::win32::UniqueFile;
using tlv::platform::win32::UniqueKernelHandle;

struct Options {
  std::string marker;
  bool ignoreClose = false;
  bool startChild = false;
  UINT windowAfterMs = 0;
  UINT exitAfterMs = 0;
  UINT exitCode = 0;
  UINT hangMs = 0;
  UINT hangAfterMs = 100;
  std::vector<std::pair<std::string, std::string>> claimBoxes;  ///< claimed length, text
  UINT boxMs = 0;
  std::string boxText;
  std::string firstBoxText;
};

constexpr UINT_PTR kExitTimer = 1, kHangTimer = 2, kBoxTimer = 3, kBoxCloseTimer = 4;

Options parse(int argc, char** argv) {
  Options options;
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if (arg == "--marker" && i + 1 < argc) options.marker = argv[++i];
    if (arg == "--ignore-close") options.ignoreClose = true;
    if (arg == "--child") options.startChild = true;
    if (arg == "--window-after" && i + 1 < argc) options.windowAfterMs = std::strtoul(argv[++i], nullptr, 10);
    if (arg == "--hang-for" && i + 1 < argc) options.hangMs = static_cast<UINT>(std::strtoul(argv[++i], nullptr, 10));
    if (arg == "--hang-after" && i + 1 < argc) options.hangAfterMs = std::strtoul(argv[++i], nullptr, 10);
    if (arg == "--claim-box" && i + 2 < argc) {
      options.claimBoxes.emplace_back(argv[i + 1], argv[i + 2]);
      i += 2;
    }
    if (arg == "--box-for" && i + 2 < argc) {
      options.boxMs = static_cast<UINT>(std::strtoul(argv[++i], nullptr, 10));
      options.boxText = argv[++i];
    }
    if (arg == "--box-first" && i + 1 < argc) options.firstBoxText = argv[++i];
    if (arg == "--exit-after" && i + 2 < argc) {
      options.exitAfterMs = static_cast<UINT>(std::strtoul(argv[++i], nullptr, 10));
      options.exitCode = static_cast<UINT>(std::strtoul(argv[++i], nullptr, 10));
    }
  }
  return options;
}

void mark(const std::string& marker, const std::string& line) {
  UniqueFile file(::CreateFileA(marker.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!file) return;
  const std::string text = line + "\r\n";
  DWORD written = 0;
  ::WriteFile(file.get(), text.data(), static_cast<DWORD>(text.size()), &written, nullptr);
}

std::string currentFolder() {
  char folder[MAX_PATH] = {};
  ::GetCurrentDirectoryA(MAX_PATH, folder);
  return folder;
}

void startChild(const Options& options) {
  char self[MAX_PATH] = {};
  ::GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string commandLine = "\"" + std::string(self) + "\" --marker \"" + options.marker + ".child\"";
  if (options.ignoreClose) commandLine += " --ignore-close";
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (::CreateProcessA(self, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup, &info)) {
    UniqueKernelHandle process(info.hProcess), thread(info.hThread);
    mark(options.marker, "child pid=" + std::to_string(info.dwProcessId));
  } else {
    mark(options.marker, "child failed " + std::to_string(::GetLastError()));
  }
}

constexpr char kClaimedLength[] = "TlvClaimedLength", kStaticProc[] = "TlvStaticProc";

// A text that lies about its length, as any program's window may: the true text is kept.
LRESULT CALLBACK claimingStaticProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_GETTEXTLENGTH) return reinterpret_cast<LRESULT>(::GetPropA(window, kClaimedLength));
  const auto original = reinterpret_cast<WNDPROC>(::GetPropA(window, kStaticProc));
  return ::CallWindowProcA(original, window, message, wParam, lParam);
}

// A dialog (class "#32770") of one static text, owned by the main window, never shown.
void showClaimingBox(HWND owner, const std::string& claimed, const std::string& text) {
  HWND box = ::CreateWindowExA(0, "#32770", ("Length " + claimed).c_str(), WS_POPUP | WS_CAPTION, 0, 0, 300, 100,
                               owner, nullptr, ::GetModuleHandleA(nullptr), nullptr);
  HWND label = box ? ::CreateWindowA("STATIC", text.c_str(), WS_CHILD | WS_VISIBLE, 10, 10, 280, 20, box, nullptr,
                                     ::GetModuleHandleA(nullptr), nullptr)
                   : nullptr;
  if (!label) return;
  const auto length = static_cast<std::uintptr_t>(std::strtoull(claimed.c_str(), nullptr, 0));
  ::SetPropA(label, kClaimedLength, reinterpret_cast<HANDLE>(length));
  ::SetPropA(label, kStaticProc, reinterpret_cast<HANDLE>(::GetWindowLongPtrA(label, GWLP_WNDPROC)));
  ::SetWindowLongPtrA(label, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(claimingStaticProc));
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  const auto* options = reinterpret_cast<const Options*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
  switch (message) {
    case WM_CLOSE:
      mark(options->marker, options->ignoreClose ? "close ignored" : "close");
      if (!options->ignoreClose) ::DestroyWindow(window);
      return 0;
    case WM_TIMER:
      ::KillTimer(window, wParam);
      if (wParam == kHangTimer) {
        mark(options->marker, "hang");
        ::Sleep(options->hangMs);
        mark(options->marker, "answers");
      } else if (wParam == kBoxTimer) {
        ::SetTimer(window, kBoxCloseTimer, options->boxMs, nullptr);  // runs in the box's own loop
        ::MessageBoxA(window, options->boxText.c_str(), "Card reader", MB_OK | MB_ICONERROR);
        mark(options->marker, "box closed");
      } else if (wParam == kBoxCloseTimer) {
        ::PostMessageA(::FindWindowA("#32770", "Card reader"), WM_COMMAND, IDOK, 0);
      } else {
        mark(options->marker, "exit " + std::to_string(options->exitCode));
        ::ExitProcess(options->exitCode);
      }
      return 0;
    case WM_DESTROY:
      ::PostQuitMessage(0);
      return 0;
    default:
      return ::DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

int main(int argc, char** argv) {
  const Options options = parse(argc, argv);
  if (options.marker.empty()) return ERROR_INVALID_PARAMETER;
  mark(options.marker, "start pid=" + std::to_string(::GetCurrentProcessId()) + " dir=" + currentFolder());
  if (options.startChild) startChild(options);
  ::Sleep(options.windowAfterMs);
  if (!options.firstBoxText.empty()) {
    ::MessageBoxA(nullptr, options.firstBoxText.c_str(), "Card reader", MB_OK | MB_ICONERROR);
    mark(options.marker, "box closed");
  }

  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = ::GetModuleHandleA(nullptr);
  windowClass.lpszClassName = "TlvServiceTestApp";
  ::RegisterClassA(&windowClass);
  // A top-level window that is never shown: srvany must find it all the same.
  HWND window = ::CreateWindowA("TlvServiceTestApp", "service test app", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100, nullptr,
                                nullptr, windowClass.hInstance, nullptr);
  if (!window) return static_cast<int>(::GetLastError());
  ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(&options));
  if (options.exitAfterMs > 0) ::SetTimer(window, kExitTimer, options.exitAfterMs, nullptr);
  if (options.hangMs > 0) ::SetTimer(window, kHangTimer, options.hangAfterMs, nullptr);
  for (const auto& [claimed, text] : options.claimBoxes) showClaimingBox(window, claimed, text);
  if (options.boxMs > 0) ::SetTimer(window, kBoxTimer, 100, nullptr);
  mark(options.marker, "ready");

  MSG message;
  while (::GetMessageA(&message, nullptr, 0, 0) > 0) ::DispatchMessageA(&message);
  mark(options.marker, "exit 0");
  return 0;
}
