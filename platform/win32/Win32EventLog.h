// Win32 only: the event-log port over advapi32's event-log calls.
#pragma once

#include "platform/EventLog.h"

#include <cstdint>

namespace tlv::platform::win32 {

/// The one id of the program's message table (app/win32/TlvAsServiceMessages.mc): its text
/// is the whole %1, so every entry reads as written.
inline constexpr std::uint32_t kWholeTextMessage = 1;
/// Every id the program reports under; each must have its text in the table.
inline constexpr std::uint32_t kProgramEventIds[] = {kWholeTextMessage};

class Win32EventLog final : public EventLog {
 public:
  Win32Error report(std::uint16_t type, const std::string& text) override;
};

}  // namespace tlv::platform::win32
