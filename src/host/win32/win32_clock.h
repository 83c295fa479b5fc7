// Clock port on Windows: GetTickCount, the system time as Unix time, GetLocalTime.
#pragma once

#include "host/clock.h"

namespace tp::host::win32 {

class Win32Clock final : public Clock {
 public:
  uint32_t TickCount() override;
  int64_t UnixTime() override;
  LocalTime Now() override;
};

}  // namespace tp::host::win32
