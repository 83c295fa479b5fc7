// Events and threads on posix.
#include "host/posix/posix_threads.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace tp::host::posix {
namespace {

class PosixEvent final : public Event {
 public:
  explicit PosixEvent(bool manualReset) : m_manualReset(manualReset) {}

  void Set() override {
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      m_signaled = true;
    }
    if (m_manualReset) {
      m_changed.notify_all();
    } else {
      m_changed.notify_one();
    }
  }

  void Reset() override {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_signaled = false;
  }

  WaitResult Wait(uint32_t timeoutMs) override {
    std::unique_lock<std::mutex> lock(m_mutex);
    const auto isSet = [this] { return m_signaled; };
    if (timeoutMs == kInfinite) {
      m_changed.wait(lock, isSet);
    } else if (!m_changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), isSet)) {
      return WaitResult::kTimeout;
    }
    if (!m_manualReset)
      m_signaled = false;
    return WaitResult::kSignaled;
  }

 private:
  const bool m_manualReset;
  std::mutex m_mutex;
  std::condition_variable m_changed;
  bool m_signaled = false;
};

// std::thread has no timed join: the body reports its end through shared state, and a
// thread that has not ended when its owner lets go is detached.
class PosixThread final : public Thread {
 public:
  explicit PosixThread(std::function<void()> body) : m_state(std::make_shared<State>()) {
    m_thread = std::thread([state = m_state, body = std::move(body)] {
      body();
      std::lock_guard<std::mutex> lock(state->mutex);
      state->ended = true;
      state->changed.notify_all();
    });
  }

  ~PosixThread() override {
    if (!m_thread.joinable())
      return;
    if (Join(0))
      return;
    m_thread.detach();
  }

  bool Join(uint32_t timeoutMs) override {
    if (!m_thread.joinable())
      return true;
    {
      std::unique_lock<std::mutex> lock(m_state->mutex);
      const auto ended = [this] { return m_state->ended; };
      if (timeoutMs == kInfinite) {
        m_state->changed.wait(lock, ended);
      } else if (!m_state->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), ended)) {
        return false;
      }
    }
    m_thread.join();
    return true;
  }

 private:
  struct State {
    std::mutex mutex;
    std::condition_variable changed;
    bool ended = false;
  };
  std::shared_ptr<State> m_state;
  std::thread m_thread;
};

}  // namespace

std::shared_ptr<Event> PosixThreads::CreateEvent(bool manualReset) {
  return std::make_shared<PosixEvent>(manualReset);
}

std::unique_ptr<Thread> PosixThreads::StartThread(std::function<void()> body) {
  return std::make_unique<PosixThread>(std::move(body));
}

uint32_t PosixThreads::CurrentThreadId() {
  return static_cast<uint32_t>(::syscall(SYS_gettid));
}

}  // namespace tp::host::posix
