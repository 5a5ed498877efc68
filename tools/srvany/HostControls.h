// Portable: the controls the service control manager sends srvany, and what srvany answers.
#pragma once

#include <atomic>
#include <cstdint>
#include <functional>

namespace tlv::tools {

namespace control {  // SERVICE_CONTROL_*
inline constexpr std::uint32_t kStop = 0x1;
inline constexpr std::uint32_t kInterrogate = 0x4;
inline constexpr std::uint32_t kShutdown = 0x5;
inline constexpr std::uint32_t kPreshutdown = 0xF;
}  // namespace control

namespace accept {  // SERVICE_ACCEPT_*
inline constexpr std::uint32_t kStop = 0x1;
inline constexpr std::uint32_t kShutdown = 0x4;
inline constexpr std::uint32_t kPreshutdown = 0x100;
}  // namespace accept

enum class StopRequest { None, Stop, Shutdown, Preshutdown };

/// What a running srvany accepts: stop, and the system's shutdown in its longer, preshutdown
/// form where the system offers it (Vista on), in its plain form where it does not.
std::uint32_t acceptedControls(bool preshutdownOffered);

/// The control handler's logic: the first stop request is kept and wakes the service's thread.
/// Called on the dispatcher's thread.
class ControlDispatcher {
 public:
  explicit ControlDispatcher(std::function<void()> wake) : wake_(std::move(wake)) {}

  /// NO_ERROR (0), or ERROR_CALL_NOT_IMPLEMENTED (120) for a control srvany does not take.
  std::uint32_t handle(std::uint32_t code);
  StopRequest request() const { return request_.load(); }

 private:
  std::function<void()> wake_;
  std::atomic<StopRequest> request_{StopRequest::None};
};

}  // namespace tlv::tools
