// The simulated user-interface thread.
#include "host/sim/sim_ui_thread.h"

#include "addin/timer_proc.h"
#include "support/text.h"

namespace tp::host::sim {
namespace {
constexpr uint32_t kWmTimer = 0x0113;
constexpr uint32_t kUserTimerMinimum = 10;  // USER_TIMER_MINIMUM
constexpr uint32_t kFirstRegisteredMessage = 0xC000;
}  // namespace

TimerId SimUiThread::SetTimer(WindowHandle window, TimerId id, uint32_t elapseMs) {
  if (window != 0 && !IsWindow(window))
    return 0;
  if (window == 0)
    id = nextSystemTimerId_++;
  const uint32_t elapse = elapseMs < kUserTimerMinimum ? kUserTimerMinimum : elapseMs;
  timers_[{window, id}] = Timer{elapse, clock_.ElapsedMs() + elapse, nextSequence_++};
  return window == 0 ? id : (id == 0 ? 1 : id);
}

bool SimUiThread::KillTimer(WindowHandle window, TimerId id) {
  return timers_.erase({window, id}) != 0;
}

uint32_t SimUiThread::RegisterWindowMessage(const std::wstring& name) {
  const std::wstring key = ToLower(name);  // names compare without case
  auto found = messages_.find(key);
  if (found != messages_.end())
    return found->second;
  const uint32_t message = kFirstRegisteredMessage + static_cast<uint32_t>(messages_.size());
  messages_.emplace(key, message);
  return message;
}

bool SimUiThread::DestroyWindow(WindowHandle window) {
  if (windows_.erase(window) == 0)
    return false;
  destroyed_.push_back(window);
  for (auto timer = timers_.begin(); timer != timers_.end();) {
    timer = timer->first.first == window ? timers_.erase(timer) : std::next(timer);
  }
  return true;
}

WindowHandle SimUiThread::CreateWindow(const std::wstring& /*name*/) {
  const WindowHandle window = nextWindow_;
  nextWindow_ += 0x10;
  windows_.insert(window);
  return window;
}

void SimUiThread::Advance(uint64_t ms) {
  const uint64_t target = clock_.ElapsedMs() + ms;
  for (;;) {
    auto next = timers_.end();
    for (auto timer = timers_.begin(); timer != timers_.end(); ++timer) {
      if (timer->second.dueMs > target)
        continue;
      if (next == timers_.end() || timer->second.dueMs < next->second.dueMs ||
          (timer->second.dueMs == next->second.dueMs &&
           timer->second.sequence < next->second.sequence)) {
        next = timer;
      }
    }
    if (next == timers_.end())
      break;
    const Key key = next->first;
    clock_.AdvanceTo(next->second.dueMs);
    // A window timer repeats until it is killed, like WM_TIMER; re-arm before the callback
    // so that a callback that arms it again wins.
    next->second.dueMs = clock_.ElapsedMs() + next->second.elapseMs;
    next->second.sequence = nextSequence_++;
    TimerProc(key.first, kWmTimer, key.second, clock_.TickCount());
  }
  clock_.AdvanceTo(target);
}

std::vector<SimUiThread::PendingTimer> SimUiThread::PendingTimers() const {
  std::vector<PendingTimer> pending;
  for (const auto& [key, timer] : timers_) {
    pending.push_back(PendingTimer{key.first, key.second, timer.elapseMs, timer.dueMs});
  }
  return pending;
}

bool SimUiThread::HasTimer(WindowHandle window, TimerId id) const {
  return timers_.count({window, id}) != 0;
}

int64_t SimUiThread::TimeUntil(WindowHandle window, TimerId id) const {
  auto found = timers_.find({window, id});
  if (found == timers_.end())
    return -1;
  return static_cast<int64_t>(found->second.dueMs - clock_.ElapsedMs());
}

}  // namespace tp::host::sim
