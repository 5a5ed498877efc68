// Sim only: the simulated clock, process environment and running process.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/Environment.h"
#include "platform/EventLog.h"
#include "platform/Hashing.h"
#include "platform/Process.h"
#include "platform/sim/SimFaults.h"

namespace tlv::platform::sim {

class SimClock final : public Clock {
 public:
  explicit SimClock(SimFaults& faults) : faults_(faults) {}
  void set(const LocalTime& time) { time_ = time; }
  /// Moves only the tick count on: time that a wait spent.
  void advanceMilliseconds(std::uint64_t milliseconds) { ticks_ += milliseconds; }
  LocalTime now() override;
  std::int64_t utcSeconds() override;
  std::uint64_t tickMilliseconds() override;

 private:
  SimFaults& faults_;
  LocalTime time_{2026, 12, 6, 9, 5, 7};
  std::int64_t utc_ = 1796547907;  // 2026-12-06 09:05:07 UTC: a till whose zone is UTC
  std::uint64_t ticks_ = 3600000;  // an hour since Windows started
};

class SimEnvironment final : public Environment {
 public:
  explicit SimEnvironment(SimFaults& faults) : faults_(faults) {}
  void set(const std::string& name, const std::string& value);
  void unset(const std::string& name);
  /// An injected fault makes the variable read as unset.
  std::string variable(const std::string& name) override;

 private:
  SimFaults& faults_;
  std::map<std::string, std::string> values_;  // key: upper-case name
};

class SimProcess final : public Process {
 public:
  SimProcess(SimFaults& faults, SimClock& clock) : faults_(faults), clock_(clock) {}
  void setModulePath(std::string path) { modulePath_ = std::move(path); }
  /// Runs when a batch file is started, standing for what the batch file does.
  void onBatchStart(std::function<void(const std::string& path)> effect) { batchEffect_ = std::move(effect); }
  /// Runs when a started batch file ends, which is at the first wait for it: what a slow
  /// batch file does only after the program has looked.
  void onBatchEnd(std::function<void(const std::string& path)> effect) { batchEndEffect_ = std::move(effect); }
  /// Batch files started from now on end only after this many milliseconds of waiting (a
  /// hung instsrv): each wait that ends before spends its whole limit on the clock.
  void batchFilesTake(std::uint64_t milliseconds) { batchTakes_ = milliseconds; }
  const std::vector<std::string>& startedBatchFiles() const { return started_; }
  /// How each batch file's interpreter was started, in order.
  const std::vector<BatchLaunch>& launches() const { return launches_; }
  /// The time limits of the waits for started batch files, in order.
  const std::vector<unsigned>& batchWaits() const { return batchWaits_; }
  const std::vector<unsigned>& sleeps() const { return sleeps_; }

  std::string modulePath() override;
  Result<std::unique_ptr<StartedProcess>> startBatchFile(const BatchLaunch& launch) override;
  void sleep(unsigned milliseconds) override;

 private:
  SimFaults& faults_;
  SimClock& clock_;
  std::string modulePath_ = "C:\\Tools\\TlvAsService.exe";
  friend class SimStartedProcess;
  std::function<void(const std::string&)> batchEffect_;
  std::function<void(const std::string&)> batchEndEffect_;
  std::vector<std::string> started_;
  std::vector<BatchLaunch> launches_;
  std::vector<unsigned> batchWaits_;
  std::vector<unsigned> sleeps_;
  std::uint64_t batchTakes_ = 0;
};

/// SHA-256 in plain C++, as BCrypt computes it.
class SimHashing final : public Hashing {
 public:
  explicit SimHashing(SimFaults& faults) : faults_(faults) {}
  Result<Sha256Digest> sha256(const std::vector<std::string_view>& pieces) override;

 private:
  SimFaults& faults_;
};

/// The Application log: what was reported, in order.
class SimEventLog final : public EventLog {
 public:
  struct Entry {
    std::uint16_t type = 0;
    std::string text;
    bool operator==(const Entry&) const = default;
  };
  explicit SimEventLog(SimFaults& faults) : faults_(faults) {}
  const std::vector<Entry>& entries() const { return entries_; }

  Win32Error report(std::uint16_t type, const std::string& text) override;

 private:
  SimFaults& faults_;
  std::vector<Entry> entries_;
};

}  // namespace tlv::platform::sim
