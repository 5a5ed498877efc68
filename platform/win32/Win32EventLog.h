// Win32 only: the event-log port over advapi32's event-log calls.
#pragma once

#include "platform/EventLog.h"

namespace tlv::platform::win32 {

class Win32EventLog final : public EventLog {
 public:
  Win32Error report(std::uint16_t type, const std::string& text) override;
};

}  // namespace tlv::platform::win32
