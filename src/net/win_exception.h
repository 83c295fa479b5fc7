// The network layer's exception: a Win32 (WinINet) error code, where it happened, and the
// composed message that callers log.
#pragma once

#include <cstdint>
#include <string>

namespace tp {

class WinException {
 public:
  // An error code of 0 takes the calling thread's last error.
  WinException(const wchar_t* location, uint32_t errorCode);
  virtual ~WinException() = default;
  WinException(const WinException&) = default;
  WinException& operator=(const WinException&) = default;

  // The system's text for the code (or "Error " and the code), "(" code ")", " at " location.
  const std::wstring& message() const { return m_message; }
  uint32_t error_code() const { return m_errorCode; }
  const wchar_t* location() const { return m_location; }

 private:
  std::wstring m_message;
  uint32_t m_errorCode;
  const wchar_t* m_location;  // a string literal
};

}  // namespace tp
