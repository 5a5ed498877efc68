// Portable: the live desktop queries of jclass_WinEnviron; nothing is cached.
#include "environment/ValueRules.h"
#include "environment/jclass_WinEnviron.h"
#include "logging/ErrorForms.h"

namespace tlv::environment {

bool jclass_WinEnviron::IsShuttingDown() {
  return metricOrZero("IsShuttingDown", platform::metric::kShuttingDown) != 0;
}

bool jclass_WinEnviron::IsBeingShadowed() {
  return metricOrZero("IsBeingShadowed", platform::metric::kRemoteControl) != 0;
}

std::int16_t jclass_WinEnviron::MonitorCount() {
  logging::CaptureAndContinue guard("jclass_WinEnvir", "MonitorCount");
  const auto count = toInt16(metricOrZero("MonitorCount", platform::metric::kMonitorCount));
  if (!count) {
    guard.fail(logging::runError(logging::errnum::kOverflow));
    return 0;
  }
  return *count;
}

std::int32_t jclass_WinEnviron::metricOrZero(const char* procedure, std::int32_t index) {
  logging::CaptureAndContinue guard("jclass_WinEnvir", procedure);
  const auto value = platform_.systemInfo.systemMetric(index);
  if (!value.ok()) {
    guard.fail(logging::runError(logging::errnum::kInvalidCall));
    return 0;
  }
  return value.value;
}

}  // namespace tlv::environment
