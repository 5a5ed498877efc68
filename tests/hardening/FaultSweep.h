// Native: the fault sweep. A scenario runs once on a fresh sim machine to count the platform
// calls it makes, then once more per call with exactly that call failing, with the error such
// a call gives in the field. The scenario checks its own invariants; the sweep keeps figures.
#pragma once

#include <cstddef>
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "platform/sim/SimFaults.h"

namespace tlv::testing {

/// The error a failing platform call of this kind reports on a real machine: a refused
/// registry key or file, a full disk for writes, an unset variable, a program that cannot
/// be started, a box that cannot be created for lack of memory.
platform::Win32Error realisticError(std::string_view call);

/// The fault of one sweep run: the n-th platform call after arm() fails (n = 0: none).
class InjectedFault {
 public:
  InjectedFault() = default;
  InjectedFault(std::size_t n, std::string call) : n_(n), call_(std::move(call)) {}

  /// Arms the fault on the scenario's machine; call it right before the part that is swept.
  void arm(platform::sim::SimFaults& faults) const;
  /// The calls made since arm(), in order.
  std::vector<std::string> callsSinceArmed(const platform::sim::SimFaults& faults) const;
  /// True when this run's fault hit a call of this kind.
  bool hit(const platform::sim::SimFaults& faults, std::string_view call) const;

  std::size_t n() const { return n_; }
  const std::string& call() const { return call_; }

 private:
  std::size_t n_ = 0;
  std::string call_;
  mutable std::size_t armedAt_ = 0;
};

/// What one run of a scenario reports back: the platform calls after arming and how each
/// run of the swept procedure ended.
struct ScenarioRun {
  std::vector<std::string> calls;
  std::vector<std::string> endings;
};

struct SweepFigures {
  std::size_t calls = 0;        ///< platform calls of the clean run
  std::size_t faultedRuns = 0;  ///< runs with one call failing
  std::size_t survived = 0;     ///< faulted runs whose checks all held
  std::map<std::string, std::size_t> byEnding;   ///< endings of the faulted runs
  std::map<std::string, std::size_t> byCallKind;  ///< the failed calls by kind

  /// Adds another sweep's figures to these.
  void add(const SweepFigures& other);
  /// One printable paragraph of these figures.
  std::string summary(const std::string& scenario) const;
};

/// Runs the scenario clean, then once per call of the clean run with that call failing.
/// Each run is traced with its failing call, so a broken check names it.
SweepFigures sweepEveryCall(const std::function<ScenarioRun(const InjectedFault&)>& scenario);

}  // namespace tlv::testing
