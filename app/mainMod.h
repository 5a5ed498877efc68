// Portable: the program's entry routine: the shared environment object, then the window.
#pragma once

#include <memory>
#include <string_view>

#include "app/ToolDigests.h"
#include "environment/jclass_WinEnviron.h"
#include "logging/LoggingFunctions.h"
#include "platform/Platform.h"

namespace tlv::app {

class mainMod {
 public:
  /// `tools`: the digests of the service tools this program may place.
  mainMod(platform::Platform& platform, const ToolDigests& tools) : platform_(platform), tools_(tools), log_(platform) {}
  mainMod(platform::Platform&, ToolDigests&&) = delete;  // kept by reference

  /// Without arguments: creates gWinEnviron, shows the window modally and returns when it
  /// has closed. With "/quiet": the unattended run, no window. A wrong command line shows
  /// the usage (unattended, or on a window station nobody sees: says it only through the
  /// exit code, the log and the event log). An error no step foresaw is logged and shown,
  /// and ends the process with its own exit code. Returns the process exit code.
  int Main(std::string_view commandLine = {});

  logging::LoggingFunctions& log() { return log_; }

  /// The one shared environment object; lives until the program ends.
  std::unique_ptr<environment::jclass_WinEnviron> gWinEnviron;

 private:
  int run(std::string_view commandLine);
  int unexpectedFailure(const std::string& what);

  platform::Platform& platform_;
  const ToolDigests& tools_;
  logging::LoggingFunctions log_;
};

}  // namespace tlv::app
