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
    id = m_nextSystemTimerId++;
  const uint32_t elapse = elapseMs < kUserTimerMinimum ? kUserTimerMinimum : elapseMs;
  m_timers[{window, id}] = Timer{elapse, m_clock.ElapsedMs() + elapse, m_nextSequence++};
  return window == 0 ? id : (id == 0 ? 1 : id);
}

bool SimUiThread::KillTimer(WindowHandle window, TimerId id) {
  return m_timers.erase({window, id}) != 0;
}

uint32_t SimUiThread::RegisterWindowMessage(const std::wstring& name) {
  const std::wstring key = ToLower(name);  // names compare without case
  auto found = m_messages.find(key);
  if (found != m_messages.end())
    return found->second;
  const uint32_t message = kFirstRegisteredMessage + static_cast<uint32_t>(m_messages.size());
  m_messages.emplace(key, message);
  return message;
}

bool SimUiThread::DestroyWindow(WindowHandle window) {
  const size_t before = m_windows.destroyed.size();
  if (!m_windows.Destroy(window))
    return false;
  // A window's timers go with it.
  const std::vector<WindowHandle> gone(m_windows.destroyed.begin() + static_cast<long>(before),
                                       m_windows.destroyed.end());
  for (auto timer = m_timers.begin(); timer != m_timers.end();) {
    const bool windowGone = std::find(gone.begin(), gone.end(), timer->first.first) != gone.end();
    timer = windowGone ? m_timers.erase(timer) : std::next(timer);
  }
  return true;
}

WindowHandle SimUiThread::CreateWindow(const std::wstring& className) {
  return m_windows.Create(className, 0, kTopLevelRect);
}

void SimUiThread::Post(uint32_t delayMs, std::function<void()> task) {
  m_tasks.push_back(Task{m_clock.ElapsedMs() + delayMs, m_nextSequence++, std::move(task)});
}

void SimUiThread::Advance(uint64_t ms) {
  const uint64_t target = m_clock.ElapsedMs() + ms;
  for (;;) {
    auto timer = m_timers.end();
    for (auto candidate = m_timers.begin(); candidate != m_timers.end(); ++candidate) {
      if (candidate->second.dueMs > target)
        continue;
      if (timer == m_timers.end() || candidate->second.dueMs < timer->second.dueMs ||
          (candidate->second.dueMs == timer->second.dueMs &&
           candidate->second.sequence < timer->second.sequence)) {
        timer = candidate;
      }
    }
    auto task = m_tasks.end();
    for (auto candidate = m_tasks.begin(); candidate != m_tasks.end(); ++candidate) {
      if (candidate->dueMs > target)
        continue;
      if (task == m_tasks.end() || candidate->dueMs < task->dueMs ||
          (candidate->dueMs == task->dueMs && candidate->sequence < task->sequence)) {
        task = candidate;
      }
    }
    const bool timerFirst =
        timer != m_timers.end() &&
        (task == m_tasks.end() || timer->second.dueMs < task->dueMs ||
         (timer->second.dueMs == task->dueMs && timer->second.sequence < task->sequence));
    if (timerFirst) {
      const Key key = timer->first;
      m_clock.AdvanceTo(timer->second.dueMs);
      // A window timer repeats until it is killed, like WM_TIMER; re-arm before the callback
      // so that a callback that arms it again wins.
      timer->second.dueMs = m_clock.ElapsedMs() + timer->second.elapseMs;
      timer->second.sequence = m_nextSequence++;
      if (m_procedure != nullptr)
        m_procedure(key.first, kWmTimer, key.second, m_clock.TickCount());
    } else if (task != m_tasks.end()) {
      m_clock.AdvanceTo(std::max(task->dueMs, m_clock.ElapsedMs()));
      std::function<void()> work = std::move(task->work);
      m_tasks.erase(task);
      work();
    } else {
      break;
    }
  }
  m_clock.AdvanceTo(target);
}

std::vector<SimUiThread::PendingTimer> SimUiThread::PendingTimers() const {
  std::vector<PendingTimer> pending;
  for (const auto& [key, timer] : m_timers) {
    pending.push_back(PendingTimer{key.first, key.second, timer.elapseMs, timer.dueMs});
  }
  return pending;
}

bool SimUiThread::HasTimer(WindowHandle window, TimerId id) const {
  return m_timers.count({window, id}) != 0;
}

int64_t SimUiThread::TimeUntil(WindowHandle window, TimerId id) const {
  auto found = m_timers.find({window, id});
  if (found == m_timers.end())
    return -1;
  return static_cast<int64_t>(found->second.dueMs - m_clock.ElapsedMs());
}

}  // namespace tp::host::sim
