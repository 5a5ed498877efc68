// Portable: the controls srvany takes.
#include "tools/srvany/HostControls.h"

namespace tlv::tools {

std::uint32_t acceptedControls(bool preshutdownOffered) {
  return accept::kStop | (preshutdownOffered ? accept::kPreshutdown : accept::kShutdown);
}

std::uint32_t ControlDispatcher::handle(std::uint32_t code) {
  constexpr std::uint32_t kNoError = 0;
  constexpr std::uint32_t kCallNotImplemented = 120;
  StopRequest asked = StopRequest::None;
  switch (code) {
    case control::kStop:
      asked = StopRequest::Stop;
      break;
    case control::kShutdown:
      asked = StopRequest::Shutdown;
      break;
    case control::kPreshutdown:
      asked = StopRequest::Preshutdown;
      break;
    case control::kInterrogate:
      return kNoError;  // the manager keeps the last state reported
    default:
      return kCallNotImplemented;
  }
  StopRequest none = StopRequest::None;
  if (request_.compare_exchange_strong(none, asked)) wake_();
  return kNoError;
}

}  // namespace tlv::tools
