// Whether the machine is online, from WinINet.
#include "host/win32/win32_connectivity.h"

#include "host/win32/win32_api.h"

// clang-format off
#include <wininet.h>
// clang-format on

namespace tp::host::win32 {

void Win32Connectivity::CheckConnection(const std::wstring& url) {
  (void)::InternetCheckConnectionW(url.c_str(), FLAG_ICC_FORCE_CONNECTION, 0);
}

bool Win32Connectivity::GetConnectedState(uint32_t* flags) {
  DWORD state = 0;
  if (!::InternetGetConnectedState(&state, 0))
    return false;
  *flags = state;
  return true;
}

}  // namespace tp::host::win32
