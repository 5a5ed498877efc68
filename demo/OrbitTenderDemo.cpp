// Win32 only: a stand-in for the payment program Orbit-Tender.exe, for demonstrations and
// end-to-end tests. While it runs it keeps "Orbit-Tender.running" beside itself, holding its
// process id and start time; it closes on WM_CLOSE and removes the file on the way out.
#include <cstdio>
#include <string>

#include "platform/win32/UniqueHandle.h"

namespace {

using tlv::platform::win32::UniqueFile;

std::string markerPath() {
  char self[MAX_PATH] = {};
  const DWORD length = ::GetModuleFileNameA(nullptr, self, MAX_PATH);
  std::string path(self, length);
  return path.substr(0, path.find_last_of('\\') + 1) + "Orbit-Tender.running";
}

bool writeMarker(const std::string& path) {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  char text[128];
  const int length = std::snprintf(text, sizeof text, "pid=%lu started=%04u-%02u-%02u %02u:%02u:%02u\r\n",
                                   ::GetCurrentProcessId(), now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute,
                                   now.wSecond);
  UniqueFile file(::CreateFileA(path.c_str(), GENERIC_WRITE, FILE_SHARE_READ, nullptr, CREATE_ALWAYS,
                                FILE_ATTRIBUTE_NORMAL, nullptr));
  DWORD written = 0;
  return file && ::WriteFile(file.get(), text, static_cast<DWORD>(length), &written, nullptr);
}

LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    ::PostQuitMessage(0);
    return 0;
  }
  return ::DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE hInstance, HINSTANCE, LPSTR, int nShowCmd) {
  const std::string marker = markerPath();
  if (!writeMarker(marker)) return static_cast<int>(::GetLastError());

  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = windowProc;
  windowClass.hInstance = hInstance;
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
  windowClass.lpszClassName = "OrbitTenderDemo";
  ::RegisterClassA(&windowClass);
  HWND window = ::CreateWindowA("OrbitTenderDemo", "Orbit-Tender (demo payment program)", WS_OVERLAPPEDWINDOW,
                                CW_USEDEFAULT, CW_USEDEFAULT, 360, 120, nullptr, nullptr, hInstance, nullptr);
  if (window) ::ShowWindow(window, nShowCmd);

  MSG message{};
  while (::GetMessageA(&message, nullptr, 0, 0) > 0) {
    ::TranslateMessage(&message);
    ::DispatchMessageA(&message);
  }
  ::DeleteFileA(marker.c_str());
  return 0;
}
