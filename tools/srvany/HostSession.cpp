// Portable: the controls srvany takes, and how it ends its program and the service.
#include "tools/srvany/HostSession.h"

#include "tools/srvany/ProgramWatch.h"

namespace tlv::tools {

std::uint32_t acceptedControls(bool preshutdownOffered) {
  return accept::kStop | (preshutdownOffered ? accept::kPreshutdown : accept::kShutdown);
}

std::uint32_t ControlDispatcher::handle(std::uint32_t code) {
  constexpr std::uint32_t kNoError = 0;
  constexpr std::uint32_t kCallNotImplemented = 120;
  StopRequest asked = StopRequest::None;
  switch (code) {
    case control::kStop:
      asked = StopRequest::Stop;
      break;
    case control::kShutdown:
      asked = StopRequest::Shutdown;
      break;
    case control::kPreshutdown:
      asked = StopRequest::Preshutdown;
      break;
    case control::kInterrogate:
      return kNoError;  // the manager keeps the last state reported
    default:
      return kCallNotImplemented;
  }
  StopRequest none = StopRequest::None;
  if (request_.compare_exchange_strong(none, asked)) wake_();
  return kNoError;
}

namespace {

constexpr std::uint32_t kStopPollMs = 100;
constexpr std::uint32_t kStopWaitHintMs = 2000;  // well above the poll: each poll reports a checkpoint

// The watch's verdict: the program is ended with what it started, and the service stops as
// failed with srvany's own code, so that the recovery actions restart it.
void endForTheWatch(HostEvent event, std::string text, std::uint32_t code, HostSession& s) {
  s.status.stopPending(kStopWaitHintMs);
  const std::string failure = s.program.end();
  if (!failure.empty()) text += " Not all of its processes could be ended: " + failure;
  s.records.record({event, Severity::Error, text});
  s.status.stopped(kServiceSpecificError, code);
}

}  // namespace

void closeProgram(StopRequest why, HostSession& s) {
  s.status.stopPending(kStopWaitHintMs);
  if (why == StopRequest::Shutdown || why == StopRequest::Preshutdown) {
    s.records.record({HostEvent::ShutdownCloseAsked, Severity::Information,
                      "Windows is shutting down: srvany asks the program to close."});
  } else {
    s.records.record(
        {HostEvent::CloseAsked, Severity::Information, "Stop requested: srvany asks the program to close."});
  }
  s.program.askToClose();
  const std::uint32_t start = s.clock.nowMs();
  bool closed = true;
  while (s.program.running()) {
    if (s.clock.nowMs() - start >= kGracePeriodMs) {
      closed = false;
      break;
    }
    s.status.stopPending(kStopWaitHintMs);
    s.clock.sleepMs(kStopPollMs);
    s.program.askToClose();  // a program still starting up may make its window only now
  }
  const std::string how = "srvany " + s.program.howAsked();
  if (closed) {
    s.records.record({HostEvent::ClosedInTime, Severity::Information, how + "; the program closed in time."});
  } else {
    const std::string failure = s.program.end();
    std::string text =
        how + "; the program did not close within " + std::to_string(kGracePeriodMs / 1000) + " seconds and was ended";
    text += failure.empty() ? "." : ", but not all of its processes could be ended: " + failure;
    s.records.record({HostEvent::EndedAfterGrace, Severity::Warning, text});
  }
  s.status.stopped(0, 0);
}

void programEndedByItself(const std::string& programPath, HostSession& s) {
  // Stopping from now on: a STOP would find nothing left to stop.
  s.status.stopPending(kStopWaitHintMs);
  const std::uint32_t exitCode = s.program.exitCode();
  const std::string failure = s.program.end();  // what it started goes with it
  std::string text = "The program \"" + programPath + "\" exited by itself with exit code " + std::to_string(exitCode);
  const bool shuttingDown = s.clock.systemShuttingDown();
  text += shuttingDown ? " while Windows shuts down; the service stops." : "; the service stops as failed.";
  if (!failure.empty()) text += " Not all of its processes could be ended: " + failure;
  if (shuttingDown) {
    s.records.record({HostEvent::ExitedAtShutdown, Severity::Information, text});
    s.status.stopped(0, 0);
  } else {
    s.records.record({HostEvent::ExitedByItself, Severity::Error, text});
    s.status.stopped(kServiceSpecificError, exitCode);
  }
}

void endHungProgram(std::uint32_t hangRestartSeconds, HostSession& s) {
  endForTheWatch(HostEvent::HungProgramEnded,
                 "The program has not answered for " + std::to_string(hangRestartSeconds) +
                     " seconds (HangRestartSeconds) and was ended; the service stops as failed.",
                 kHungProgramEndedCode, s);
}

void endProgramForBox(std::uint32_t boxRestartMinutes, const std::string& boxTitle, HostSession& s) {
  endForTheWatch(HostEvent::BoxProgramEnded,
                 "The program's box \"" + boxTitle + "\" has stood open for " + std::to_string(boxRestartMinutes) +
                     " minutes (BoxRestartMinutes) and the program was ended; the service stops as failed.",
                 kBoxProgramEndedCode, s);
}

}  // namespace tlv::tools
