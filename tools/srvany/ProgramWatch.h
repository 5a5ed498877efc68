// Portable: srvany's watch over its program's windows, and what it publishes of it. A service's
// windows sit on a desktop nobody sees: a program that stops answering, or waits on a box
// ("cannot open COM3"), keeps its process and the service reads RUNNING while no card is
// processed. The watch says so, in the records and in the Watch key (tools/common/WatchValues.h).
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "tools/srvany/HostRecord.h"
#include "tools/srvany/HostSession.h"

namespace tlv::tools {

/// How often the windows are probed, and how long each may take to answer.
inline constexpr std::uint32_t kProbeIntervalMs = 5000;
inline constexpr std::uint32_t kProbeAnswerMs = 5000;
/// A probe asks no further window once it has taken this long, so that however many windows
/// take their full answer time, srvany is back at its heartbeat and its stop event soon.
inline constexpr std::uint32_t kProbeBudgetMs = 20000;
/// Until the first probe, how often srvany looks whether the program has its windows yet.
inline constexpr std::uint32_t kFirstProbePollMs = 250;
/// A program none of whose windows has answered for longer than this is reported.
inline constexpr std::uint32_t kHangReportMs = 30000;
/// The service-specific exit code of a service whose hung program srvany ended (bit 29: an
/// application's own code, never a system error).
inline constexpr std::uint32_t kHungProgramEndedCode = 0x20000001;
/// ... and of one whose program srvany ended for a box left open (BoxRestartMinutes).
inline constexpr std::uint32_t kBoxProgramEndedCode = 0x20000002;
/// ... and of one whose srvany failed itself (111): an exception or a fault on one of its threads.
inline constexpr std::uint32_t kHostFailedCode = 0x20000003;

/// One top-level window of the program's processes, visible or hidden, as one probe saw it.
struct ProbedWindow {
  std::uintptr_t id = 0;  ///< its handle
  std::string title;
  bool dialog = false;             ///< of the dialog class "#32770": a message box or a dialog
  bool answered = false;           ///< answered WM_NULL within kProbeAnswerMs
  std::vector<std::string> texts;  ///< a dialog's texts
  bool messageBox = false;         ///< a dialog of texts, an icon and buttons only, as MessageBox makes
  bool systemMade = false;         ///< a hidden window the system makes beside the program's (input method)
};

/// What a probe asks of srvany.
struct WatchVerdict {
  enum Kind { RunsOn, EndHung, EndForBox } kind = RunsOn;
  std::string box;  ///< EndForBox: the title of the box that stood open too long
};

class ProgramWatch {
 public:
  /// `hangRestartSeconds` (Parameters\HangRestartSeconds): 0 never ends a hung program;
  /// `boxRestartMinutes` (Parameters\BoxRestartMinutes): 0 never ends one for a box it shows.
  ProgramWatch(RecordSink& records, std::uint32_t hangRestartSeconds, std::uint32_t boxRestartMinutes = 0)
      : records_(records),
        hangRestartMs_(std::uint64_t{hangRestartSeconds} * 1000),
        boxRestartMs_(std::uint64_t{boxRestartMinutes} * 60000) {}

  /// Takes one probe, in the system's z order (top first): whether the program is to be
  /// ended, because it has not answered for HangRestartSeconds or because a box of it has
  /// stood open for BoxRestartMinutes.
  WatchVerdict probe(std::uint32_t nowMs, const std::vector<ProbedWindow>& windows);

  /// As the last probe left it: false once none of its windows answers (a program without
  /// windows, or not probed yet, answers); the titles of the boxes it counts as open.
  bool answering() const { return !hungSince_; }
  std::vector<std::string> openBoxes() const;

 private:
  struct Box {
    std::string title;
    std::uint32_t sinceMs;  ///< the probe that first saw it
  };
  void watchBoxes(std::uint32_t nowMs, const std::vector<ProbedWindow>& windows);

  RecordSink& records_;
  std::uint64_t hangRestartMs_;
  std::uint64_t boxRestartMs_;
  bool mainKnown_ = false;
  std::uintptr_t mainDialog_ = 0;  ///< a dialog-based program's main window, which is no box (never a message box)
  std::optional<std::uint32_t> hungSince_;
  bool hangReported_ = false;
  std::map<std::uintptr_t, Box> boxes_;  ///< boxes reported as shown, by window
};

// What srvany publishes of its watch and when: at the program's start, or that it could not be
// started; at each probe; as a heartbeat while a probe takes its time; and, before the service
// reports that it stopped, that the program ended.

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
