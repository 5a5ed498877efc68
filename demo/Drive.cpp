// Win32 only: tlvdrive.exe, scripts/run's hands on the utility's window: plain Win32 calls
// from outside the program, one command per run, one line per fact on standard output.
//   tlvdrive watch <program>     starts it: "process pid=N", then "changed ms=T text=..." for
//                                each status seen, until a box shows: "appeared ms=T", its
//                                "window title=..." and "static text=..." lines
//   tlvdrive menu <pid>          chooses the menu item from the keyboard, then prints the
//                                "changed" lines and the box as watch does
//   tlvdrive type <pid> <text>   types into the edit field of the program's box
//   tlvdrive press <pid> <button>  presses a button of the program's box
//   tlvdrive close <pid>         closes the program's window
//   tlvdrive waitexit <pid> [ms] waits for the program to end (default 20 s)
// Exit code 0 when done; 1 with one line on standard error when not.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "demo/WindowDriver.h"

namespace {

using tlv::drive::Window;
using tlv::drive::WindowDriver;

constexpr char kMainWindow[] = "Make Service for Tolvane";
constexpr unsigned kPollMs = 50;

// A text as the scripts read it: quoted, with \ " and line breaks escaped.
std::string quoted(const std::string& text) {
  std::string out = "\"";
  for (char c : text) {
    if (c == '\r') {
      out += "\\r";
    } else if (c == '\n') {
      out += "\\n";
    } else {
      if (c == '"' || c == '\\') out += '\\';
      out += c;
    }
  }
  return out + "\"";
}

int failed(const std::string& why) {
  std::fprintf(stderr, "tlvdrive: %s\n", why.c_str());
  return 1;
}

int done(const tlv::drive::Acted& result) { return result ? 0 : failed(result.failure); }

// Prints each status the program's window shows until its next box, and that box; times are
// from `start`.
int watchUntilBox(WindowDriver& driver, unsigned long pid, ULONGLONG start) {
  const auto elapsed = [start] { return static_cast<unsigned long long>(::GetTickCount64() - start); };

  HWND label = nullptr;
  std::string shown;
  bool first = true;
  while (elapsed() < 60000) {
    if (!label) {
      const HWND main = ::FindWindowA("TlvAsServiceWindow", kMainWindow);
      if (main) label = ::FindWindowExA(main, nullptr, "Static", nullptr);
    }
    if (label) {
      const std::string text = tlv::drive::storedText(label);  // the program may be busy
      if (first || text != shown) {
        std::printf("changed ms=%llu text=%s\n", elapsed(), quoted(text).c_str());
        std::fflush(stdout);
        shown = text;
        first = false;
      }
    }
    const auto box = driver.wait(Window::dialog("").of(pid).within(0));
    if (box.found) {
      std::printf("appeared ms=%llu\nwindow title=%s\n", elapsed(), quoted(box.title).c_str());
      for (const auto& text : box.texts("static")) std::printf("static text=%s\n", quoted(text).c_str());
      std::fflush(stdout);
      driver.letRun(pid);  // the script answers its box
      return 0;
    }
    ::Sleep(kPollMs);
  }
  return failed("no box within 60 s");
}

int watch(const std::string& program) {
  WindowDriver driver;
  const WindowDriver::Started started = driver.start(program);
  if (!started.pid) return failed(started.failure);
  const ULONGLONG start = ::GetTickCount64();
  std::printf("process pid=%lu\n", started.pid);
  std::fflush(stdout);
  return watchUntilBox(driver, started.pid, start);
}

int menu(unsigned long pid) {
  WindowDriver driver;
  const ULONGLONG start = ::GetTickCount64();
  if (const auto chosen = driver.chooseMenuFromKeyboard(Window::titled(kMainWindow).of(pid)); !chosen) {
    return failed(chosen.failure);
  }
  return watchUntilBox(driver, pid, start);
}

}  // namespace

int main(int argc, char** argv) {
  _setmode(_fileno(stdout), _O_BINARY);  // lines end in LF alone, as the scripts read them
  const std::string command = argc > 1 ? argv[1] : "";
  if (command == "watch" && argc == 3) return watch(argv[2]);
  if (argc < 3) return failed("usage: tlvdrive watch|menu|type|press|close|waitexit ...");
  const auto pid = static_cast<unsigned long>(std::strtoul(argv[2], nullptr, 10));
  WindowDriver driver;
  if (command == "type" && argc == 4) return done(driver.type(Window::dialog("").of(pid), 0, argv[3]));
  if (command == "press" && argc == 4) return done(driver.press(Window::dialog("").of(pid), argv[3]));
  if (command == "close") return done(driver.close(Window::titled(kMainWindow).of(pid)));
  if (command == "menu") return menu(pid);
  if (command == "waitexit") {
    tlv::platform::win32::UniqueKernelHandle process(::OpenProcess(SYNCHRONIZE, FALSE, pid));
    if (!process) return 0;  // already gone
    const DWORD limit = argc > 3 ? static_cast<DWORD>(std::strtoul(argv[3], nullptr, 10)) : 20000;
    return ::WaitForSingleObject(process.get(), limit) == WAIT_OBJECT_0 ? 0 : failed("the program still runs");
  }
  return failed("unknown command " + command);
}
