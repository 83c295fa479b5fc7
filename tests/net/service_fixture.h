// A simulated host whose services are the stand-in on loopback, with the means to hold a
// request in flight and to wait for every worker a test started, detached ones included.
#pragma once

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "host/host.h"
#include "standin/standin_server.h"
#include "support/test_host.h"

namespace tp::testing {

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
  std::mutex m_mutex;
  std::condition_variable m_changed;
  bool m_open = true;
  std::chrono::milliseconds m_limit{0};
  int m_arrivals = 0;
  int m_held = 0;
};

class ServiceTest : public SimHostTest {
 protected:
  static constexpr std::chrono::milliseconds kPatience{20000};

  ServiceTest();
  // Opens the gate and stops the stand-in, so that the workers the test started end.
  ~ServiceTest() override;

  // Waits for every worker started so far to end, everything it owned released; false after
  // kPatience.
  static bool WaitForWorkers() {
    return host::WaitForWorkers(static_cast<uint32_t>(kPatience.count()));
  }
  static int RunningWorkers() { return host::RunningWorkers(); }
  // Whether the log holds this message, ended by a line break. Messages are matched within
  // lines: a system message in an error text has line breaks of its own.
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
};

}  // namespace tp::testing
