// The simulated clock.
#include "host/sim/sim_clock.h"

namespace tp::host::sim {
namespace {

// Days since 1970-01-01 to a civil date (Howard Hinnant's algorithm).
void CivilFromDays(int64_t days, int* year, int* month, int* day) {
  days += 719468;
  const int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const int64_t doe = days - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  *day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  *month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  *year = static_cast<int>(yoe + era * 400 + (*month <= 2 ? 1 : 0));
}

}  // namespace

SimClock::SimClock(uint32_t startTick, int64_t startUnixTime)
    : m_startTick(startTick), m_startUnixTimeMs(startUnixTime * 1000) {}

int64_t SimClock::UnixTime() {
  const int64_t unixMs = m_startUnixTimeMs.load() + static_cast<int64_t>(ElapsedMs());
  return unixMs / 1000;
}

LocalTime SimClock::Now() {
  const int64_t unixMs = m_startUnixTimeMs.load() + static_cast<int64_t>(ElapsedMs());
  const int64_t seconds = unixMs / 1000;
  int64_t days = seconds / 86400;
  int64_t secondOfDay = seconds % 86400;
  if (secondOfDay < 0) {
    secondOfDay += 86400;
    --days;
  }
  LocalTime time;
  CivilFromDays(days, &time.year, &time.month, &time.day);
  time.hour = static_cast<int>(secondOfDay / 3600);
  time.minute = static_cast<int>(secondOfDay / 60 % 60);
  time.second = static_cast<int>(secondOfDay % 60);
  time.milliseconds = static_cast<int>(unixMs % 1000);
  return time;
}

void SimClock::AdvanceTo(uint64_t elapsedMs) {
  uint64_t current = m_elapsedMs.load();
  while (elapsedMs > current && !m_elapsedMs.compare_exchange_weak(current, elapsedMs)) {
  }
}

void SimClock::SetUnixTime(int64_t unixTime) {
  // The wall clock is set to that second now; it moves on with the elapsed time.
  m_startUnixTimeMs = unixTime * 1000 - static_cast<int64_t>(ElapsedMs() / 1000 * 1000);
}

}  // namespace tp::host::sim
