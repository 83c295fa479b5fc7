// A simulated user-interface thread: windows, registered messages and window timers that run
// on the simulated clock. Advance() moves the clock and runs each due timer, in (deadline,
// arming order) order, with the clock standing at that timer's deadline.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "host/sim/sim_clock.h"
#include "host/ui.h"

namespace tp::host::sim {

class SimUiThread final : public UiThread {
 public:
  explicit SimUiThread(SimClock& clock) : clock_(clock) {}

  TimerId SetTimer(WindowHandle window, TimerId id, uint32_t elapseMs) override;
  bool KillTimer(WindowHandle window, TimerId id) override;
  uint32_t RegisterWindowMessage(const std::wstring& name) override;
  bool DestroyWindow(WindowHandle window) override;
  bool IsWindow(WindowHandle window) override { return windows_.count(window) != 0; }
  uintptr_t ShowWaitCursor() override {
    ++waitCursorShown;
    const uintptr_t previous = cursor_;
    cursor_ = kWaitCursor;
    return previous;
  }
  void RestoreCursor(uintptr_t previous) override { cursor_ = previous; }
  static constexpr uintptr_t kArrowCursor = 1;
  static constexpr uintptr_t kWaitCursor = 2;
  uintptr_t cursor() const { return cursor_; }
  int waitCursorShown = 0;

  WindowHandle CreateWindow(const std::wstring& name);
  void Advance(uint64_t ms);

  struct PendingTimer {
    WindowHandle window;
    TimerId id;
    uint32_t elapseMs;
    uint64_t dueMs;  // on the clock's elapsed scale
  };
  std::vector<PendingTimer> PendingTimers() const;
  bool HasTimer(WindowHandle window, TimerId id) const;
  // Milliseconds until the timer fires, or -1 when it is not armed.
  int64_t TimeUntil(WindowHandle window, TimerId id) const;
  const std::vector<WindowHandle>& DestroyedWindows() const { return destroyed_; }

 private:
  struct Timer {
    uint32_t elapseMs;
    uint64_t dueMs;
    uint64_t sequence;
  };
  using Key = std::pair<WindowHandle, TimerId>;

  SimClock& clock_;
  uintptr_t cursor_ = kArrowCursor;
  std::map<Key, Timer> timers_;
  std::set<WindowHandle> windows_;
  std::vector<WindowHandle> destroyed_;
  std::map<std::wstring, uint32_t> messages_;
  uint64_t nextSequence_ = 1;
  WindowHandle nextWindow_ = 0x10010;
  TimerId nextSystemTimerId_ = 0x7FF0;
};

}  // namespace tp::host::sim
