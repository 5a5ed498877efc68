// Portable: what one run of the program shares, made once by mainMod and passed to every step
// that needs it: the machine (its UI quiet for a run that shows nothing), the run's one log
// writer, its one environment object and the digests of the tools it may place.
#pragma once

#include "app/ToolDigests.h"
#include "environment/jclass_WinEnviron.h"
#include "logging/LoggingFunctions.h"
#include "platform/Platform.h"

namespace tlv::app {

struct RunContext {
  platform::Platform& machine;
  logging::LoggingFunctions& log;
  environment::jclass_WinEnviron& environment;
  const ToolDigests& tools;
};

}  // namespace tlv::app
