// HTTP transport port on posix, over libcurl: WinINet's handles, time-outs and error codes.
#pragma once

#include <cstddef>

#include "host/http.h"

namespace tp::host::posix {

class PosixHttpTransport final : public HttpTransport {
 public:
  // Answers longer than this are cut there and their read fails with ERROR_NOT_ENOUGH_MEMORY,
  // so that a runaway server cannot exhaust memory.
  static constexpr size_t kDefaultBodyCap = size_t{64} << 20;

  explicit PosixHttpTransport(size_t bodyCap = kDefaultBodyCap) : m_bodyCap(bodyCap) {}

  std::unique_ptr<InternetHandle> Open(const std::wstring& userAgent) override;
  uint32_t LastError() override;
  // A 64-bit Windows 10 or 11 process (both report 10.0), the agent today's Outlook sends.
  OsVersion GetOsVersion() override { return OsVersion{10, 0, false}; }
  std::optional<std::wstring> SystemMessage(uint32_t code) override;
  std::optional<std::string> CanonicalizeUrl(std::string_view value, uint32_t bufferBytes) override;

 private:
  const size_t m_bodyCap;
};

}  // namespace tp::host::posix
