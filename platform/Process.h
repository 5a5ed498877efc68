// Portable: the process port: the running program's own file, starting programs, sleeping.
#pragma once

#include <memory>
#include <string>

#include "platform/Result.h"

namespace tlv::platform {

/// Wait without a time limit.
inline constexpr unsigned kWaitForever = 0xFFFFFFFFu;

/// A program that was started. Destroying this object lets go of it; the program runs on.
class StartedProcess {
 public:
  virtual ~StartedProcess() = default;
  /// Waits until the program has ended, at most `milliseconds`; true once it has ended.
  virtual bool waitForEnd(unsigned milliseconds) = 0;
  /// Ends the program now; true once it has ended.
  [[nodiscard]] virtual bool end() = 0;
};

class Process {
 public:
  virtual ~Process() = default;
  /// Full path of the running executable, as the system reports it.
  virtual std::string modulePath() = 0;
  /// Starts a batch file through the command interpreter in its own visible console window,
  /// without waiting for it; the returned object tells when the interpreter has ended.
  virtual Result<std::unique_ptr<StartedProcess>> startBatchFile(const std::string& path) = 0;
  /// A plain blocking sleep; no window messages are processed.
  virtual void sleep(unsigned milliseconds) = 0;
};

}  // namespace tlv::platform
