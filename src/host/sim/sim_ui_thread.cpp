// The simulated user-interface thread.
#include "host/sim/sim_ui_thread.h"

#include <algorithm>

#include "base/text.h"

namespace tp::host::sim {
namespace {
constexpr uint32_t kUserTimerMinimum = 10;  // USER_TIMER_MINIMUM
constexpr uint32_t kFirstRegisteredMessage = 0xC000;
const Rect kTopLevelRect{0, 0, 1280, 800};
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
  const size_t before = windows_.destroyed.size();
  if (!windows_.Destroy(window))
    return false;
  // A window's timers go with it.
  const std::vector<WindowHandle> gone(windows_.destroyed.begin() + static_cast<long>(before),
                                       windows_.destroyed.end());
  for (auto timer = timers_.begin(); timer != timers_.end();) {
    const bool windowGone = std::find(gone.begin(), gone.end(), timer->first.first) != gone.end();
    timer = windowGone ? timers_.erase(timer) : std::next(timer);
  }
  return true;
}

WindowHandle SimUiThread::CreateWindow(const std::wstring& className) {
  return windows_.Create(className, 0, kTopLevelRect);
}

void SimUiThread::Post(uint32_t delayMs, std::function<void()> task) {
  tasks_.push_back(Task{clock_.ElapsedMs() + delayMs, nextSequence_++, std::move(task)});
}

void SimUiThread::Advance(uint64_t ms) {
  const uint64_t target = clock_.ElapsedMs() + ms;
  for (;;) {
    auto timer = timers_.end();
    for (auto candidate = timers_.begin(); candidate != timers_.end(); ++candidate) {
      if (candidate->second.dueMs > target)
        continue;
      if (timer == timers_.end() || candidate->second.dueMs < timer->second.dueMs ||
          (candidate->second.dueMs == timer->second.dueMs &&
           candidate->second.sequence < timer->second.sequence)) {
        timer = candidate;
      }
    }
    auto task = tasks_.end();
    for (auto candidate = tasks_.begin(); candidate != tasks_.end(); ++candidate) {
      if (candidate->dueMs > target)
        continue;
      if (task == tasks_.end() || candidate->dueMs < task->dueMs ||
          (candidate->dueMs == task->dueMs && candidate->sequence < task->sequence)) {
        task = candidate;
      }
    }
    const bool timerFirst =
        timer != timers_.end() &&
        (task == tasks_.end() || timer->second.dueMs < task->dueMs ||
         (timer->second.dueMs == task->dueMs && timer->second.sequence < task->sequence));
    if (timerFirst) {
      const Key key = timer->first;
      clock_.AdvanceTo(timer->second.dueMs);
      // A window timer repeats until it is killed, like WM_TIMER; re-arm before the callback
      // so that a callback that arms it again wins.
      timer->second.dueMs = clock_.ElapsedMs() + timer->second.elapseMs;
      timer->second.sequence = nextSequence_++;
      if (procedure_ != nullptr)
        procedure_(key.first, kWmTimer, key.second, clock_.TickCount());
    } else if (task != tasks_.end()) {
      clock_.AdvanceTo(std::max(task->dueMs, clock_.ElapsedMs()));
      std::function<void()> work = std::move(task->work);
      tasks_.erase(task);
      work();
    } else {
      break;
    }
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
