// Portable: the event-log port: entries in Windows' Application log under the program's own
// event source, for administrators who collect outcomes from many machines.
#pragma once

#include <cstdint>
#include <string>

#include "platform/Result.h"

namespace tlv::platform {

/// Event types as ReportEvent takes them.
namespace eventtype {
inline constexpr std::uint16_t kError = 0x0001;
inline constexpr std::uint16_t kWarning = 0x0002;
inline constexpr std::uint16_t kInformation = 0x0004;
}  // namespace eventtype

class EventLog {
 public:
  virtual ~EventLog() = default;
  /// Writes one entry carrying the whole text under the source "TlvAsService", registering
  /// the source's message file (the running program) first. A lost entry is no failure of
  /// the run: the caller only learns the code.
  [[nodiscard]] virtual Win32Error report(std::uint16_t type, const std::string& text) = 0;
};

}  // namespace tlv::platform
