// Clock port: the tick counter that ages and budgets are measured in, and wall-clock time.
#pragma once

#include <cstdint>

namespace tp::host {

struct LocalTime {
  int year = 1970;
  int month = 1;  // 1-12
  int day = 1;    // 1-31
  int hour = 0;
  int minute = 0;
  int second = 0;
  int milliseconds = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds since an arbitrary start, as 32 bits that wrap (GetTickCount); compare two
  // readings only through their unsigned difference.
  virtual uint32_t TickCount() = 0;
  // Seconds since 1 January 1970, UTC.
  virtual int64_t UnixTime() = 0;
  // Local calendar time with milliseconds (GetLocalTime).
  virtual LocalTime Now() = 0;
};

// Milliseconds from `since` to `now`, correct across the 32-bit wrap.
inline uint32_t TicksSince(uint32_t now, uint32_t since) {
  return now - since;
}

}  // namespace tp::host
