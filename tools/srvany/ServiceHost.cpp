// Win32 only: srvany's service: starts the program, stands for it, stops it on request, and
// tells the service control manager where the service stands.
#include "tools/srvany/ServiceHost.h"

#include <exception>
#include <string>
#include <vector>

#include "tools/common/ErrorText.h"
#include "tools/common/ServiceAccount.h"
#include "tools/common/ServiceConfig.h"
#include "tools/common/ServiceKeys.h"
#include "tools/srvany/HostLogs.h"
#include "tools/srvany/HostSession.h"
#include "tools/srvany/LaunchPlan.h"
#include "tools/srvany/ProgramJob.h"
#include "tools/srvany/ProgramSettings.h"
#include "tools/srvany/ProgramWatch.h"
#include "tools/srvany/TextLog.h"
#include "tools/srvany/WatchProbeAndKey.h"

namespace tlv::tools {

namespace {

using platform::win32::UniqueServiceHandle;

constexpr DWORD kStartWaitHintMs = 5000;
// The exit code of processes that had to be ended: "The process terminated unexpectedly".
constexpr UINT kEndedExitCode = ERROR_PROCESS_ABORTED;

// Whether the service is set to run as LocalSystem; also when its setting cannot be read, as
// every service an earlier release made does (then what srvany cannot make as another
// account says so itself).
bool setToRunAsLocalSystem(const std::string& serviceName) {
  UniqueServiceHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
  UniqueServiceHandle service(manager ? ::OpenServiceA(manager.get(), serviceName.c_str(), SERVICE_QUERY_CONFIG)
                                      : nullptr);
  DWORD needed = 0;
  if (!service || ::QueryServiceConfigA(service.get(), nullptr, 0, &needed) ||
      ::GetLastError() != ERROR_INSUFFICIENT_BUFFER) {
    return true;
  }
  std::vector<QUERY_SERVICE_CONFIGA> buffer(needed / sizeof(QUERY_SERVICE_CONFIGA) + 1);
  if (!::QueryServiceConfigA(service.get(), buffer.data(), static_cast<DWORD>(buffer.size() * sizeof buffer[0]),
                             &needed)) {
    return true;
  }
  const char* account = buffer[0].lpServiceStartName;
  return !account || !*account || sameAccount(account, kLocalSystem);
}

bool fileExists(const std::string& path) {
  const DWORD attributes = ::GetFileAttributesA(path.c_str());
  return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

/// The program's job as the session ends it.
class JobProgram final : public HostedProgram {
 public:
  explicit JobProgram(const ProgramJob& job) : job_(job) {}
  void askToClose() override {
    job_.askWindowsToClose(askedWindows_);
    if (!asked_) consoleSignalled_ = job_.sendCtrlBreak();
    asked_ = true;
  }
  std::string howAsked() const override {
    std::string text = "asked " + std::to_string(askedWindows_.size()) + " window(s) to close";
    if (consoleSignalled_) text += " and sent Ctrl+Break to the program's console";
    return text;
  }
  bool running() override { return !job_.runningProcessIds().empty(); }
  std::string end() override {
    const DWORD error = job_.terminate(kEndedExitCode);
    return error == ERROR_SUCCESS ? std::string() : errorText(error);
  }
  std::uint32_t exitCode() override {
    DWORD code = 0;
    return ::GetExitCodeProcess(job_.process(), &code) ? code : ERROR_PROCESS_ABORTED;
  }

 private:
  const ProgramJob& job_;
  std::vector<HWND> askedWindows_;
  bool asked_ = false;
  bool consoleSignalled_ = false;
};

class SystemClock final : public HostClock {
 public:
  std::uint32_t nowMs() override { return ::GetTickCount(); }
  std::int64_t utcSeconds() override { return utcSecondsNow(); }
  void sleepMs(std::uint32_t milliseconds) override { ::Sleep(milliseconds); }
  bool systemShuttingDown() override { return ::GetSystemMetrics(SM_SHUTTINGDOWN) != 0; }
};

}  // namespace

DWORD WINAPI ServiceControl::handle(DWORD control, DWORD, void*, void* context) {
  auto& self = *static_cast<ServiceControl*>(context);
  try {
    return self.dispatcher_.handle(control);
  } catch (const std::exception& failure) {
    self.fault_.report(std::string("its control handler: ") + failure.what());
  } catch (...) {
    self.fault_.report("its control handler: an unknown exception");
  }
  return NO_ERROR;
}

ServiceHost::ServiceHost(std::string serviceName, ServiceControl& control)
    : serviceName_(std::move(serviceName)), control_(control) {}

bool ServiceHost::offerPreshutdown(RecordSink& records) {
  UniqueServiceHandle manager(::OpenSCManagerA(nullptr, nullptr, SC_MANAGER_CONNECT));
  UniqueServiceHandle service(
      manager ? ::OpenServiceA(manager.get(), serviceName_.c_str(), SERVICE_QUERY_CONFIG | SERVICE_CHANGE_CONFIG)
              : nullptr);
  // Run as another account than LocalSystem, srvany may not change its service: instsrv set
  // the time when it created it, and a service that has it needs only to be read.
  if (!service && manager && ::GetLastError() == ERROR_ACCESS_DENIED) {
    service.reset(::OpenServiceA(manager.get(), serviceName_.c_str(), SERVICE_QUERY_CONFIG));
  }
  const DWORD error = service ? setPreshutdownTimeout(service.get(), kPreshutdownTimeoutMs) : ::GetLastError();
  if (error == ERROR_INVALID_LEVEL) return false;  // before Vista: only the plain shutdown
  if (error != ERROR_SUCCESS) {
    records.record({HostEvent::HostWarning, Severity::Warning,
                    "The service's shutdown time could not be set to " + std::to_string(kPreshutdownTimeoutMs / 1000) +
                        " seconds; Windows gives it its default: " + errorText(error)});
  }
  return true;
}

void ServiceHost::run() {
  EventLog eventLog(serviceName_);
  const bool asLocalSystem = setToRunAsLocalSystem(serviceName_);
  HostLogFolder logFolder(serviceName_, asLocalSystem);
  std::string logProblem;
  const LogLimits logLimits = readLogLimits(serviceName_, logProblem);
  TextLog textLog(logFolder, serviceName_, {localTimeText, utcSecondsNow}, accountName(), logLimits);
  Records records;
  records.add(eventLog);
  records.add(textLog);
  if (!eventLog.registrationError().empty()) {
    records.record({HostEvent::HostWarning, Severity::Warning, eventLog.registrationError()});
  }
  if (!logFolder.ready()) {
    records.record({HostEvent::HostWarning, Severity::Warning, "No text log is written: " + logFolder.problem()});
  } else if (!logFolder.note().empty()) {
    records.record({HostEvent::HostWarning, Severity::Warning, logFolder.note()});
  }
  if (!logProblem.empty()) records.record({HostEvent::HostWarning, Severity::Warning, logProblem});

  WatchKey watchKey(serviceName_, asLocalSystem);
  SystemClock clock;
  WatchPublisher publisher(watchKey, clock, records);

  const SERVICE_STATUS_HANDLE handle =
      ::RegisterServiceCtrlHandlerExA(serviceName_.c_str(), ServiceControl::handle, &control_);
  if (!handle) {
    records.record({HostEvent::HostFailed, Severity::Error,
                    "srvany cannot take the service's controls: " + errorText(::GetLastError())});
    publisher.startFailed();
    return;
  }
  control_.fault().serving(serviceName_, handle);
  const HostFault::Recording faultsRecorded(control_.fault(), records);
  StatusReporter status(handle, records, acceptedControls(offerPreshutdown(records)));
  status.startPending(kStartWaitHintMs);
  const auto failToStart = [&](DWORD error, const std::string& what) {
    records.record({HostEvent::StartFailed, Severity::Error, what + ": " + errorText(error) + ". The service stops."});
    publisher.startFailed();
    status.stopped(error);
  };

  if (!control_.stopRequested()) return failToStart(control_.creationError(), "srvany cannot create its stop event");
  const std::string parametersKey = "HKEY_LOCAL_MACHINE\\" + parametersKeyPath(serviceName_);
  const auto settings = readProgramSettings(serviceName_);
  if (!settings) {
    return failToStart(settings.error,
                       "Cannot read the values Application, AppParameters and AppDirectory under " + parametersKey);
  }
  const auto plan = planLaunch(settings.value, fileExists);
  if (!plan) return failToStart(plan.error, noProgramText(parametersKey, settings.value.application));
  const auto program = ProgramJob::start(plan.value);
  if (!program) return failToStart(program.error, cannotStartText(plan.value));
  publisher.started(program.value.processId());

  status.running();
  records.record({HostEvent::Started, Severity::Information, startedText(plan.value, program.value.processId())});

  if (!settings.value.problem.empty()) records.record({HostEvent::HostWarning, Severity::Warning, settings.value.problem});

  JobProgram job(program.value);
  StatusAfterWatch endedStatus(status, publisher);  // every way of stopping publishes "ended" first
  HostSession session{job, endedStatus, clock, records};
  ProgramWatch watch(records, settings.value.hangRestartSeconds, settings.value.boxRestartMinutes);
  const HANDLE events[] = {control_.stopRequested(), program.value.process()};
  // The first probe as soon as the program has its windows, then one each interval.
  const std::uint32_t startedMs = clock.nowMs();
  bool probedOnce = false;
  bool watching = true;
  // The program runs on and a stop still closes it; only the watch is gone, and says so.
  const auto watchStopped = [&](const std::string& why) {
    watching = false;
    probedOnce = true;
    records.record({HostEvent::HostFailed, Severity::Error,
                    "srvany's watch has stopped: " + why + ". The program runs on unwatched until the service restarts."});
  };
  DWORD woken = WAIT_TIMEOUT;
  while ((woken = ::WaitForMultipleObjects(2, events, FALSE, probedOnce ? kProbeIntervalMs : kFirstProbePollMs)) ==
         WAIT_TIMEOUT) {
    if (!watching) continue;  // no heartbeat either: /health sees that nobody watches
    try {
      const auto processIds = program.value.runningProcessIds();
      if (!probedOnce && clock.nowMs() - startedMs < kProbeIntervalMs && !haveWindows(processIds)) {
        publisher.beatIfDue();
        continue;
      }
      probedOnce = true;
      const WatchVerdict verdict =
          watch.probe(clock.nowMs(), probeWindows(processIds, [&publisher] { publisher.beatIfDue(); }));
      publisher.probed(watch);
      if (verdict.kind == WatchVerdict::EndHung) return endHungProgram(settings.value.hangRestartSeconds, session);
      if (verdict.kind == WatchVerdict::EndForBox) {
        return endProgramForBox(settings.value.boxRestartMinutes, verdict.box, session);
      }
    } catch (const std::exception& failure) {
      watchStopped(failure.what());
    } catch (...) {
      watchStopped("an unknown exception");
    }
  }
  if (woken == WAIT_OBJECT_0) return closeProgram(control_.request(), session);
  if (woken == WAIT_OBJECT_0 + 1) return programEndedByItself(plan.value.applicationName, session);
  const DWORD error = ::GetLastError();
  program.value.terminate(kEndedExitCode);
  records.record({HostEvent::HostFailed, Severity::Error,
                  "srvany cannot wait for the program and has ended it: " + errorText(error)});
  endedStatus.stopped(error, 0);
}

// Where the service stands, as the service control manager is told it.

StatusReporter::StatusReporter(SERVICE_STATUS_HANDLE handle, RecordSink& records, DWORD acceptedWhileRunning)
    : handle_(handle), records_(records), acceptedWhileRunning_(acceptedWhileRunning) {
  status_.dwServiceType = SERVICE_WIN32_OWN_PROCESS;
}

void StatusReporter::startPending(DWORD waitHintMs) { report(SERVICE_START_PENDING, waitHintMs); }

void StatusReporter::stopPending(std::uint32_t waitHintMs) { report(SERVICE_STOP_PENDING, waitHintMs); }

void StatusReporter::running() { report(SERVICE_RUNNING, 0); }

void StatusReporter::stopped(std::uint32_t win32ExitCode, std::uint32_t serviceSpecificExitCode) {
  status_.dwWin32ExitCode = win32ExitCode;
  status_.dwServiceSpecificExitCode = serviceSpecificExitCode;
  report(SERVICE_STOPPED, 0);
}

void StatusReporter::report(DWORD state, DWORD waitHintMs) {
  const bool pending = state == SERVICE_START_PENDING || state == SERVICE_STOP_PENDING;
  status_.dwCheckPoint = pending && status_.dwCurrentState == state ? status_.dwCheckPoint + 1 : (pending ? 1 : 0);
  status_.dwCurrentState = state;
  status_.dwWaitHint = waitHintMs;
  // Only a running service takes controls: while starting there is nothing to stop yet, and
  // a second stop while stopping changes nothing.
  status_.dwControlsAccepted = state == SERVICE_RUNNING ? acceptedWhileRunning_ : 0;
  if (!::SetServiceStatus(handle_, &status_)) {
    records_.record({HostEvent::HostWarning, Severity::Warning,
                     "The service control manager did not take the state " + std::to_string(state) + ": " +
                         errorText(::GetLastError())});
  }
}

}  // namespace tlv::tools
