// Portable: what srvany publishes of its watch (tools/common/WatchValues.h) and when: at the
// program's start, or that it could not be started; at each probe; as a heartbeat while a
// probe takes its time; and, before the service reports that it stopped, that the program ended.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "tools/srvany/HostRecord.h"
#include "tools/srvany/HostSession.h"
#include "tools/srvany/ProgramWatch.h"

namespace tlv::tools {

/// Every value of the Watch key, as one write leaves them.
struct WatchReport {
  std::string program;                 ///< a watchstate text
  std::uint32_t processId = 0;         ///< 0 when no program runs
  std::string started;                 ///< utcText, "" when the program was not started
  bool answering = false;              ///< false once none of its windows answers, and when none runs
  std::string notAnsweringSince;       ///< utcText of the first probe it did not answer, "" while it answers
  std::vector<std::string> openBoxes;  ///< the boxes the watch counts as open, by title
  std::string heartbeat;               ///< utcText of this write

  bool operator==(const WatchReport&) const = default;
};

/// Where the report goes: the Watch key, or a test's copy.
class WatchStore {
 public:
  virtual ~WatchStore() = default;
  /// Writes every value of the report: empty when it did, else why not.
  [[nodiscard]] virtual std::string write(const WatchReport& report) = 0;
};

/// A REG_MULTI_SZ ends at its first empty string: a box without a title is published as this.
inline constexpr char kUntitledBox[] = "(no title)";

class WatchPublisher {
 public:
  /// A store that cannot be written is recorded once (112); the service runs on regardless.
  WatchPublisher(WatchStore& store, HostClock& clock, RecordSink& records)
      : store_(store), clock_(clock), records_(records) {}

  void started(std::uint32_t processId);
  void startFailed();
  /// What the watch counts after a probe.
  void probed(const ProgramWatch& watch);
  /// While the program runs: rewrites the values, with a new heartbeat, once kHeartbeatSeconds
  /// have passed since the last write.
  void beatIfDue();
  /// The program is gone, whatever ended it; once, and only after its start was published.
  void ended();

 private:
  void publish();

  WatchStore& store_;
  HostClock& clock_;
  RecordSink& records_;
  WatchReport report_;
  std::uint32_t lastWriteMs_ = 0;
  bool failureRecorded_ = false;
};

/// The service's status as a session reports it, the watch told first that the program has
/// ended: nobody reads a stopped service whose program still runs.
class StatusAfterWatch final : public HostStatus {
 public:
  StatusAfterWatch(HostStatus& status, WatchPublisher& publisher) : status_(status), publisher_(publisher) {}
  void stopPending(std::uint32_t waitHintMs) override { status_.stopPending(waitHintMs); }
  void stopped(std::uint32_t win32ExitCode, std::uint32_t serviceSpecificExitCode) override {
    publisher_.ended();
    status_.stopped(win32ExitCode, serviceSpecificExitCode);
  }

 private:
  HostStatus& status_;
  WatchPublisher& publisher_;
};

}  // namespace tlv::tools
