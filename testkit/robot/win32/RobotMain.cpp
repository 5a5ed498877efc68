// Win32 only: tlvrobot's entry point: parse the command, do it, print what it saw.
#include <fcntl.h>
#include <io.h>

#include <cstdio>
#include <exception>

#include "testkit/robot/win32/RobotActions.h"
#include "testkit/robot/win32/RobotWatch.h"

namespace tlv::tools::robot {

namespace {

void print(const DumpLine& line) { std::printf("%s\n", line.format().c_str()); }

// A watch reports as things happen: each line goes out at once.
void printNow(const DumpLine& line) {
  print(line);
  std::fflush(stdout);
}

void printWindow(HWND window) {
  for (const auto& line : describeWindow(window)) print(line);
}

void run(const RobotCommand& command) {
  if (command.verb == Verb::Start) {
    const LONGLONG started = performanceTicks();
    const unsigned long pid = startProgram(command);
    printNow(DumpLine("process").number("pid", pid));  // the pid first, even if the window never comes
    if (!command.dump && !command.watch) return;
    const HWND window = waitForWindow(WindowSelection{{}, {}, pid}, command.timeoutMs);
    if (command.dump) printWindow(window);
    if (command.watch) watchUntilDialog(window, started, command.timeoutMs, printNow);
    return;
  }
  if (command.verb == Verb::WaitExit) return print(waitForExit(command.pid, command.timeoutMs));
  if (command.verb == Verb::Kill) return print(killProcess(command.pid, command.timeoutMs));

  const HWND window = waitForWindow(command.window, command.timeoutMs);
  switch (command.verb) {
    case Verb::Wait: return printWindow(window);
    case Verb::Type: return typeText(window, command);
    case Verb::Press: return pressButton(window, command.operand);
    case Verb::Menu: return chooseMenuItem(window, command.operand);
    case Verb::Close: return closeWindow(window, command.timeoutMs);
    case Verb::Shot: return print(saveScreenshot(window, command.operand));
    default: return;
  }
}

}  // namespace

}  // namespace tlv::tools::robot

int main(int argc, char** argv) {
  using namespace tlv::tools::robot;
  // Lines end in LF alone, the same for a Windows console and for a script that reads
  // them on the Linux side.
  ::_setmode(::_fileno(stdout), _O_BINARY);
  ::_setmode(::_fileno(stderr), _O_BINARY);
  const auto parsed = parseRobotCommand(std::vector<std::string>(argv + 1, argv + argc));
  if (!parsed.command) {
    std::fprintf(stderr, "tlvrobot: %s\n", parsed.error.c_str());
    return 2;
  }
  if (parsed.command->verb == Verb::Help) {
    std::fputs(robotUsage(), stdout);
    return 0;
  }
  try {
    run(*parsed.command);
  } catch (const std::exception& failure) {
    std::fflush(stdout);
    std::fprintf(stderr, "tlvrobot: %s\n", failure.what());
    return 1;
  }
  return std::fflush(stdout) == 0 ? 0 : 1;
}
