// A simulated connection to the Internet: a switch the test or the tool turns, and a record of
// the probes the add-in made.
#pragma once

#include <string>
#include <vector>

#include "host/connectivity.h"

namespace tp::host::sim {

class SimConnectivity final : public Connectivity {
 public:
  void CheckConnection(const std::wstring& url) override { probes.push_back(url); }
  bool GetConnectedState(uint32_t* flags) override {
    ++stateQueries;
    if (stateCallFails)
      return false;
    *flags = online ? 0x01 : kInternetConnectionOffline;  // INTERNET_CONNECTION_MODEM or offline
    return true;
  }

  bool online = true;
  bool stateCallFails = false;  // InternetGetConnectedState answers FALSE
  std::vector<std::wstring> probes;
  int stateQueries = 0;
};

}  // namespace tp::host::sim
