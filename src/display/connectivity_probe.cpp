// The connectivity probe's worker.
#include "display/connectivity_probe.h"

#include "host/clock.h"
#include "host/connectivity.h"
#include "host/host.h"
#include "platform/configuration.h"

namespace tp {

void ConnectivityProbe::Request() {
  const uint32_t now = host::clock().TickCount();
  if (m_lastStartTick && host::TicksSince(now, *m_lastStartTick) < kIntervalMs)
    return;
  if (m_worker && !m_worker->Join(0))
    return;  // the last one still waits for the network
  m_worker = host::StartWorker(
      [] { host::connectivity().CheckConnection(config::kConnectivityProbeUrl); });
  m_lastStartTick = now;
  ++m_started;
}

}  // namespace tp
