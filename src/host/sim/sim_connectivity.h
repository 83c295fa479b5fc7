// A simulated connection to the Internet: a switch the test or the tool turns, and a record of
// the probes the add-in made (from its probe worker, so the record is guarded).
#pragma once

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "host/connectivity.h"

namespace tp::host::sim {

class SimConnectivity final : public Connectivity {
 public:
  void CheckConnection(const std::wstring& url) override {
    std::lock_guard<std::mutex> lock(m_mutex);
    m_probes.push_back(url);
    m_probed.notify_all();
  }
  bool GetConnectedState(uint32_t* flags) override {
    ++stateQueries;
    if (stateCallFails)
      return false;
    *flags = online ? 0x01 : kInternetConnectionOffline;  // INTERNET_CONNECTION_MODEM or offline
    return true;
  }

  std::vector<std::wstring> Probes() {
    std::lock_guard<std::mutex> lock(m_mutex);
    return m_probes;
  }
  // True once `count` probes were made; false after `limit` (real time: they run on a worker).
  bool WaitForProbes(size_t count, std::chrono::milliseconds limit) {
    std::unique_lock<std::mutex> lock(m_mutex);
    return m_probed.wait_for(lock, limit, [&] { return m_probes.size() >= count; });
  }

  bool online = true;
  bool stateCallFails = false;  // InternetGetConnectedState answers FALSE
  int stateQueries = 0;

 private:
  std::mutex m_mutex;
  std::condition_variable m_probed;
  std::vector<std::wstring> m_probes;
};

}  // namespace tp::host::sim
