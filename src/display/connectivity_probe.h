// The forced connectivity probe (it dials or wakes the connection when it can): it may block
// for a whole TCP time-out, so it runs on a worker of its own, at most once a minute, and
// nobody waits for it. Whether the machine is online is read elsewhere, from the last known
// state.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "host/threads.h"

namespace tp {

class ConnectivityProbe {
 public:
  static constexpr uint32_t kIntervalMs = 60000;

  ConnectivityProbe() = default;
  ~ConnectivityProbe() = default;  // a probe still running ends on its own
  ConnectivityProbe(const ConnectivityProbe&) = delete;
  ConnectivityProbe& operator=(const ConnectivityProbe&) = delete;

  // Starts a probe, unless one started less than a minute ago or is still running.
  void Request();
  int started() const { return m_started; }

 private:
  std::unique_ptr<host::Thread> m_worker;
  std::optional<uint32_t> m_lastStartTick;
  int m_started = 0;
};

}  // namespace tp
