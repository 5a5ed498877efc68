// Sim only: counts every call the sim platform answers and fails the ones a test chooses.
#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/Result.h"

namespace tlv::platform::sim {

class SimFaults {
 public:
  /// Every sim call announces itself here first, by a name such as "files.copyFile".
  /// Returns the error the call must report instead of doing its work, or success.
  Win32Error enter(std::string_view call);

  /// Fails the n-th call from now on (1 = the next call) with the given error.
  void failNthCall(std::size_t n, Win32Error error);
  /// Fails every call for which the rule answers true.
  void failWhen(std::function<bool(std::string_view call)> rule, Win32Error error);
  void clearFaults();

  std::size_t callCount() const { return calls_.size(); }
  const std::vector<std::string>& calls() const { return calls_; }
  /// The calls that were made to fail, in order.
  const std::vector<std::string>& failedCalls() const { return failed_; }

 private:
  struct Rule {
    std::function<bool(std::string_view)> matches;
    Win32Error error;
  };
  std::vector<std::string> calls_;
  std::vector<std::string> failed_;
  std::size_t failAt_ = 0;  // 1-based index into calls_, 0 = none
  Win32Error failAtError_ = err::kSuccess;
  std::vector<Rule> rules_;
};

}  // namespace tlv::platform::sim
