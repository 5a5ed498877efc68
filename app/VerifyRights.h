// Portable: /verify's checks of who may change what the service runs, as SYSTEM: the payment
// program, the folders it is found in, srvany's start folder, the service and its keys.
#pragma once

#include <string>

#include "app/ServiceVerify.h"
#include "platform/Platform.h"

namespace tlv::app {

/// The payment program, its folder and each folder above it up to the drive (or share), and
/// `startFolder` (AppDirectory) when it is given and exists.
CheckResult checkProgramRights(platform::Platform& machine, const std::string& program, const std::string& startFolder);

/// The service itself, its key and its Parameters key.
CheckResult checkServiceRights(platform::Platform& machine);

}  // namespace tlv::app
