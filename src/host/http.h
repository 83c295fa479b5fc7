// HTTP transport port: the WinINet calls the add-in's HTTP client makes, one object per
// handle. Failing calls return false and leave their error code (WinINet's numbering) as the
// calling thread's last error, read with HttpTransport::LastError.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace tp::host {

// WinINet error codes the client and its callers rely on.
constexpr uint32_t kErrorInsufficientBuffer = 122;
constexpr uint32_t kErrorInternetTimeout = 12002;
constexpr uint32_t kErrorInternetOperationCancelled = 12017;
constexpr uint32_t kErrorInternetNameNotResolved = 12007;
constexpr uint32_t kErrorInternetCannotConnect = 12029;
constexpr uint32_t kErrorInternetConnectionAborted = 12030;
constexpr uint32_t kErrorInternetConnectionReset = 12031;
constexpr uint32_t kErrorHttpHeaderNotFound = 12150;

// InternetSetOptionW time-out options.
enum class InternetTimeout : uint32_t {
  kConnect = 2,
  kSend = 5,
  kReceive = 6,
  kDataSend = 7,
  kDataReceive = 8,
};

// HttpQueryInfoW queries.
constexpr uint32_t kQueryContentType = 1;
constexpr uint32_t kQueryContentLength = 5;
constexpr uint32_t kQueryStatusCode = 19;

class HttpRequestHandle {
 public:
  virtual ~HttpRequestHandle() = default;  // InternetCloseHandle
  // HttpSendRequestW: the extra headers (may be empty) and the body.
  virtual bool Send(const std::wstring& headers, std::string_view body) = 0;
  // HttpQueryInfoW into a buffer of *bufferBytes bytes. When the buffer is too small: false,
  // last error kErrorInsufficientBuffer and *bufferBytes set to the size needed. A header the
  // response lacks: false with kErrorHttpHeaderNotFound.
  virtual bool QueryInfo(uint32_t query, std::wstring* value, uint32_t* bufferBytes) = 0;
  virtual bool QueryDataAvailable(uint32_t* bytes) = 0;
  virtual bool ReadFile(void* buffer, uint32_t size, uint32_t* read) = 0;
};

class HttpConnectionHandle {
 public:
  virtual ~HttpConnectionHandle() = default;
  // HttpOpenRequestW with the default HTTP version, no referrer and no accept types.
  virtual std::unique_ptr<HttpRequestHandle> OpenRequest(const std::wstring& verb,
                                                         const std::wstring& path,
                                                         uint32_t flags) = 0;
};

class InternetHandle {
 public:
  virtual ~InternetHandle() = default;
  virtual bool SetTimeout(InternetTimeout option, uint32_t milliseconds) = 0;
  // InternetConnectW for the HTTP service, without user or password.
  virtual std::unique_ptr<HttpConnectionHandle> Connect(const std::wstring& host,
                                                        uint16_t port) = 0;
};

struct OsVersion {
  uint32_t major = 0;
  uint32_t minor = 0;
  bool wow64 = false;  // a 32-bit process on 64-bit Windows
};

class HttpTransport {
 public:
  virtual ~HttpTransport() = default;
  // InternetOpenW with the preconfigured proxy settings.
  virtual std::unique_ptr<InternetHandle> Open(const std::wstring& userAgent) = 0;
  // The calling thread's last error (GetLastError).
  virtual uint32_t LastError() = 0;
  // GetVersionExW and IsWow64Process, for the user agent.
  virtual OsVersion GetOsVersion() = 0;
  // FormatMessageW's system text for an error code, when it has one.
  virtual std::optional<std::wstring> SystemMessage(uint32_t code) = 0;
  // InternetCanonicalizeUrlA with percent signs encoded too, into a buffer of bufferBytes;
  // empty when the result does not fit.
  virtual std::optional<std::string> CanonicalizeUrl(std::string_view value,
                                                     uint32_t bufferBytes) = 0;
};

}  // namespace tp::host
