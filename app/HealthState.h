// Portable: what /health reads, and nothing else: the service manager's status of the service,
// and srvany's published watch over the payment program (tools/common/WatchValues.h).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "platform/Platform.h"

namespace tlv::app {

/// srvany's watch values as found. A value that is absent, or not of the type srvany writes,
/// is nullopt (or no box).
struct WatchSnapshot {
  /// kSuccess; kFileNotFound when there is no Watch key; else what refused the key or a value.
  platform::Win32Error error = platform::err::kSuccess;
  std::optional<std::string> program;
  std::optional<std::uint32_t> processId;
  std::optional<std::string> started;
  std::optional<std::uint32_t> answering;
  std::optional<std::string> notAnsweringSince;
  std::vector<std::string> openBoxes;
  std::optional<std::string> heartbeat;
};

struct HealthState {
  platform::Result<platform::ServiceStatus> service;
  WatchSnapshot watch;        ///< read only while the service runs
  std::int64_t utcNow = 0;    ///< seconds since 1970, as srvany's times count
};

/// Reads the service's status, then, while it runs, the watch key.
HealthState readHealthState(platform::Platform& machine);

}  // namespace tlv::app
