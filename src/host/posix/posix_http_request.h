// One HTTP request on curl: Send performs the whole exchange and keeps the answer, which the
// header queries and reads then hand out as WinINet would.
#pragma once

#include <curl/curl.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "host/http.h"

namespace tp::host::posix {

// What an Internet handle passes down to its requests (WinINet's inherited options).
struct HttpSettings {
  std::string userAgent;
  uint32_t connectTimeoutMs = 60000;
  uint32_t sendTimeoutMs = 60000;
  uint32_t receiveTimeoutMs = 60000;
  size_t bodyCap = 0;  // the most body bytes kept; a longer answer fails its read beyond this
};

class PosixHttpRequest final : public HttpRequestHandle {
 public:
  // Null when curl cannot make an easy handle.
  static std::unique_ptr<PosixHttpRequest> Create(HttpSettings settings, std::string url,
                                                  bool post);
  ~PosixHttpRequest() override;
  PosixHttpRequest(const PosixHttpRequest&) = delete;
  PosixHttpRequest& operator=(const PosixHttpRequest&) = delete;

  bool Send(const std::wstring& headers, std::string_view body) override;
  bool QueryInfo(uint32_t query, std::wstring* value, uint32_t* bufferBytes) override;
  bool QueryDataAvailable(uint32_t* bytes) override;
  bool ReadFile(void* buffer, uint32_t size, uint32_t* read) override;

 private:
  // The answer of the last Send; usable once the header block has arrived.
  struct Response {
    bool headersComplete = false;
    std::string status;  // the status code's digits
    std::vector<std::pair<std::string, std::string>> headers;
    std::string body;
    size_t readPosition = 0;
    bool bodyCapped = false;  // the body went on beyond HttpSettings::bodyCap
    uint32_t endError = 0;    // the transfer broke off after the headers with this error
  };

  PosixHttpRequest(HttpSettings settings, std::string url, bool post, CURL* curl);
  // Sets the options for one exchange; false when curl refuses one.
  bool Configure(curl_slist* headers);
  // Runs the transfer, ending it after the send or receive time-out of idleness. Returns 0 or
  // the WinINet error the transfer ended with.
  uint32_t Transfer();
  const std::string* FindHeader(std::string_view name) const;

  static size_t OnHeader(char* data, size_t size, size_t count, void* self);
  static size_t OnBody(char* data, size_t size, size_t count, void* self);
  static int OnConnected(void* self, char*, char*, int, int);

  const HttpSettings m_settings;
  const std::string m_url;
  const bool m_post;
  CURL* const m_curl;
  std::string m_requestBody;
  bool m_connected = false;  // curl has a connection and is about to send
  uint64_t m_received = 0;   // header and body bytes of this exchange
  Response m_response;
};

}  // namespace tp::host::posix
