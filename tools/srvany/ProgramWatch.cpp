// Portable: srvany's watch over its program's windows, and what it publishes of it, and when.
#include "tools/srvany/ProgramWatch.h"

#include <algorithm>

#include "tools/common/WatchValues.h"

namespace tlv::tools {

namespace {

// The title that names the program best: its lowest titled window that is no box.
std::string programTitle(const std::vector<ProbedWindow>& windows) {
  for (auto window = windows.rbegin(); window != windows.rend(); ++window) {
    if (!window->dialog && !window->systemMade && !window->title.empty()) return window->title;
  }
  for (const ProbedWindow& window : windows) {
    if (!window.systemMade && !window.title.empty()) return window.title;
  }
  return {};
}

}  // namespace

WatchVerdict ProgramWatch::probe(std::uint32_t nowMs, const std::vector<ProbedWindow>& windows) {
  std::vector<const ProbedWindow*> own;  // the system's windows beside them decide nothing
  for (const ProbedWindow& window : windows) {
    if (!window.systemMade) own.push_back(&window);
  }
  if (!mainKnown_ && !own.empty()) {
    // Boxes lie above the window that owns them: a program made only of dialogs has its main
    // window at the bottom. A program with any other window has no main dialog. A message
    // box is always a box, also as the first window: a program whose main window is one
    // cannot be told from a program that fails before its window.
    mainKnown_ = true;
    const bool dialogsOnly = std::all_of(own.begin(), own.end(), [](const auto* w) { return w->dialog; });
    if (dialogsOnly && !own.back()->messageBox) mainDialog_ = own.back()->id;
  }
  watchBoxes(nowMs, windows);
  WatchVerdict verdict;
  for (const auto& [id, box] : boxes_) {
    if (boxRestartMs_ > 0 && nowMs - box.sinceMs >= boxRestartMs_) {
      verdict = {WatchVerdict::EndForBox, box.title};
      break;
    }
  }

  // A program without windows is not probed: its exit is watched anyway.
  const bool hung =
      !windows.empty() && std::none_of(windows.begin(), windows.end(), [](const auto& w) { return w.answered; });
  if (!hung) {
    if (hangReported_) {
      records_.record({HostEvent::ProgramAnswers, Severity::Information, "The program answers again."});
    }
    hungSince_.reset();
    hangReported_ = false;
    return verdict;
  }
  if (!hungSince_) hungSince_ = nowMs;
  const std::uint32_t hungMs = nowMs - *hungSince_;
  if (hungMs >= kHangReportMs && !hangReported_) {
    hangReported_ = true;
    records_.record({HostEvent::ProgramHung, Severity::Warning,
                     "The program has not answered for more than " + std::to_string(kHangReportMs / 1000) +
                         " seconds (window \"" + programTitle(windows) + "\")."});
  }
  if (hangRestartMs_ > 0 && hungMs >= hangRestartMs_) return {WatchVerdict::EndHung, {}};
  return verdict;
}

std::vector<std::string> ProgramWatch::openBoxes() const {
  std::vector<std::string> titles;
  for (const auto& [id, box] : boxes_) titles.push_back(box.title);
  return titles;
}

void ProgramWatch::watchBoxes(std::uint32_t nowMs, const std::vector<ProbedWindow>& windows) {
  for (const ProbedWindow& window : windows) {
    if (!window.dialog || window.id == mainDialog_ || boxes_.count(window.id)) continue;
    std::string text = "The program shows a box nobody sees: \"" + window.title + "\"";
    for (const std::string& line : window.texts) text += " / " + line;
    records_.record({HostEvent::BoxShown, Severity::Warning, text});
    boxes_.emplace(window.id, Box{window.title, nowMs});
  }
  for (auto box = boxes_.begin(); box != boxes_.end();) {
    const bool open = std::any_of(windows.begin(), windows.end(), [&](const auto& w) { return w.id == box->first; });
    if (open) {
      ++box;
      continue;
    }
    records_.record({HostEvent::BoxClosed, Severity::Information, "The box \"" + box->second.title + "\" has gone."});
    box = boxes_.erase(box);
  }
}

// What srvany publishes of its watch, and when.

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
