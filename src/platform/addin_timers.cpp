// Arming the add-in's timers on the explorer window.
#include "platform/addin_timers.h"

#include "host/clock.h"
#include "host/host.h"

namespace tp {

void AddinTimers::SetOwner(host::WindowHandle window) {
  owner_ = window;
  if (owner_ == 0)
    return;
  const uint32_t now = host::clock().TickCount();
  const auto pending = std::move(heldBack_);
  heldBack_.clear();
  for (const auto& [id, timer] : pending) {
    const uint32_t waited = host::TicksSince(now, timer.armedAtTick);
    Arm(id, waited >= timer.delayMs ? 0 : timer.delayMs - waited);
  }
}

void AddinTimers::Arm(host::TimerId id, uint32_t delayMs) {
  if (owner_ == 0) {
    heldBack_[id] = HeldBack{delayMs, host::clock().TickCount()};
    return;
  }
  if (host::ui().SetTimer(owner_, id, delayMs) != 0)
    armed_.emplace(owner_, id);
}

void AddinTimers::Kill(host::TimerId id) {
  heldBack_.erase(id);
  for (auto timer = armed_.begin(); timer != armed_.end();) {
    if (timer->second == id) {
      (void)host::ui().KillTimer(timer->first, id);
      timer = armed_.erase(timer);
    } else {
      ++timer;
    }
  }
}

void AddinTimers::KillAll() {
  for (const auto& [window, id] : armed_) {
    (void)host::ui().KillTimer(window, id);
  }
  armed_.clear();
  heldBack_.clear();
}

}  // namespace tp
