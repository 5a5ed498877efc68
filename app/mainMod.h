// Portable: the program's entry routine: what the command line asks for, and for the window
// run its one log writer and environment object.
#pragma once

#include <string_view>

#include "app/ToolDigests.h"
#include "logging/LoggingFunctions.h"
#include "platform/Platform.h"

namespace tlv::app {

class mainMod {
 public:
  /// `tools`: the digests of the service tools this program may place.
  mainMod(platform::Platform& platform, const ToolDigests& tools) : platform_(platform), tools_(tools), log_(platform) {}
  mainMod(platform::Platform&, ToolDigests&&) = delete;  // kept by reference

  /// Without arguments: shows the window modally and returns when it has closed. With
  /// "/quiet", "/verify", "/report" or "/health": that run, which shows nothing. A wrong
  /// command line shows the usage (unattended, or on a window station nobody sees: says it
  /// only through the exit code, the log and the event log). An error no step foresaw is
  /// logged and shown, and ends the process with its own exit code. Returns the process exit code.
  int Main(std::string_view commandLine = {});

 private:
  int run(std::string_view commandLine);

  platform::Platform& platform_;
  const ToolDigests& tools_;
  logging::LoggingFunctions log_;  ///< the window run's
};

}  // namespace tlv::app
