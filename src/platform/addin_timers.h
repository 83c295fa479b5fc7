// The add-in's one-shot timers, all owned by the active explorer window. Timers armed before
// that window is known are held back and armed on it, with what remains of their delay, as
// soon as it is known; arming an id again replaces its pending timer.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <utility>

#include "host/ui.h"

namespace tp {

class AddinTimers {
 public:
  host::WindowHandle owner() const { return m_owner; }
  // Learns (or forgets, with 0) the owner window; held-back timers are armed on it.
  void SetOwner(host::WindowHandle window);
  void Arm(host::TimerId id, uint32_t delayMs);
  // Kills a pending timer (armed or held back).
  void Kill(host::TimerId id);
  bool IsHeldBack(host::TimerId id) const { return m_heldBack.count(id) != 0; }
  // Kills every timer armed and forgets the held-back ones (at quit): a timer left armed
  // could fire after Outlook has unloaded the add-in.
  void KillAll();

 private:
  struct HeldBack {
    uint32_t delayMs;
    uint32_t armedAtTick;
  };
  host::WindowHandle m_owner = 0;
  std::map<host::TimerId, HeldBack> m_heldBack;
  // Every (window, id) armed; some may have fired since.
  std::set<std::pair<host::WindowHandle, host::TimerId>> m_armed;
};

}  // namespace tp
