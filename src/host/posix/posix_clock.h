// Clock port on posix: CLOCK_MONOTONIC ticks, the system's wall clock and time zone.
#pragma once

#include "host/clock.h"

namespace tp::host::posix {

class PosixClock final : public Clock {
 public:
  uint32_t TickCount() override;
  int64_t UnixTime() override;
  LocalTime Now() override;
};

}  // namespace tp::host::posix
