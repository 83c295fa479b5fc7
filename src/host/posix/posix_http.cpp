// The Internet and connection handles of the posix HTTP port: they only record settings; the
// request handle (posix_http_request) does the network work.
#include "host/posix/posix_http.h"

#include <curl/curl.h>

#include <mutex>

#include "base/text.h"
#include "host/posix/posix_http_errors.h"
#include "host/posix/posix_http_request.h"
#include "host/posix/posix_messages.h"
#include "host/posix/posix_url.h"

namespace tp::host::posix {
namespace {

constexpr uint16_t kDefaultHttpPort = 80;  // INTERNET_DEFAULT_HTTP_PORT, for port 0

bool InitializeCurl() {
  static std::once_flag once;
  static CURLcode result = CURLE_OK;
  std::call_once(once, [] { result = curl_global_init(CURL_GLOBAL_DEFAULT); });
  return result == CURLE_OK;
}

class PosixConnectionHandle final : public HttpConnectionHandle {
 public:
  PosixConnectionHandle(HttpSettings settings, std::string origin)
      : m_settings(std::move(settings)), m_origin(std::move(origin)) {}

  std::unique_ptr<HttpRequestHandle> OpenRequest(const std::wstring& verb, const std::wstring& path,
                                                 uint32_t /*flags*/) override {
    // The client's flags ask for what this adapter always does: no redirects, cookies,
    // authentication or caching.
    const bool post = verb == L"POST";
    if (!post && verb != L"GET") {
      SetHttpLastError(kErrorInvalidParameter);
      return nullptr;
    }
    std::string url = m_origin;
    if (!path.starts_with(L"/"))
      url += '/';
    url += PercentEncode(WideToUtf8(path), UrlEncoding::kRequestPath);
    std::unique_ptr<HttpRequestHandle> request = PosixHttpRequest::Create(m_settings, url, post);
    if (request == nullptr)
      SetHttpLastError(kErrorNotEnoughMemory);
    return request;
  }

 private:
  const HttpSettings m_settings;
  const std::string m_origin;  // "http://host:port"
};

class PosixInternetHandle final : public InternetHandle {
 public:
  explicit PosixInternetHandle(HttpSettings settings) : m_settings(std::move(settings)) {}

  // The data time-outs stay recorded only: for HTTP, WinINet (and Wine's) times sends and
  // receives with the plain send and receive options.
  bool SetTimeout(InternetTimeout option, uint32_t milliseconds) override {
    switch (option) {
      case InternetTimeout::kConnect:
        m_settings.connectTimeoutMs = milliseconds;
        break;
      case InternetTimeout::kSend:
        m_settings.sendTimeoutMs = milliseconds;
        break;
      case InternetTimeout::kReceive:
        m_settings.receiveTimeoutMs = milliseconds;
        break;
      case InternetTimeout::kDataSend:
      case InternetTimeout::kDataReceive:
        break;
    }
    return true;
  }

  std::unique_ptr<HttpConnectionHandle> Connect(const std::wstring& host, uint16_t port) override {
    std::string name = WideToUtf8(host);
    if (name.find(':') != std::string::npos)
      name = "[" + name + "]";  // an IPv6 address
    const uint16_t portNumber = port != 0 ? port : kDefaultHttpPort;
    return std::make_unique<PosixConnectionHandle>(
        m_settings, "http://" + name + ":" + std::to_string(portNumber));
  }

 private:
  HttpSettings m_settings;
};

}  // namespace

std::unique_ptr<InternetHandle> PosixHttpTransport::Open(const std::wstring& userAgent) {
  if (!InitializeCurl()) {
    SetHttpLastError(kErrorInternetInternal);
    return nullptr;
  }
  HttpSettings settings;
  settings.userAgent = WideToUtf8(userAgent);
  settings.bodyCap = m_bodyCap;
  return std::make_unique<PosixInternetHandle>(std::move(settings));
}

uint32_t PosixHttpTransport::LastError() {
  return HttpLastError();
}

std::optional<std::wstring> PosixHttpTransport::SystemMessage(uint32_t code) {
  return SystemMessageText(code);
}

std::optional<std::string> PosixHttpTransport::CanonicalizeUrl(std::string_view value,
                                                               uint32_t bufferBytes) {
  std::string encoded = PercentEncode(value, UrlEncoding::kCanonicalizePercent);
  if (encoded.size() + 1 > bufferBytes) {
    SetHttpLastError(kErrorInsufficientBuffer);
    return std::nullopt;
  }
  return encoded;
}

}  // namespace tp::host::posix
