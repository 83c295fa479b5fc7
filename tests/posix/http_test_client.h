// Test helpers: requests through the posix HTTP port to a stand-in, and raw loopback sockets.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "host/http.h"
#include "host/posix/posix_http.h"

namespace tp::testing {

struct Timeouts {
  uint32_t connectMs = 25000;
  uint32_t sendMs = 25000;
  uint32_t receiveMs = 25000;
};

// The calls the add-in's client makes, on one transport, to one server.
class HttpTestClient {
 public:
  HttpTestClient(host::HttpTransport& transport, std::wstring host, uint16_t port,
                 Timeouts timeouts = {});

  // InternetOpen, the time-outs, InternetConnect and HttpOpenRequest.
  std::unique_ptr<host::HttpRequestHandle> Open(const std::wstring& verb, const std::wstring& path);
  // Open and Send with no headers and no body; null when either fails.
  std::unique_ptr<host::HttpRequestHandle> Get(const std::wstring& path);

  // HttpQueryInfo into a 2048-byte buffer; "<error N>" when it fails.
  std::wstring Query(host::HttpRequestHandle& request, uint32_t query);

  // The body as the client reads it: available bytes, then a read of that many, until a read
  // gives nothing. `failure` gets 0, or the error of the first failing call, named in `where`.
  struct Body {
    std::string bytes;
    uint32_t error = 0;
    std::string where;  // "QueryDataAvailable" or "ReadFile"
  };
  Body ReadBody(host::HttpRequestHandle& request);

  host::HttpTransport& transport() { return m_transport; }

 private:
  host::HttpTransport& m_transport;
  const std::wstring m_host;
  const uint16_t m_port;
  const Timeouts m_timeouts;
  std::unique_ptr<host::InternetHandle> m_internet;
  std::unique_ptr<host::HttpConnectionHandle> m_connection;
};

// A loopback port with nothing listening on it (bound, then released).
uint16_t ClosedLoopbackPort();

// Sends `bytes` to 127.0.0.1:port and returns everything received until the peer closes.
std::string RawExchange(uint16_t port, const std::string& bytes);

}  // namespace tp::testing
