// Clock port on Windows.
#include "host/win32/win32_clock.h"

#include "host/win32/win32_api.h"

namespace tp::host::win32 {
namespace {
// 100-nanosecond intervals between 1 January 1601 and 1 January 1970.
constexpr int64_t kUnixEpochAsFileTime = 116444736000000000LL;
constexpr int64_t kFileTimeUnitsPerSecond = 10000000;
}  // namespace

uint32_t Win32Clock::TickCount() {
  return static_cast<uint32_t>(::GetTickCount());
}

int64_t Win32Clock::UnixTime() {
  FILETIME now{};
  ::GetSystemTimeAsFileTime(&now);
  const int64_t units = (static_cast<int64_t>(now.dwHighDateTime) << 32) | now.dwLowDateTime;
  return (units - kUnixEpochAsFileTime) / kFileTimeUnitsPerSecond;
}

LocalTime Win32Clock::Now() {
  SYSTEMTIME now{};
  ::GetLocalTime(&now);
  LocalTime time;
  time.year = now.wYear;
  time.month = now.wMonth;
  time.day = now.wDay;
  time.hour = now.wHour;
  time.minute = now.wMinute;
  time.second = now.wSecond;
  time.milliseconds = now.wMilliseconds;
  return time;
}

}  // namespace tp::host::win32
