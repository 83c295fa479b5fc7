// A simulated host whose services are the stand-in on loopback, with the means to hold a
// request in flight and to wait for every worker a test started, detached ones included.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "host/threads.h"
#include "standin/standin_server.h"
#include "support/test_host.h"

namespace tp::testing {

// The platform's threads, counted so that a test can wait until all it started have ended.
class TrackedThreads final : public host::Threads {
 public:
  explicit TrackedThreads(host::Threads& real);

  std::shared_ptr<host::Event> CreateEvent(bool manualReset) override {
    return real_.CreateEvent(manualReset);
  }
  std::unique_ptr<host::Thread> StartThread(std::function<void()> body) override;
  uint32_t CurrentThreadId() override { return real_.CurrentThreadId(); }

  // True when every thread started so far has ended, everything it owned released.
  bool WaitForAll(std::chrono::milliseconds limit);
  int running();

 private:
  struct Count {
    std::mutex mutex;
    std::condition_variable ended;
    int running = 0;
  };
  host::Threads& real_;
  std::shared_ptr<Count> count_;
};

// While closed, the stand-in holds every request it has read before answering it, each for
// at most the limit given (so that a test that fails cannot hang).
class RequestGate {
 public:
  void Close(std::chrono::milliseconds limit);
  void Open();
  // Called on the stand-in's serving thread.
  void Pass();
  // True once `count` requests have arrived at the gate (held or not).
  bool WaitForArrivals(int count, std::chrono::milliseconds limit);
  // Requests held at this moment.
  int held();

 private:
  std::mutex mutex_;
  std::condition_variable changed_;
  bool open_ = true;
  std::chrono::milliseconds limit_{0};
  int arrivals_ = 0;
  int held_ = 0;
};

class ServiceTest : public SimHostTest {
 protected:
  static constexpr std::chrono::milliseconds kPatience{20000};

  ServiceTest();
  // Opens the gate, stops the stand-in and waits for every worker the test started.
  ~ServiceTest() override;

  // Waits for every worker started so far to end; false after kPatience.
  bool WaitForWorkers() { return threads_.WaitForAll(kPatience); }
  int RunningWorkers() { return threads_.running(); }
  // Whether the log holds this message, ended by a line break. Messages are matched within
  // lines because a few are written without their line end, and run into the next one.
  bool LogHas(const std::wstring& message) const;
  std::wstring LogText() const;
  // Polls `condition` until it holds; false after kPatience.
  static bool WaitUntil(const std::function<bool()>& condition);
  // The targets (path and query) of the requests the stand-in has served, oldest first.
  std::vector<std::string> Targets() const;
  // The registry cache value, empty when absent.
  static std::wstring Cached(const wchar_t* name);

  standin::StandinServer server;
  RequestGate gate;

 private:
  TrackedThreads threads_;
  std::unique_ptr<host::ScopedHost> tracked_;
};

}  // namespace tp::testing
