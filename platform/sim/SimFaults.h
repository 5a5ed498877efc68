// Sim only: counts every call the sim platform answers and fails the ones a test chooses.
#pragma once

#include <algorithm>
#include <cstddef>
#include <functional>
#include <utility>
#include <vector>

#include "platform/Result.h"
#include "platform/sim/SimCalls.h"

namespace tlv::platform::sim {

class SimFaults {
 public:
  /// Every sim call announces itself here first. Returns the error the call must report
  /// instead of doing its work, or success.
  Win32Error enter(Call call);

  /// Fails the n-th call from now on (1 = the next call) with the given error.
  void failNthCall(std::size_t n, Win32Error error);
  /// Fails every call for which the rule answers true.
  void failWhen(std::function<bool(Call call)> rule, Win32Error error);
  /// Fails every call of this one kind.
  void failCalls(Call kind, Win32Error error) {
    failWhen([kind](Call call) { return call == kind; }, error);
  }
  void clearFaults();

  /// The value, or the error the call must report instead.
  template <class T>
  Result<T> answer(Call call, T value) {
    if (Win32Error e = enter(call)) return Result<T>::failure(e);
    return Result<T>::success(std::move(value));
  }

  std::size_t callCount() const { return calls_.size(); }
  /// How many calls of this kind were made.
  std::size_t callCount(Call kind) const { return static_cast<std::size_t>(std::ranges::count(calls_, kind)); }
  const std::vector<Call>& calls() const { return calls_; }
  /// The calls that were made to fail, in order.
  const std::vector<Call>& failedCalls() const { return failed_; }

 private:
  struct Rule {
    std::function<bool(Call)> matches;
    Win32Error error;
  };
  std::vector<Call> calls_;
  std::vector<Call> failed_;
  std::size_t failAt_ = 0;  // 1-based index into calls_, 0 = none
  Win32Error failAtError_ = err::kSuccess;
  std::vector<Rule> rules_;
};

}  // namespace tlv::platform::sim
