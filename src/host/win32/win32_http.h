// HTTP transport port on WinINet: each port object owns one WinINet handle.
#pragma once

#include "host/http.h"

namespace tp::host::win32 {

class Win32HttpTransport final : public HttpTransport {
 public:
  std::unique_ptr<InternetHandle> Open(const std::wstring& userAgent) override;
  uint32_t LastError() override;
  OsVersion GetOsVersion() override;
  std::optional<std::wstring> SystemMessage(uint32_t code) override;
  std::optional<std::string> CanonicalizeUrl(std::string_view value, uint32_t bufferBytes) override;
};

}  // namespace tp::host::win32
