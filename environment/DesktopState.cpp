// Portable: the live desktop queries of jclass_WinEnviron; nothing is cached.
#include "environment/ValueRules.h"
#include "environment/jclass_WinEnviron.h"
#include "logging/ErrorForms.h"

namespace tlv::environment {

namespace {

constexpr char kModule[] = "jclass_WinEnvir";

// A metric that cannot be asked is captured by the caller's guard and reads 0.
std::int32_t metricOrZero(platform::SystemInfo& systemInfo, logging::CaptureAndContinue& guard, std::int32_t index) {
  const auto value = systemInfo.systemMetric(index);
  if (!value.ok()) {
    guard.fail(logging::runError(logging::errnum::kInvalidCall));
    return 0;
  }
  return value.value;
}

}  // namespace

bool jclass_WinEnviron::IsShuttingDown() {
  logging::CaptureAndContinue guard(kModule, "IsShuttingDown");
  return metricOrZero(platform_.systemInfo, guard, platform::metric::kShuttingDown) != 0;
}

bool jclass_WinEnviron::IsBeingShadowed() {
  logging::CaptureAndContinue guard(kModule, "IsBeingShadowed");
  return metricOrZero(platform_.systemInfo, guard, platform::metric::kRemoteControl) != 0;
}

std::int16_t jclass_WinEnviron::MonitorCount() {
  logging::CaptureAndContinue guard(kModule, "MonitorCount");
  const auto count = toInt16(metricOrZero(platform_.systemInfo, guard, platform::metric::kMonitorCount));
  if (!count) {
    guard.fail(logging::runError(logging::errnum::kOverflow));
    return 0;
  }
  return *count;
}

}  // namespace tlv::environment
