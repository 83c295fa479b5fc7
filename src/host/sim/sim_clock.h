// A clock that only moves when a test or the tool moves it.
#pragma once

#include <cstdint>

#include "host/clock.h"

namespace tp::host::sim {

class SimClock final : public Clock {
 public:
  // Starts at the given tick count (tests start near 2^32 to cross the wrap) and Unix time.
  explicit SimClock(uint32_t startTick = 100000, int64_t startUnixTime = 1767225600);

  uint32_t TickCount() override { return static_cast<uint32_t>(startTick_ + elapsedMs_); }
  int64_t UnixTime() override { return startUnixTime_ + static_cast<int64_t>(elapsedMs_ / 1000); }
  // Local time is UTC in the simulation.
  LocalTime Now() override;

  // Milliseconds since the clock was made.
  uint64_t ElapsedMs() const { return elapsedMs_; }
  void AdvanceTo(uint64_t elapsedMs) {
    if (elapsedMs > elapsedMs_)
      elapsedMs_ = elapsedMs;
  }
  void Advance(uint64_t ms) { elapsedMs_ += ms; }
  void SetUnixTime(int64_t unixTime);

 private:
  uint64_t startTick_;
  int64_t startUnixTime_;
  uint64_t elapsedMs_ = 0;
};

}  // namespace tp::host::sim
