// Win32 only: srvany's service: starts the program, stands for it, stops it on request.
#include "tools/srvany/ServiceHost.h"

#include <vector>

#include "tools/common/ErrorText.h"
#include "tools/common/ServiceKeys.h"
#include "tools/srvany/ProgramSettings.h"

namespace tlv::tools {
namespace {

constexpr DWORD kStartWaitHintMs = 5000;
constexpr DWORD kStopPollMs = 100;
constexpr DWORD kStopWaitHintMs = 2000;  // well above the poll: each poll reports a checkpoint
// The exit code of processes that had to be ended: "The process terminated unexpectedly".
constexpr UINT kEndedExitCode = ERROR_PROCESS_ABORTED;

std::string quoted(const std::string& text) { return "\"" + text + "\""; }

std::string describeCloseRequest(std::size_t windowsAsked, bool consoleSignalled) {
  std::string text = "asked " + std::to_string(windowsAsked) + " window(s) to close";
  if (consoleSignalled) text += " and sent Ctrl+Break to the program's console";
  return text;
}

bool fileExists(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

}  // namespace

DWORD WINAPI ServiceControl::handle(DWORD control, DWORD, void*, void* context) {
  const auto& serviceControl = *static_cast<const ServiceControl*>(context);
  switch (control) {
    case SERVICE_CONTROL_STOP:
    case SERVICE_CONTROL_SHUTDOWN:
      ::SetEvent(serviceControl.stopRequested());
      return NO_ERROR;
    case SERVICE_CONTROL_INTERROGATE:
      return NO_ERROR;  // the manager keeps the last state reported
    default:
      return ERROR_CALL_NOT_IMPLEMENTED;
  }
}

ServiceHost::ServiceHost(std::string serviceName, ServiceControl& control)
    : serviceName_(std::move(serviceName)), log_(serviceName_), control_(control) {}

void ServiceHost::run() {
  const SERVICE_STATUS_HANDLE handle =
      ::RegisterServiceCtrlHandlerExA(serviceName_.c_str(), ServiceControl::handle, &control_);
  if (!handle) {
    log_.failed("srvany cannot take the service's controls: " + errorText(::GetLastError()));
    return;
  }
  StatusReporter status(handle, log_);
  status.startPending(kStartWaitHintMs);

  if (!control_.stopRequested()) {
    return failToStart(status, control_.creationError(), "srvany cannot create its stop event");
  }
  const std::string parametersKey = "HKEY_LOCAL_MACHINE\\" + parametersKeyPath(serviceName_);
  const auto settings = readProgramSettings(serviceName_);
  if (!settings) return failToStart(status, settings.error, "Cannot read the value Application under " + parametersKey);
  const auto plan = planLaunch(settings.value, fileExists);
  if (!plan)
    return failToStart(status, plan.error, "The value Application under " + parametersKey + " names no program");
  const auto program = ProgramJob::start(plan.value);
  if (!program) return failToStart(status, program.error, "Cannot start " + quoted(plan.value.applicationName));

  status.running();
  log_.started("Started " + quoted(plan.value.applicationName) + " as process " +
               std::to_string(program.value.processId()) + ", command line: " + plan.value.commandLine +
               ", start folder: " + quoted(plan.value.startFolder));

  const HANDLE events[] = {control_.stopRequested(), program.value.process()};
  const DWORD woken = ::WaitForMultipleObjects(2, events, FALSE, INFINITE);
  if (woken == WAIT_OBJECT_0) return stopProgram(status, program.value);
  if (woken == WAIT_OBJECT_0 + 1) return programExited(status, program.value, plan.value.applicationName);
  const DWORD error = ::GetLastError();
  program.value.terminate(kEndedExitCode);
  log_.failed("srvany cannot wait for the program and has ended it: " + errorText(error));
  status.stopped(error);
}

void ServiceHost::failToStart(StatusReporter& status, DWORD error, const std::string& what) {
  log_.failed(what + ": " + errorText(error) + ". The service stops.");
  status.stopped(error);
}

void ServiceHost::stopProgram(StatusReporter& status, const ProgramJob& program) {
  status.stopPending(kStopWaitHintMs);
  std::vector<HWND> askedWindows;
  program.askWindowsToClose(askedWindows);
  const bool consoleSignalled = program.sendCtrlBreak();
  const DWORD start = ::GetTickCount();
  bool closed = true;
  while (!program.runningProcessIds().empty()) {
    if (::GetTickCount() - start >= kGracePeriodMs) {
      closed = false;
      break;
    }
    status.stopPending(kStopWaitHintMs);
    ::Sleep(kStopPollMs);
    // A program still starting up may make its window only now; it is asked as well.
    program.askWindowsToClose(askedWindows);
  }
  std::string text = "Stopping: srvany " + describeCloseRequest(askedWindows.size(), consoleSignalled);
  if (closed) {
    text += "; the program closed in time.";
  } else {
    const DWORD error = program.terminate(kEndedExitCode);
    text += "; the program did not close within " + std::to_string(kGracePeriodMs / 1000) + " seconds and was ended";
    text += error == ERROR_SUCCESS ? "." : ", but not all of its processes could be ended: " + errorText(error);
  }
  log_.stopped(text, !closed);
  status.stopped(NO_ERROR);
}

// A program that exits by itself ends the service as failed, with ERROR_SERVICE_SPECIFIC_ERROR
// and the program's exit code as the service-specific code, rather than srvany ending without
// reporting STOPPED. Both make Windows apply the recovery actions (the first because instsrv
// sets FailureActionsOnNonCrashFailures), but only this one keeps the exit code visible in the
// service's status, and Wine would show a service whose process vanished as RUNNING for ever.
void ServiceHost::programExited(StatusReporter& status, const ProgramJob& program, const std::string& programPath) {
  // Stopping from now on: a STOP would find nothing left to stop, so none is accepted.
  status.stopPending(kStopWaitHintMs);
  DWORD exitCode = 0;
  if (!::GetExitCodeProcess(program.process(), &exitCode)) exitCode = ERROR_PROCESS_ABORTED;
  const DWORD leftovers = program.terminate(kEndedExitCode);  // what it started goes with it
  std::string text = "The program " + quoted(programPath) + " exited by itself with exit code " +
                     std::to_string(exitCode) + "; the service stops as failed.";
  if (leftovers != ERROR_SUCCESS) text += " Not all of its processes could be ended: " + errorText(leftovers);
  log_.failed(text);
  status.stopped(ERROR_SERVICE_SPECIFIC_ERROR, exitCode);
}

}  // namespace tlv::tools
