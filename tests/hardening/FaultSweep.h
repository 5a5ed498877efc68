// Native: the fault sweep. A scenario runs once on a fresh sim machine to count the platform
// calls it makes, then once more per call with exactly that call failing, with the error such
// a call gives in the field. The scenario checks its own invariants.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "platform/sim/SimFaults.h"

namespace tlv::testing {

/// The error a failing platform call of this kind reports on a real machine: a refused
/// registry key or file, a full disk for writes, an unset variable, a program that cannot
/// be started, a box that cannot be created for lack of memory.
inline platform::Win32Error realisticError(platform::sim::Call call) {
  namespace err = platform::err;
  if (call == platform::sim::Call::RegistryCloseKey) return err::kInvalidHandle;
  if (platform::sim::portOf(call) == platform::sim::Port::Registry) return err::kAccessDenied;
  if (call == platform::sim::Call::FilesWriteLine || call == platform::sim::Call::FilesClose) return err::kDiskFull;
  if (call == platform::sim::Call::FilesOpenText) return err::kSharingViolation;
  if (platform::sim::portOf(call) == platform::sim::Port::Files) return err::kAccessDenied;  // copy denied, listing refused...
  if (call == platform::sim::Call::EnvironmentVariable) return 203;             // ERROR_ENVVAR_NOT_FOUND
  if (call == platform::sim::Call::ProcessStartBatchFile) return err::kFileNotFound;
  if (call == platform::sim::Call::ProcessModulePath) return 122;  // ERROR_INSUFFICIENT_BUFFER
  if (platform::sim::portOf(call) == platform::sim::Port::Ui) return err::kNotEnoughMemory;
  if (platform::sim::portOf(call) == platform::sim::Port::Sysinfo) return err::kInvalidParameter;
  return err::kCallNotImplemented;
}

/// The fault of one sweep run: the n-th platform call after arm() fails (n = 0: none).
struct InjectedFault {
  std::size_t n = 0;
  platform::sim::Call call{};
  mutable std::size_t armedAt = 0;

  /// Arms the fault on the scenario's machine; call it right before the part that is swept.
  void arm(platform::sim::SimFaults& faults) const {
    armedAt = faults.callCount();
    if (n != 0) faults.failNthCall(n, realisticError(call));
  }
  /// True for the index into faults.calls() of the call this run failed.
  bool failedAt(std::size_t index) const { return n != 0 && index + 1 == armedAt + n; }
  /// The calls made since arm(), in order.
  std::vector<platform::sim::Call> callsSinceArmed(const platform::sim::SimFaults& faults) const {
    const auto& calls = faults.calls();
    return {calls.begin() + static_cast<std::ptrdiff_t>(std::min(armedAt, calls.size())), calls.end()};
  }
  /// True when this run's fault hit a call of this kind.
  bool hit(const platform::sim::SimFaults& faults, platform::sim::Call kind) const {
    const auto& failed = faults.failedCalls();
    return n != 0 && std::find(failed.begin(), failed.end(), kind) != failed.end();
  }
};

/// Runs the scenario clean, then once per call of the clean run with that call failing. The
/// scenario returns the calls it made after arming; each run is traced with its failing call.
inline void sweepEveryCall(const std::function<std::vector<platform::sim::Call>(const InjectedFault&)>& scenario) {
  std::vector<platform::sim::Call> cleanCalls;
  {
    SCOPED_TRACE("clean run");
    cleanCalls = scenario(InjectedFault{});
  }
  ASSERT_FALSE(cleanCalls.empty()) << "the scenario made no platform call";
  for (std::size_t n = 1; n <= cleanCalls.size(); ++n) {
    const InjectedFault fault{n, cleanCalls[n - 1]};
    SCOPED_TRACE("failing call " + std::to_string(n) + " of " + std::to_string(cleanCalls.size()) + ": " +
                 std::string(platform::sim::nameOf(fault.call)));
    const std::vector<platform::sim::Call> calls = scenario(fault);
    // The run is deterministic up to the fault: the failing call is the one the clean run made.
    EXPECT_TRUE(calls.size() >= n && calls[n - 1] == fault.call) << "the run diverged before its fault";
  }
}

}  // namespace tlv::testing
