// Clock port on posix.
#include "host/posix/posix_clock.h"

#include <ctime>

namespace tp::host::posix {

uint32_t PosixClock::TickCount() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  const uint64_t ms = static_cast<uint64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
  return static_cast<uint32_t>(ms);  // wraps like GetTickCount
}

int64_t PosixClock::UnixTime() {
  return static_cast<int64_t>(::time(nullptr));
}

LocalTime PosixClock::Now() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  const time_t seconds = now.tv_sec;
  localtime_r(&seconds, &local);
  LocalTime result;
  result.year = local.tm_year + 1900;
  result.month = local.tm_mon + 1;
  result.day = local.tm_mday;
  result.hour = local.tm_hour;
  result.minute = local.tm_min;
  result.second = local.tm_sec;
  result.milliseconds = static_cast<int>(now.tv_nsec / 1000000);
  return result;
}

}  // namespace tp::host::posix
