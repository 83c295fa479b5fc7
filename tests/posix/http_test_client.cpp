// Test helpers over the posix HTTP port and plain sockets.
#include "http_test_client.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <vector>

namespace tp::testing {

HttpTestClient::HttpTestClient(host::HttpTransport& transport, std::wstring host, uint16_t port,
                               Timeouts timeouts)
    : m_transport(transport), m_host(std::move(host)), m_port(port), m_timeouts(timeouts) {}

std::unique_ptr<host::HttpRequestHandle> HttpTestClient::Open(const std::wstring& verb,
                                                              const std::wstring& path) {
  m_internet = m_transport.Open(L"Mozilla/5.0 (Windows NT 10.0) SimpleWinInetHTTPClient/0.1");
  if (m_internet == nullptr)
    return nullptr;
  (void)m_internet->SetTimeout(host::InternetTimeout::kConnect, m_timeouts.connectMs);
  (void)m_internet->SetTimeout(host::InternetTimeout::kDataSend, m_timeouts.sendMs);
  (void)m_internet->SetTimeout(host::InternetTimeout::kDataReceive, m_timeouts.receiveMs);
  (void)m_internet->SetTimeout(host::InternetTimeout::kSend, m_timeouts.sendMs);
  (void)m_internet->SetTimeout(host::InternetTimeout::kReceive, m_timeouts.receiveMs);
  m_connection = m_internet->Connect(m_host, m_port);
  if (m_connection == nullptr)
    return nullptr;
  return m_connection->OpenRequest(verb, path, 0x806c4200);
}

std::unique_ptr<host::HttpRequestHandle> HttpTestClient::Get(const std::wstring& path) {
  std::unique_ptr<host::HttpRequestHandle> request = Open(L"GET", path);
  if (request == nullptr || !request->Send(L"", ""))
    return nullptr;
  return request;
}

std::wstring HttpTestClient::Query(host::HttpRequestHandle& request, uint32_t query) {
  std::wstring value;
  uint32_t size = 2048;
  if (!request.QueryInfo(query, &value, &size)) {
    return L"<error " + std::to_wstring(m_transport.LastError()) + L">";
  }
  return value;
}

HttpTestClient::Body HttpTestClient::ReadBody(host::HttpRequestHandle& request) {
  Body body;
  std::vector<char> buffer;
  for (;;) {
    uint32_t available = 0;
    if (!request.QueryDataAvailable(&available)) {
      body.error = m_transport.LastError();
      body.where = "QueryDataAvailable";
      return body;
    }
    buffer.resize(available);
    uint32_t read = 0;
    if (!request.ReadFile(buffer.data(), available, &read)) {
      body.error = m_transport.LastError();
      body.where = "ReadFile";
      return body;
    }
    if (read == 0)
      return body;
    body.bytes.append(buffer.data(), read);
  }
}

uint16_t ClosedLoopbackPort() {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  ::close(fd);
  return ntohs(address.sin_port);
}

std::string RawExchange(uint16_t port, const std::string& bytes) {
  const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_port = htons(port);
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  std::string received;
  if (::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      ::send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(bytes.size())) {
    char buffer[4096];
    ssize_t got = 0;
    while ((got = ::recv(fd, buffer, sizeof buffer, 0)) > 0)
      received.append(buffer, got);
  }
  ::close(fd);
  return received;
}

}  // namespace tp::testing
