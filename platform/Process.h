// Portable: the process port: the running program's own file, starting programs, sleeping.
#pragma once

#include <string>

#include "platform/Result.h"

namespace tlv::platform {

class Process {
 public:
  virtual ~Process() = default;
  /// Full path of the running executable, as the system reports it.
  virtual std::string modulePath() = 0;
  /// Starts a batch file through the command interpreter in its own visible console window,
  /// without waiting for it.
  virtual Win32Error startBatchFile(const std::string& path) = 0;
  /// A plain blocking sleep; no window messages are processed.
  virtual void sleep(unsigned milliseconds) = 0;
};

}  // namespace tlv::platform
