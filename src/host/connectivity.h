// Connectivity port: whether the machine is online, as WinINet tells it.
#pragma once

#include <cstdint>
#include <string>

namespace tp::host {

constexpr uint32_t kInternetConnectionOffline = 0x20;  // INTERNET_CONNECTION_OFFLINE

class Connectivity {
 public:
  virtual ~Connectivity() = default;
  // InternetCheckConnectionW with FLAG_ICC_FORCE_CONNECTION: dials or wakes the connection
  // when it can; its answer is not used. It may block for a TCP time-out: called from a worker.
  virtual void CheckConnection(const std::wstring& url) = 0;
  // InternetGetConnectedState: true with the connection flags when the call succeeds.
  virtual bool GetConnectedState(uint32_t* flags) = 0;
};

}  // namespace tp::host
