// Portable: what srvany publishes of its watch, and when.
#include "tools/srvany/WatchPublisher.h"

#include "tools/common/WatchValues.h"

namespace tlv::tools {

void WatchPublisher::started(std::uint32_t processId) {
  report_ = {watchstate::kRunning, processId, utcText(clock_.utcSeconds()), true, "", {}, ""};
  publish();
}

void WatchPublisher::startFailed() {
  report_ = {watchstate::kStartFailed, 0, "", false, "", {}, ""};
  publish();
}

void WatchPublisher::probed(const ProgramWatch& watch) {
  if (report_.program != watchstate::kRunning) return;
  report_.answering = watch.answering();
  if (report_.answering) {
    report_.notAnsweringSince.clear();
  } else if (report_.notAnsweringSince.empty()) {
    report_.notAnsweringSince = utcText(clock_.utcSeconds());
  }
  report_.openBoxes = watch.openBoxes();
  for (std::string& title : report_.openBoxes) {
    if (title.empty()) title = kUntitledBox;
  }
  publish();
}

void WatchPublisher::beatIfDue() {
  if (report_.program == watchstate::kRunning && clock_.nowMs() - lastWriteMs_ >= kHeartbeatSeconds * 1000) publish();
}

void WatchPublisher::ended() {
  if (report_.program != watchstate::kRunning) return;
  report_ = {watchstate::kEnded, 0, report_.started, false, "", {}, ""};
  publish();
}

void WatchPublisher::publish() {
  report_.heartbeat = utcText(clock_.utcSeconds());
  lastWriteMs_ = clock_.nowMs();
  const std::string failure = store_.write(report_);
  if (failure.empty() || failureRecorded_) return;
  failureRecorded_ = true;
  records_.record({HostEvent::HostWarning, Severity::Warning,
                   "srvany cannot publish its watch: " + failure +
                       ". The service runs on; a further failure to publish it is not recorded."});
}

}  // namespace tlv::tools
