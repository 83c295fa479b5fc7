// A small synchronous HTTP/1.1 client for the background workers: every request opens and
// closes its own Internet, connection and request handles. Transport failures throw
// WinException; HTTP status codes are returned for the caller to compare with 200.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "host/threads.h"
#include "net/win_exception.h"

namespace tp {

class SimpleHTTPClient {
 public:
  virtual ~SimpleHTTPClient() = default;
  virtual int Get(const std::wstring& path, std::wstring& response) = 0;
};

class SimpleWinInetHTTPClient : public SimpleHTTPClient {
 public:
  static constexpr uint32_t kDefaultTimeoutMs = 25000;
  // Responses are read into memory whole; a larger one fails the request.
  static constexpr size_t kDefaultLargestResponse = 32 * 1024 * 1024;
  static constexpr uint32_t kRequestFlags = 0x806c4200;  // reload, keep-alive, no redirect,
                                                         // cookies, auth or UI

  SimpleWinInetHTTPClient(std::wstring host, uint16_t port);

  // GET of `path` (relative to the server root, query included). `response` receives the
  // body text, or names the file to write the body to when m_downloadToFile is set.
  int Get(const std::wstring& path, std::wstring& response) override;
  // POST of the form parameters with "Content-Type:" + contentType.
  int Post(const std::wstring& path, const std::wstring& contentType, std::wstring& response);
  // Sets a form parameter; a name set again replaces its value.
  void AddFormParameter(const std::string& name, const std::string& value);

  // Tests and tools shorten the time-outs; the workers keep the default.
  void SetTimeoutMs(uint32_t timeoutMs) { m_timeoutMs = timeoutMs; }
  void SetLargestResponse(size_t bytes) { m_largestResponse = bytes; }
  // The worker's stop event: once it is set, no further send is tried and no more of the body
  // read; the request fails as cancelled ("Request abandoned"), so that a stopped worker lets
  // go of a slow answer.
  void SetStopEvent(std::shared_ptr<host::Event> stop) { m_stop = std::move(stop); }
  const std::string& post_body() const { return m_postBody; }

  std::wstring m_userAgentProduct = L"SimpleWinInetHTTPClient/0.1";
  bool m_downloadToFile = false;

 private:
  struct Exchange;

  int SendRequest(const std::wstring& path, bool isPost, const std::wstring& extraHeaders,
                  std::wstring& response);
  // Connects, sends and reads the answer into `response`; returns the status (0 when the
  // request failed before it was answered) and leaves any failure in `exchange`.
  int RunExchange(Exchange& exchange, const std::wstring& path, bool isPost,
                  const std::wstring& extraHeaders, std::wstring& response);
  bool Connect(Exchange& exchange) const;
  // Sends up to kSendAttempts times; a time-out is not retried.
  bool SendWithRetries(Exchange& exchange, const std::wstring& path, bool isPost,
                       const std::wstring& extraHeaders) const;
  // Reads the whole body; false when nothing of it is to be delivered.
  bool ReadBody(Exchange& exchange, std::string& body) const;
  // True, with the request failed as cancelled, once the stop event is set.
  bool Abandoned(Exchange& exchange) const;
  void BuildPostBody();
  std::wstring UserAgent() const;

  std::wstring m_host;
  uint16_t m_port;
  std::map<std::string, std::string> m_formParams;
  std::string m_postBody;
  uint32_t m_timeoutMs = kDefaultTimeoutMs;
  size_t m_largestResponse = kDefaultLargestResponse;
  std::shared_ptr<host::Event> m_stop;
};

}  // namespace tp
