// Win32 only: the robot's actions on programs: starting one, waiting for its end, ending it.
#include "platform/WindowsPath.h"
#include "platform/win32/UniqueHandle.h"
#include "testkit/robot/win32/RobotActions.h"

namespace tlv::tools::robot {

namespace {

using platform::win32::UniqueKernelHandle;

std::string lastError() { return "error " + std::to_string(::GetLastError()); }

}  // namespace

unsigned long startProgram(const RobotCommand& command) {
  std::string commandLine = buildCommandLine(command.program, command.arguments);
  // Like a double click in Explorer: the program starts in its own folder unless told.
  const std::string folder = command.folder.empty() ? platform::folderOfPath(command.program) : command.folder;
  // As from Explorer: no standard handles and no share in the robot's console. Either
  // would let the program keep the robot's output pipe open (Wine hands unset handles
  // down, and a console's host holds the handles of the process that made it), and
  // whoever reads the robot's output would wait for the program's end.
  STARTUPINFOA startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  PROCESS_INFORMATION info{};
  if (!::CreateProcessA(nullptr, commandLine.data(), nullptr, nullptr, FALSE, DETACHED_PROCESS, nullptr,
                        folder.empty() ? nullptr : folder.c_str(), &startup, &info)) {
    throw RobotFailure("cannot start " + quoteText(command.program) + ": " + lastError());
  }
  UniqueKernelHandle process(info.hProcess);
  UniqueKernelHandle thread(info.hThread);
  // A console program has no input queue and returns at once; only a timeout is a fault.
  if (::WaitForInputIdle(process.get(), command.timeoutMs) == WAIT_TIMEOUT) {
    throw RobotFailure("pid " + std::to_string(info.dwProcessId) + " was not idle for input within " +
                       std::to_string(command.timeoutMs) + " ms");
  }
  return info.dwProcessId;
}

DumpLine waitForExit(unsigned long pid, unsigned timeoutMs) {
  DumpLine line("exited");
  line.number("pid", pid);
  UniqueKernelHandle process(::OpenProcess(SYNCHRONIZE | PROCESS_QUERY_LIMITED_INFORMATION, FALSE, pid));
  if (!process) {
    // Gone before we looked: it has ended, but its exit code went with it.
    if (::GetLastError() == ERROR_INVALID_PARAMETER) return line;
    throw RobotFailure("cannot watch pid " + std::to_string(pid) + ": " + lastError());
  }
  if (::WaitForSingleObject(process.get(), timeoutMs) != WAIT_OBJECT_0) {
    throw RobotFailure("pid " + std::to_string(pid) + " was still running after " + std::to_string(timeoutMs) + " ms");
  }
  DWORD code = 0;
  if (::GetExitCodeProcess(process.get(), &code)) line.number("code", code);
  return line;
}

DumpLine killProcess(unsigned long pid, unsigned timeoutMs) {
  UniqueKernelHandle process(::OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, pid));
  if (!process) throw RobotFailure("no process with pid " + std::to_string(pid) + ": " + lastError());
  if (!::TerminateProcess(process.get(), 1) && ::WaitForSingleObject(process.get(), 0) != WAIT_OBJECT_0) {
    throw RobotFailure("cannot end pid " + std::to_string(pid) + ": " + lastError());
  }
  if (::WaitForSingleObject(process.get(), timeoutMs) != WAIT_OBJECT_0) {
    throw RobotFailure("pid " + std::to_string(pid) + " had not ended after " + std::to_string(timeoutMs) + " ms");
  }
  return DumpLine("killed").number("pid", pid);
}

}  // namespace tlv::tools::robot
