// Sim only: a whole simulated Windows machine in memory, handing out its ports as a Platform.
#pragma once

#include "platform/Platform.h"
#include "platform/sim/SimBasics.h"
#include "platform/sim/SimFaults.h"
#include "platform/sim/SimFileSystem.h"
#include "platform/sim/SimSystemInfo.h"
#include "platform/sim/SimRegistry.h"
#include "platform/sim/SimServiceManager.h"
#include "platform/sim/SimUi.h"

namespace tlv::platform::sim {

class SimMachine {
 public:
  SimMachine() = default;
  SimMachine(const SimMachine&) = delete;
  SimMachine& operator=(const SimMachine&) = delete;

  Platform platform() {
    return Platform{files, clock, environment, ui, process, systemInfo, registry, eventLog, hashing, services};
  }

  SimFaults faults;
  SimFileSystem files{faults};
  SimClock clock{faults};
  SimEnvironment environment{faults};
  SimUi ui{faults};
  SimProcess process{faults, clock};
  SimSystemInfo systemInfo{faults};
  SimRegistry registry{faults};
  SimEventLog eventLog{faults};
  SimHashing hashing{faults};
  SimServiceManager services{faults};
};

}  // namespace tlv::platform::sim
