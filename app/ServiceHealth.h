// Portable: "/health": whether the till takes payments now, from what the service manager and
// srvany's watch say. It changes nothing, shows nothing and answers at once, for monitoring.
#pragma once

#include "app/Outcome.h"
#include "app/RunContext.h"
#include <string>

#include "app/HealthState.h"
#include "platform/Platform.h"

namespace tlv::app {

/// The exit codes of /health, apart from those of /quiet and /verify: the first that applies.
namespace healthcode {
inline constexpr int kHealthy = 0;
inline constexpr int kServiceMissing = 40;
inline constexpr int kServiceNotRunning = 41;   ///< stopped cleanly, pending or paused
inline constexpr int kServiceFailed = 42;       ///< stopped with an exit code: the recovery actions restart it
inline constexpr int kProgramNotRunning = 43;
inline constexpr int kProgramNotAnswering = 44;
inline constexpr int kBoxOpen = 45;
inline constexpr int kNotWatched = 46;          ///< srvany publishes no fresh watch
inline constexpr int kUnreadable = 47;
}  // namespace healthcode

struct HealthOutcome {
  int code = healthcode::kHealthy;
  std::string what;   ///< "The payment program does not answer"
  std::string found;  ///< "not answering since 2026-12-06T09:04:00Z"; may be empty
};

/// Decides from what was read; `system` gives the texts of the errors that refused a read.
HealthOutcome healthOf(const HealthState& state, platform::SystemInfo& system);

/// /health: reads, decides and tells its outcome.
Outcome healthOutcome(RunContext& run);

}  // namespace tlv::app
