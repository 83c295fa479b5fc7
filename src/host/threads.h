// Threads port: events, worker threads and thread identity.
#pragma once

#include <cstdint>
#include <functional>
#include <memory>

namespace tp::host {

constexpr uint32_t kInfinite = 0xFFFFFFFF;

enum class WaitResult { kSignaled, kTimeout, kFailed };

class Event {
 public:
  virtual ~Event() = default;
  virtual void Set() = 0;
  virtual void Reset() = 0;
  // Waits up to timeoutMs (kInfinite: no limit). An auto-reset event is reset by the wait
  // that sees it signalled.
  virtual WaitResult Wait(uint32_t timeoutMs) = 0;
};

class Thread {
 public:
  // Destroying a thread that is still running lets it run on to its end (detached); whatever
  // it uses must therefore be owned jointly with it, never borrowed.
  virtual ~Thread() = default;
  // Waits up to timeoutMs for the thread to end; true when it has ended.
  virtual bool Join(uint32_t timeoutMs) = 0;
};

class Threads {
 public:
  virtual ~Threads() = default;
  // Events are shared so that a worker that outlives its owner can still wait on its own.
  virtual std::shared_ptr<Event> CreateEvent(bool manualReset) = 0;
  virtual std::unique_ptr<Thread> StartThread(std::function<void()> body) = 0;
  virtual uint32_t CurrentThreadId() = 0;
};

}  // namespace tp::host
