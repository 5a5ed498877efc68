// Portable: the program's entry routine: the shared environment object, then the window.
#pragma once

#include <memory>

#include "environment/jclass_WinEnviron.h"
#include "logging/LoggingFunctions.h"
#include "platform/Platform.h"

namespace tlv::app {

class mainMod {
 public:
  explicit mainMod(platform::Platform& platform) : platform_(platform), log_(platform) {}

  /// Creates gWinEnviron, shows the window modally and returns when it has closed.
  /// Returns the process exit code.
  int Main();

  logging::LoggingFunctions& log() { return log_; }

  /// The one shared environment object; lives until the program ends.
  std::unique_ptr<environment::jclass_WinEnviron> gWinEnviron;

 private:
  platform::Platform& platform_;
  logging::LoggingFunctions log_;
};

}  // namespace tlv::app
