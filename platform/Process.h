// Portable: the process port: the running program's own file, starting programs, sleeping.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "platform/Result.h"

namespace tlv::platform {

/// A program that was started. Destroying this object lets go of it; the program runs on.
class StartedProcess {
 public:
  virtual ~StartedProcess() = default;
  /// Waits until the program has ended, at most `milliseconds`; true once it has ended.
  [[nodiscard]] virtual bool waitForEnd(unsigned milliseconds) = 0;
  /// Ends the program now, and every program it started; true once it has ended.
  [[nodiscard]] virtual bool end() = 0;
};

/// A batch file's command interpreter, started exactly so: the module by its full path (no
/// search), its whole command line, start folder and environment given, nothing inherited.
struct BatchLaunch {
  std::string batchFile;
  std::string interpreter;
  std::string commandLine;
  std::string startFolder;
  std::vector<std::string> environment;  ///< NAME=value, sorted by name
};

class Process {
 public:
  virtual ~Process() = default;
  /// Full path of the running executable, as the system reports it.
  virtual std::string modulePath() = 0;
  /// Starts a batch file's command interpreter in its own visible console window, without
  /// waiting for it; the returned object tells when the interpreter has ended.
  [[nodiscard]] virtual Result<std::unique_ptr<StartedProcess>> startBatchFile(const BatchLaunch& launch) = 0;
  /// A plain blocking sleep; no window messages are processed.
  virtual void sleep(unsigned milliseconds) = 0;
};

}  // namespace tlv::platform
