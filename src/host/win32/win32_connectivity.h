// Connectivity port on WinINet.
#pragma once

#include "host/connectivity.h"

namespace tp::host::win32 {

class Win32Connectivity final : public Connectivity {
 public:
  void CheckConnection(const std::wstring& url) override;
  bool GetConnectedState(uint32_t* flags) override;
};

}  // namespace tp::host::win32
