// Win32 only: programs the Wine tests run and the processes they look for.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "demo/WaitUntil.h"

namespace tlv::testing {

struct ToolRun {
  DWORD exitCode = 0;
  std::string output;  ///< stdout and stderr together
};
/// Runs `program arguments` without a window and waits for it (a minute at most); a program
/// that cannot start or does not end is a test failure.
ToolRun runTool(const std::string& program, const std::string& arguments);

/// A program run while every window of its process is looked for.
struct WindowlessRun {
  long exitCode = -1;  ///< -1 when it did not start or did not end in time
  bool showedAWindow = false;
};
/// Where a program starts: its current folder and its desktop ("station\\desktop"); empty:
/// the test's own.
struct StartPlace {
  std::string currentFolder;
  std::string desktop;
};
/// Runs `program arguments` and waits for its exit code, checking all the while (every
/// 20 ms) whether its process shows a visible window; one still running after `timeoutMs` is ended.
WindowlessRun runWatchingForWindows(const std::string& program, const std::string& arguments, DWORD timeoutMs = 60000,
                                    const StartPlace& place = {});

/// A window station of its own with one desktop, "Default", as a service's: nobody sees it.
class HiddenWindowStation {
 public:
  HiddenWindowStation();
  ~HiddenWindowStation();
  HiddenWindowStation(const HiddenWindowStation&) = delete;
  HiddenWindowStation& operator=(const HiddenWindowStation&) = delete;
  bool made() const { return station_ && desktop_; }
  /// The desktop's name for STARTUPINFO's lpDesktop.
  std::string desktopName() const;

 private:
  HWINSTA station_ = nullptr;
  HDESK desktop_ = nullptr;
};

bool processRunning(DWORD id);
/// The running processes of that executable name.
std::vector<DWORD> processesNamed(const std::string& exeName);
/// Ends a process and waits a little for it to go.
void endProcess(DWORD id);

using drive::waitUntil;

/// The numbers after "<key>=" on the text's lines, in order ("pid" finds "start pid=12").
std::vector<DWORD> numbersAfter(const std::string& text, const std::string& key);

}  // namespace tlv::testing
