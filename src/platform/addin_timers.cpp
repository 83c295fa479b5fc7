// Arming the add-in's timers on the explorer window.
#include "platform/addin_timers.h"

#include "host/clock.h"
#include "host/host.h"

namespace tp {

void AddinTimers::SetOwner(host::WindowHandle window) {
  m_owner = window;
  if (m_owner == 0)
    return;
  const uint32_t now = host::clock().TickCount();
  const auto pending = std::move(m_heldBack);
  m_heldBack.clear();
  for (const auto& [id, timer] : pending) {
    const uint32_t waited = host::TicksSince(now, timer.armedAtTick);
    Arm(id, waited >= timer.delayMs ? 0 : timer.delayMs - waited);
  }
}

void AddinTimers::Arm(host::TimerId id, uint32_t delayMs) {
  if (m_owner == 0) {
    m_heldBack[id] = HeldBack{delayMs, host::clock().TickCount()};
    return;
  }
  if (host::ui().SetTimer(m_owner, id, delayMs) != 0)
    m_armed.emplace(m_owner, id);
}

void AddinTimers::Kill(host::TimerId id) {
  m_heldBack.erase(id);
  for (auto timer = m_armed.begin(); timer != m_armed.end();) {
    if (timer->second == id) {
      (void)host::ui().KillTimer(timer->first, id);
      timer = m_armed.erase(timer);
    } else {
      ++timer;
    }
  }
}

void AddinTimers::KillAll() {
  for (const auto& [window, id] : m_armed) {
    (void)host::ui().KillTimer(window, id);
  }
  m_armed.clear();
  m_heldBack.clear();
}

}  // namespace tp
