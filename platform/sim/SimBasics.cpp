// Sim only: the simulated clock, process environment and running process.
#include "platform/sim/SimBasics.h"

#include "platform/host/LibcryptoSha256.h"
#include "platform/WindowsPath.h"

namespace tlv::platform::sim {

LocalTime SimClock::now() {
  faults_.enter(Call::ClockNow);  // reading the clock cannot fail on Windows
  return time_;
}

std::int64_t SimClock::utcSeconds() {
  faults_.enter(Call::ClockUtcSeconds);  // as now(): it cannot fail on Windows
  return utc_;
}

std::uint64_t SimClock::tickMilliseconds() {
  faults_.enter(Call::ClockTickMilliseconds);  // as now(): it cannot fail on Windows
  return ticks_;
}

void SimEnvironment::set(const std::string& name, const std::string& value) { values_[upperCase(name)] = value; }

void SimEnvironment::unset(const std::string& name) { values_.erase(upperCase(name)); }

std::string SimEnvironment::variable(const std::string& name) {
  if (faults_.enter(Call::EnvironmentVariable)) return {};
  auto it = values_.find(upperCase(name));
  return it == values_.end() ? std::string{} : it->second;
}

std::string SimProcess::modulePath() {
  if (faults_.enter(Call::ProcessModulePath)) return {};
  return modulePath_;
}

// The batch file's work is done when it starts, or at the first wait that reaches the tick
// it ends at, when the interpreter ends.
class SimStartedProcess final : public StartedProcess {
 public:
  SimStartedProcess(SimProcess& process, std::string path, std::uint64_t endsAt)
      : process_(process), path_(std::move(path)), endsAt_(endsAt) {}
  bool waitForEnd(unsigned milliseconds) override {
    process_.batchWaits_.push_back(milliseconds);
    if (process_.faults_.enter(Call::ProcessWaitForEnd) != err::kSuccess) return false;
    if (ended_) return true;
    const std::uint64_t now = process_.clock_.tickMilliseconds();
    if (now + milliseconds < endsAt_) {
      process_.clock_.advanceMilliseconds(milliseconds);
      return false;
    }
    process_.clock_.advanceMilliseconds(endsAt_ > now ? endsAt_ - now : 0);
    if (process_.batchEndEffect_) process_.batchEndEffect_(path_);
    ended_ = true;
    return true;
  }
  bool end() override {
    if (process_.faults_.enter(Call::ProcessEnd) != err::kSuccess) return false;
    ended_ = true;  // ended before its work was done: the end effect never comes
    return true;
  }

 private:
  SimProcess& process_;
  std::string path_;
  std::uint64_t endsAt_;
  bool ended_ = false;
};

Result<std::unique_ptr<StartedProcess>> SimProcess::startBatchFile(const BatchLaunch& launch) {
  using R = Result<std::unique_ptr<StartedProcess>>;
  if (Win32Error e = faults_.enter(Call::ProcessStartBatchFile)) return R::failure(e);
  started_.push_back(launch.batchFile);
  launches_.push_back(launch);
  if (batchEffect_) batchEffect_(launch.batchFile);
  const std::uint64_t endsAt = clock_.tickMilliseconds() + batchTakes_;
  return R::success(std::make_unique<SimStartedProcess>(*this, launch.batchFile, endsAt));
}

void SimProcess::sleep(unsigned milliseconds) {
  faults_.enter(Call::ProcessSleep);
  sleeps_.push_back(milliseconds);
  clock_.advanceMilliseconds(milliseconds);
}

Result<Sha256Digest> SimHashing::sha256(const std::vector<std::string_view>& pieces) {
  using R = Result<Sha256Digest>;
  if (Win32Error e = faults_.enter(Call::HashingSha256)) return R::failure(e);
  return host::libcryptoSha256(pieces);
}

Win32Error SimEventLog::report(std::uint16_t type, const std::string& text) {
  if (Win32Error e = faults_.enter(Call::EventlogReport)) return e;
  entries_.push_back({type, text});
  return err::kSuccess;
}

}  // namespace tlv::platform::sim
