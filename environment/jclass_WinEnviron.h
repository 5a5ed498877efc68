// Portable: facts about the running Windows, each gathered from the platform on first read
// and kept for the life of the object.
#pragma once

#include "logging/LoggingFunctions.h"
#include "platform/Platform.h"

namespace tlv::environment {

class jclass_WinEnviron {
 public:
  jclass_WinEnviron(platform::Platform& platform, logging::LoggingFunctions& log) : platform_(platform), log_(log) {}

 private:
  [[maybe_unused]] platform::Platform& platform_;
  [[maybe_unused]] logging::LoggingFunctions& log_;
};

}  // namespace tlv::environment
