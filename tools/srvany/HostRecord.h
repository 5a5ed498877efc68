// Portable: what srvany records about its program, each kind of event under an id of its
// own (the ids of srvany's message table), and where the records go.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tlv::tools {

/// Fixed ids: monitoring tools alert on them, so an id never changes its meaning. 1 to 3 are
/// an earlier release's ids, kept in the message table so that its entries still read.
enum class HostEvent : std::uint32_t {
  Started = 100,             ///< the program runs: process id, arguments' length, start folder
  CloseAsked = 101,          ///< a stop: the program is asked to close
  ClosedInTime = 102,        ///< it closed within the grace period
  EndedAfterGrace = 103,     ///< it did not, and was ended with what it started
  ExitedByItself = 104,      ///< it ended unasked: the service stops as failed (exit code)
  ShutdownCloseAsked = 105,  ///< Windows shuts down: the program is asked to close
  ExitedAtShutdown = 106,    ///< it ended unasked while Windows shuts down: a clean stop
  StartFailed = 110,         ///< the program could not be started: the service stops
  HostFailed = 111,          ///< srvany itself failed while the program ran
  HostWarning = 112,         ///< something srvany could not set up; the service runs on
  ProgramHung = 200,         ///< none of the program's windows has answered for over 30 s
  ProgramAnswers = 201,      ///< a hung program answers again
  BoxShown = 202,            ///< the program shows a box where nobody sees it: its title and texts
  BoxClosed = 203,           ///< that box has gone
  HungProgramEnded = 204,    ///< hung for HangRestartSeconds: ended, the service stops as failed
  BoxProgramEnded = 205,     ///< a box open for BoxRestartMinutes: ended, the service stops as failed
};

/// Every id above, for what must hold of each (C++ cannot list an enum's values): a new id
/// goes here too, and the message table must then have its text.
inline constexpr HostEvent kHostEvents[] = {
    HostEvent::Started,          HostEvent::CloseAsked,         HostEvent::ClosedInTime,
    HostEvent::EndedAfterGrace,  HostEvent::ExitedByItself,     HostEvent::ShutdownCloseAsked,
    HostEvent::ExitedAtShutdown, HostEvent::StartFailed,        HostEvent::HostFailed,
    HostEvent::HostWarning,      HostEvent::ProgramHung,        HostEvent::ProgramAnswers,
    HostEvent::BoxShown,         HostEvent::BoxClosed,          HostEvent::HungProgramEnded,
    HostEvent::BoxProgramEnded,
};

enum class Severity { Information, Warning, Error };

struct HostRecord {
  HostEvent event;
  Severity severity;
  std::string text;
};

/// Where records go: the event log, the text log, or a test's list.
class RecordSink {
 public:
  virtual ~RecordSink() = default;
  virtual void record(const HostRecord& entry) = 0;
};

/// Hands every record to each of its sinks, in order.
class Records final : public RecordSink {
 public:
  void add(RecordSink& sink) { sinks_.push_back(&sink); }
  void record(const HostRecord& entry) override {
    for (RecordSink* sink : sinks_) sink->record(entry);
  }

 private:
  std::vector<RecordSink*> sinks_;
};

}  // namespace tlv::tools
