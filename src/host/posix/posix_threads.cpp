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
  explicit PosixEvent(bool manualReset) : manualReset_(manualReset) {}

  void Set() override {
    {
      std::lock_guard<std::mutex> lock(mutex_);
      signaled_ = true;
    }
    if (manualReset_) {
      changed_.notify_all();
    } else {
      changed_.notify_one();
    }
  }

  void Reset() override {
    std::lock_guard<std::mutex> lock(mutex_);
    signaled_ = false;
  }

  WaitResult Wait(uint32_t timeoutMs) override {
    std::unique_lock<std::mutex> lock(mutex_);
    const auto isSet = [this] { return signaled_; };
    if (timeoutMs == kInfinite) {
      changed_.wait(lock, isSet);
    } else if (!changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), isSet)) {
      return WaitResult::kTimeout;
    }
    if (!manualReset_)
      signaled_ = false;
    return WaitResult::kSignaled;
  }

 private:
  const bool manualReset_;
  std::mutex mutex_;
  std::condition_variable changed_;
  bool signaled_ = false;
};

// std::thread has no timed join: the body reports its end through shared state, and a
// thread that has not ended when its owner lets go is detached.
class PosixThread final : public Thread {
 public:
  explicit PosixThread(std::function<void()> body) : state_(std::make_shared<State>()) {
    thread_ = std::thread([state = state_, body = std::move(body)] {
      body();
      std::lock_guard<std::mutex> lock(state->mutex);
      state->ended = true;
      state->changed.notify_all();
    });
  }

  ~PosixThread() override {
    if (!thread_.joinable())
      return;
    if (Join(0))
      return;
    thread_.detach();
  }

  bool Join(uint32_t timeoutMs) override {
    if (!thread_.joinable())
      return true;
    {
      std::unique_lock<std::mutex> lock(state_->mutex);
      const auto ended = [this] { return state_->ended; };
      if (timeoutMs == kInfinite) {
        state_->changed.wait(lock, ended);
      } else if (!state_->changed.wait_for(lock, std::chrono::milliseconds(timeoutMs), ended)) {
        return false;
      }
    }
    thread_.join();
    return true;
  }

 private:
  struct State {
    std::mutex mutex;
    std::condition_variable changed;
    bool ended = false;
  };
  std::shared_ptr<State> state_;
  std::thread thread_;
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
