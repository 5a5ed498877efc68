// Portable: the clock port, the current local date and time.
#pragma once

namespace tlv::platform {

struct LocalTime {
  int year = 0;
  int month = 0;  ///< 1 to 12
  int day = 0;
  int hour = 0;   ///< 0 to 23
  int minute = 0;
  int second = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  virtual LocalTime now() = 0;
};

}  // namespace tlv::platform
