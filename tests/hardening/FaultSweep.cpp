// Native: the fault sweep runner and the errors platform calls give in the field.
#include "tests/hardening/FaultSweep.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <sstream>

namespace tlv::testing {

namespace {

constexpr platform::Win32Error kEnvVarNotFound = 203;  // ERROR_ENVVAR_NOT_FOUND
constexpr platform::Win32Error kInsufficientBuffer = 122;

// Failed parts of the running test so far; a run that adds one did not survive.
int failedPartsSoFar() {
  const ::testing::TestResult* result = ::testing::UnitTest::GetInstance()->current_test_info()->result();
  int failed = 0;
  for (int i = 0; i < result->total_part_count(); ++i) failed += result->GetTestPartResult(i).failed() ? 1 : 0;
  return failed;
}

}  // namespace

platform::Win32Error realisticError(std::string_view call) {
  namespace err = platform::err;
  if (call == "registry.closeKey") return err::kInvalidHandle;
  if (call.starts_with("registry.")) return err::kAccessDenied;
  if (call == "files.writeLine" || call == "files.close") return err::kDiskFull;
  if (call == "files.openText") return err::kSharingViolation;
  if (call.starts_with("files.")) return err::kAccessDenied;  // copy denied, listing refused...
  if (call == "environment.variable") return kEnvVarNotFound;
  if (call == "process.startBatchFile") return err::kFileNotFound;
  if (call == "process.modulePath") return kInsufficientBuffer;
  if (call.starts_with("ui.")) return err::kNotEnoughMemory;
  if (call.starts_with("sysinfo.")) return err::kInvalidParameter;
  return err::kCallNotImplemented;
}

void InjectedFault::arm(platform::sim::SimFaults& faults) const {
  armedAt_ = faults.callCount();
  if (n_ != 0) faults.failNthCall(n_, realisticError(call_));
}

std::vector<std::string> InjectedFault::callsSinceArmed(const platform::sim::SimFaults& faults) const {
  const auto& calls = faults.calls();
  return {calls.begin() + static_cast<std::ptrdiff_t>(std::min(armedAt_, calls.size())), calls.end()};
}

bool InjectedFault::hit(const platform::sim::SimFaults& faults, std::string_view call) const {
  const auto& failed = faults.failedCalls();
  return n_ != 0 && std::find(failed.begin(), failed.end(), call) != failed.end();
}

void SweepFigures::add(const SweepFigures& other) {
  calls += other.calls;
  faultedRuns += other.faultedRuns;
  survived += other.survived;
  for (const auto& [ending, count] : other.byEnding) byEnding[ending] += count;
  for (const auto& [call, count] : other.byCallKind) byCallKind[call] += count;
}

std::string SweepFigures::summary(const std::string& scenario) const {
  std::ostringstream text;
  text << scenario << ": " << calls << " calls counted, " << faultedRuns << " faulted runs, " << survived
       << " survived\n  by ending:";
  for (const auto& [ending, count] : byEnding) text << "\n    " << count << " x " << (ending.empty() ? "(none)" : ending);
  text << "\n  failed calls by kind:";
  for (const auto& [call, count] : byCallKind) text << " " << call << " " << count << ";";
  return text.str();
}

SweepFigures sweepEveryCall(const std::function<ScenarioRun(const InjectedFault&)>& scenario) {
  SweepFigures figures;
  std::vector<std::string> cleanCalls;
  {
    SCOPED_TRACE("clean run");
    cleanCalls = scenario(InjectedFault{}).calls;
  }
  figures.calls = cleanCalls.size();
  for (std::size_t n = 1; n <= cleanCalls.size(); ++n) {
    const InjectedFault fault(n, cleanCalls[n - 1]);
    SCOPED_TRACE("failing call " + std::to_string(n) + " of " + std::to_string(cleanCalls.size()) + ": " +
                 fault.call());
    const int failedBefore = failedPartsSoFar();
    const ScenarioRun run = scenario(fault);
    ++figures.faultedRuns;
    if (failedPartsSoFar() == failedBefore) ++figures.survived;
    ++figures.byCallKind[fault.call()];
    for (const std::string& ending : run.endings) ++figures.byEnding[ending];
    // The run is deterministic up to the fault: the failing call is the one the clean run made.
    const std::vector<std::string> calls = run.calls;
    EXPECT_TRUE(calls.size() >= n && calls[n - 1] == fault.call()) << "the run diverged before its fault";
  }
  return figures;
}

}  // namespace tlv::testing
