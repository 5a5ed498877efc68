// Portable: the clock port, the current local date and time, and the current UTC time.
#pragma once

#include <cstdint>

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
  /// Seconds since 1970-01-01 00:00 UTC (GetSystemTimeAsFileTime): what srvany's published
  /// times are compared with, whatever the time zone.
  virtual std::int64_t utcSeconds() = 0;
  /// Milliseconds since some fixed moment, never set back (GetTickCount64): what deadlines
  /// are counted in, since the time of day can be changed while a run waits.
  virtual std::uint64_t tickMilliseconds() = 0;
};

}  // namespace tlv::platform
