// A clock that only moves when a test or the tool moves it. The add-in's workers read it
// from their own threads while the simulated UI thread moves it, so it is read and moved
// atomically.
#pragma once

#include <atomic>
#include <cstdint>

#include "host/clock.h"

namespace tp::host::sim {

class SimClock final : public Clock {
 public:
  // Starts at the given tick count (tests start near 2^32 to cross the wrap) and Unix time.
  explicit SimClock(uint32_t startTick = 100000, int64_t startUnixTime = 1767225600);

  uint32_t TickCount() override { return static_cast<uint32_t>(m_startTick + ElapsedMs()); }
  int64_t UnixTime() override;
  // Local time is UTC in the simulation.
  LocalTime Now() override;

  // Milliseconds since the clock was made.
  uint64_t ElapsedMs() const { return m_elapsedMs.load(); }
  // Moves the clock forward to `elapsedMs` (never back).
  void AdvanceTo(uint64_t elapsedMs);
  void Advance(uint64_t ms) { m_elapsedMs += ms; }
  void SetUnixTime(int64_t unixTime);

 private:
  const uint64_t m_startTick;
  std::atomic<int64_t> m_startUnixTimeMs;
  std::atomic<uint64_t> m_elapsedMs{0};
};

}  // namespace tp::host::sim
