// A simulated user-interface thread: registered messages, window timers and posted work that
// run on the simulated clock, over a simulated window tree. Advance() moves the clock and runs
// each due timer and posted task, in (deadline, arming order) order, with the clock standing
// at its deadline.
#pragma once

#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "host/sim/sim_clock.h"
#include "host/sim/sim_windows.h"
#include "host/ui.h"

namespace tp::host::sim {

class SimUiThread final : public UiThread {
 public:
  SimUiThread(SimClock& clock, SimWindowTree& windows) : m_clock(clock), m_windows(windows) {}

  void SetTimerProcedure(TimerProcedure procedure) override { m_procedure = procedure; }
  TimerId SetTimer(WindowHandle window, TimerId id, uint32_t elapseMs) override;
  bool KillTimer(WindowHandle window, TimerId id) override;
  uint32_t RegisterWindowMessage(const std::wstring& name) override;
  bool DestroyWindow(WindowHandle window) override;
  bool IsWindow(WindowHandle window) override { return m_windows.Exists(window); }
  uintptr_t ShowWaitCursor() override {
    ++waitCursorShown;
    const uintptr_t previous = m_cursor;
    m_cursor = kWaitCursor;
    return previous;
  }
  void RestoreCursor(uintptr_t previous) override { m_cursor = previous; }
  static constexpr uintptr_t kArrowCursor = 1;
  static constexpr uintptr_t kWaitCursor = 2;
  uintptr_t cursor() const { return m_cursor; }
  int waitCursorShown = 0;

  // A top-level window of the class.
  WindowHandle CreateWindow(const std::wstring& className);
  void Advance(uint64_t ms);
  // Work that the thread's message loop runs `delayMs` from now (a posted message).
  void Post(uint32_t delayMs, std::function<void()> task);

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
  const std::vector<WindowHandle>& DestroyedWindows() const { return m_windows.destroyed; }

 private:
  struct Timer {
    uint32_t elapseMs;
    uint64_t dueMs;
    uint64_t sequence;
  };
  struct Task {
    uint64_t dueMs;
    uint64_t sequence;
    std::function<void()> work;
  };
  using Key = std::pair<WindowHandle, TimerId>;

  SimClock& m_clock;
  SimWindowTree& m_windows;
  TimerProcedure m_procedure = nullptr;
  uintptr_t m_cursor = kArrowCursor;
  std::map<Key, Timer> m_timers;
  std::vector<Task> m_tasks;
  std::map<std::wstring, uint32_t> m_messages;
  uint64_t m_nextSequence = 1;
  TimerId m_nextSystemTimerId = 0x7FF0;
};

}  // namespace tp::host::sim
