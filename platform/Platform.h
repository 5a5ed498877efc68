// Portable: the set of ports that the program's code is given. One per platform facility.
#pragma once

#include "platform/Clock.h"
#include "platform/Environment.h"
#include "platform/EventLog.h"
#include "platform/Files.h"
#include "platform/Hashing.h"
#include "platform/Process.h"
#include "platform/Registry.h"
#include "platform/ServiceManager.h"
#include "platform/SystemInfo.h"
#include "platform/Ui.h"

namespace tlv::platform {

struct Platform {
  FileSystem& files;
  Clock& clock;
  Environment& environment;
  Ui& ui;
  Process& process;
  SystemInfo& systemInfo;
  Registry& registry;
  EventLog& eventLog;
  Hashing& hashing;
  ServiceManager& services;
};

}  // namespace tlv::platform
