// Portable: the controls the service control manager sends srvany and what srvany answers, and
// how srvany then ends its program and the service: closing it on a stop or at the system's
// shutdown, with a grace period and progress reported, and when it ends by itself.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <string>

#include "tools/srvany/HostRecord.h"

namespace tlv::tools {

namespace control {  // SERVICE_CONTROL_*
inline constexpr std::uint32_t kStop = 0x1;
inline constexpr std::uint32_t kInterrogate = 0x4;
inline constexpr std::uint32_t kShutdown = 0x5;
inline constexpr std::uint32_t kPreshutdown = 0xF;
}  // namespace control

namespace accept {  // SERVICE_ACCEPT_*
inline constexpr std::uint32_t kStop = 0x1;
inline constexpr std::uint32_t kShutdown = 0x4;
inline constexpr std::uint32_t kPreshutdown = 0x100;
}  // namespace accept

enum class StopRequest { None, Stop, Shutdown, Preshutdown };

/// What a running srvany accepts: stop, and the system's shutdown in its longer, preshutdown
/// form where the system offers it (Vista on), in its plain form where it does not.
std::uint32_t acceptedControls(bool preshutdownOffered);

/// The control handler's logic: the first stop request is kept and wakes the service's thread.
/// Called on the dispatcher's thread.
class ControlDispatcher {
 public:
  explicit ControlDispatcher(std::function<void()> wake) : wake_(std::move(wake)) {}

  /// NO_ERROR (0), or ERROR_CALL_NOT_IMPLEMENTED (120) for a control srvany does not take.
  std::uint32_t handle(std::uint32_t code);
  StopRequest request() const { return request_.load(); }

 private:
  std::function<void()> wake_;
  std::atomic<StopRequest> request_{StopRequest::None};
};

// How srvany ends its program and the service.

/// How long the program has to close by itself after it was asked to.
inline constexpr std::uint32_t kGracePeriodMs = 10000;
/// The service's preshutdown timeout: the grace period, the ending of what is left, a margin.
inline constexpr std::uint32_t kPreshutdownTimeoutMs = 20000;
/// ERROR_SERVICE_SPECIFIC_ERROR: the service's own exit code says what happened.
inline constexpr std::uint32_t kServiceSpecificError = 1066;

/// The program as srvany holds it: the job of its processes, or a test's.
class HostedProgram {
 public:
  virtual ~HostedProgram() = default;
  /// Asks the program to close: its windows (also ones made since the last time) and console.
  virtual void askToClose() = 0;
  /// How it was asked, for the record.
  virtual std::string howAsked() const = 0;
  virtual bool running() = 0;
  /// Ends every process of the program: empty, or why not all of them could be ended.
  virtual std::string end() = 0;
  virtual std::uint32_t exitCode() = 0;
};

/// The service's state as the service control manager is told it.
class HostStatus {
 public:
  virtual ~HostStatus() = default;
  /// Each call is a new checkpoint.
  virtual void stopPending(std::uint32_t waitHintMs) = 0;
  virtual void stopped(std::uint32_t win32ExitCode, std::uint32_t serviceSpecificExitCode) = 0;
};

class HostClock {
 public:
  virtual ~HostClock() = default;
  virtual std::uint32_t nowMs() = 0;
  /// The time of day: seconds since 1970-01-01 00:00 UTC.
  virtual std::int64_t utcSeconds() = 0;
  virtual void sleepMs(std::uint32_t milliseconds) = 0;
  /// True while Windows shuts down.
  virtual bool systemShuttingDown() = 0;
};

struct HostSession {
  HostedProgram& program;
  HostStatus& status;
  HostClock& clock;
  RecordSink& records;
};

/// A stop, a shutdown or a preshutdown: the program is asked to close, given the grace
/// period, then ended with what it started; the service stops cleanly in every case.
void closeProgram(StopRequest why, HostSession& session);

/// The program ended unasked: the service stops as failed with the program's exit code, so
/// that the recovery actions restart it, except while Windows shuts down, when recovery
/// would race the shutdown: then it is a clean stop.
void programEndedByItself(const std::string& programPath, HostSession& session);

/// The program has not answered for `hangRestartSeconds`: it is ended with what it started,
/// and the service stops as failed with kHungProgramEndedCode, so that the recovery actions
/// restart it.
void endHungProgram(std::uint32_t hangRestartSeconds, HostSession& session);

/// A box of the program has stood open for `boxRestartMinutes`: the same, with
/// kBoxProgramEndedCode.
void endProgramForBox(std::uint32_t boxRestartMinutes, const std::string& boxTitle, HostSession& session);

}  // namespace tlv::tools
