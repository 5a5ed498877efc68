// Portable: "/health".
#include "app/ServiceHealth.h"

#include <cstdint>

#include "logging/LoggingFunctions.h"
#include "tools/common/WatchValues.h"
#include "tools/srvany/ProgramWatch.h"

namespace tlv::app {
namespace {

// srvany reports a program as hung after this long; /health keeps the same rule.
constexpr std::int64_t kHangSeconds = tools::kHangReportMs / 1000;
constexpr std::size_t kShownLength = 100;
constexpr std::size_t kShownBoxes = 10;

// A text another program wrote (a box's title): quoted, on one line, of bounded length.
std::string shown(const std::string& text) {
  std::string line;
  for (const char c : text.substr(0, kShownLength)) line += static_cast<unsigned char>(c) < 0x20 || c == 0x7F ? ' ' : c;
  return "\"" + line + (text.size() > kShownLength ? "...\"" : "\"");
}

// A time no further than `seconds` from now either way: one far ahead of the clock (the
// clock was set back since) proves nothing recent either.
bool recent(std::int64_t utcNow, std::int64_t time, std::int64_t seconds) {
  return time >= utcNow - seconds && time <= utcNow + seconds;
}

std::string stateName(std::uint32_t state) {
  switch (state) {
    case platform::servicestate::kStopped:
      return "stopped";
    case platform::servicestate::kStartPending:
      return "start pending";
    case platform::servicestate::kStopPending:
      return "stop pending";
    case platform::servicestate::kContinuePending:
      return "continue pending";
    case platform::servicestate::kPausePending:
      return "pause pending";
    case platform::servicestate::kPaused:
      return "paused";
    default:
      return "state " + std::to_string(state);
  }
}

HealthOutcome serviceOutcome(const platform::ServiceStatus& status) {
  // A service never started since Windows started reports 1077 as its exit code: no failure.
  const platform::Win32Error exit = status.win32ExitCode;
  if (status.state == platform::servicestate::kStopped && exit != platform::err::kSuccess &&
      exit != platform::err::kServiceNeverStarted) {
    std::string found = "exit code " + std::to_string(exit);
    if (exit == platform::err::kServiceSpecificError) {
      found += ", service-specific exit code " + std::to_string(status.serviceExitCode);
    }
    return {healthcode::kServiceFailed, "The service OrbitTender stopped as failed", found};
  }
  return {healthcode::kServiceNotRunning, "The service OrbitTender is not running", stateName(status.state)};
}

HealthOutcome watchOutcome(const WatchSnapshot& watch, std::int64_t utcNow) {
  if (!watch.program || *watch.program != tools::watchstate::kRunning) {
    return {healthcode::kProgramNotRunning, "The payment program is not running",
            watch.program ? "Program " + shown(*watch.program) : "no Program value"};
  }
  // srvany beats while the program runs: without a recent beat its other values tell nothing of now.
  const std::string notWatching = "srvany is not watching the payment program";
  const auto beat = tools::parseUtcText(watch.heartbeat.value_or(""));
  if (!watch.heartbeat) return {healthcode::kNotWatched, notWatching, "no Heartbeat value"};
  if (!beat) return {healthcode::kNotWatched, notWatching, "Heartbeat " + shown(*watch.heartbeat) + " is no time"};
  if (!recent(utcNow, *beat, tools::kHeartbeatStaleSeconds)) {
    return {healthcode::kNotWatched, notWatching,
            "last Heartbeat " + *watch.heartbeat + ", now " + tools::utcText(utcNow)};
  }
  const auto since = tools::parseUtcText(watch.notAnsweringSince.value_or(""));
  if (watch.answering != 1u && !(since && recent(utcNow, *since, kHangSeconds))) {
    return {healthcode::kProgramNotAnswering, "The payment program does not answer",
            since ? "not answering since " + *watch.notAnsweringSince : "not answering, since an unknown time"};
  }
  if (!watch.openBoxes.empty()) {
    std::string titles;
    for (std::size_t i = 0; i < watch.openBoxes.size() && i < kShownBoxes; ++i) {
      titles += (i ? ", " : "") + shown(watch.openBoxes[i]);
    }
    if (watch.openBoxes.size() > kShownBoxes) {
      titles += " and " + std::to_string(watch.openBoxes.size() - kShownBoxes) + " more";
    }
    return {healthcode::kBoxOpen, "A box of the payment program is open", titles};
  }
  std::string found = "process " + std::to_string(watch.processId.value_or(0));
  if (watch.started && !watch.started->empty()) found += ", started " + shown(*watch.started);
  return {healthcode::kHealthy, "The payment program runs and answers", found};
}

}  // namespace

HealthOutcome healthOf(const HealthState& state, platform::SystemInfo& system) {
  const std::string unreadable = "The state could not be read";
  if (state.service.error == platform::err::kServiceDoesNotExist) {
    return {healthcode::kServiceMissing, "The service OrbitTender does not exist", {}};
  }
  if (!state.service.ok()) {
    return {healthcode::kUnreadable, unreadable, "the service manager: " + system.errorText(state.service.error)};
  }
  if (state.service.value.state != platform::servicestate::kRunning) return serviceOutcome(state.service.value);
  if (state.watch.error == platform::err::kFileNotFound) {
    return {healthcode::kNotWatched, "srvany is not watching the payment program", "no Watch key"};
  }
  if (state.watch.error != platform::err::kSuccess) {
    return {healthcode::kUnreadable, unreadable, "the Watch key: " + system.errorText(state.watch.error)};
  }
  return watchOutcome(state.watch, state.utcNow);
}

Outcome healthOutcome(RunContext& run) {
  const HealthOutcome health = healthOf(readHealthState(run.machine), run.machine.systemInfo);
  return Outcome::of(health.code,
                     health.code == healthcode::kHealthy ? platform::eventtype::kInformation
                                                         : platform::eventtype::kError,
                     health.what, health.found);
}

}  // namespace tlv::app
