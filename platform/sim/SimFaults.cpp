// Sim only: call counting and fault injection.
#include "platform/sim/SimFaults.h"

namespace tlv::platform::sim {

Win32Error SimFaults::enter(Call call) {
  calls_.push_back(call);
  Win32Error error = err::kSuccess;
  if (failAt_ != 0 && calls_.size() == failAt_) {
    error = failAtError_;
  } else {
    for (const Rule& rule : rules_) {
      if (rule.matches(call)) {
        error = rule.error;
        break;
      }
    }
  }
  if (error != err::kSuccess) failed_.push_back(call);
  return error;
}

void SimFaults::failNthCall(std::size_t n, Win32Error error) {
  failAt_ = calls_.size() + n;
  failAtError_ = error;
}

void SimFaults::failWhen(std::function<bool(Call)> rule, Win32Error error) {
  rules_.push_back(Rule{std::move(rule), error});
}

void SimFaults::clearFaults() {
  failAt_ = 0;
  rules_.clear();
}

}  // namespace tlv::platform::sim
