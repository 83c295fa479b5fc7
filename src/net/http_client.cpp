// The request logic of the HTTP client over the transport port.
#include "net/http_client.h"

#include <memory>
#include <vector>

#include "base/format.h"
#include "base/text.h"
#include "host/files.h"
#include "host/host.h"
#include "host/http.h"

namespace tp {
namespace {

constexpr size_t kUserAgentCapacity = 260;  // characters, terminator included
constexpr uint32_t kHeaderBufferBytes = 2048;
constexpr int kSendAttempts = 3;

// HttpQueryInfoW into a 2048-byte buffer, grown to the size asked for as often as needed.
std::wstring QueryHeader(host::HttpRequestHandle& request, uint32_t query) {
  uint32_t bufferBytes = kHeaderBufferBytes;
  std::wstring value;
  while (!request.QueryInfo(query, &value, &bufferBytes)) {
    const uint32_t error = host::http().LastError();
    if (error != host::kErrorInsufficientBuffer) {
      throw WinException(L"HttpQueryInfo", error);
    }
    bufferBytes += 1;
  }
  const size_t zero = value.find(L'\0');
  if (zero != std::wstring::npos)
    value.resize(zero);
  return value;
}

std::wstring UpToFirstZero(std::wstring text) {
  const size_t zero = text.find(L'\0');
  if (zero != std::wstring::npos)
    text.resize(zero);
  return text;
}

}  // namespace

SimpleWinInetHTTPClient::SimpleWinInetHTTPClient(std::wstring host, uint16_t port)
    : m_host(std::move(host)), m_port(port) {}

int SimpleWinInetHTTPClient::Get(const std::wstring& path, std::wstring& response) {
  return SendRequest(path, false, std::wstring(), response);
}

int SimpleWinInetHTTPClient::Post(const std::wstring& path, const std::wstring& contentType,
                                  std::wstring& response) {
  return SendRequest(path, true, L"Content-Type:" + contentType + L"\r\n", response);
}

void SimpleWinInetHTTPClient::AddFormParameter(const std::string& name, const std::string& value) {
  m_formParams[name] = value;
}

void SimpleWinInetHTTPClient::BuildPostBody() {
  if (!m_formParams.empty() && m_formParams.begin()->first == "JSONDATA") {
    // A prepared body, sent exactly as it is.
    m_postBody = m_formParams.begin()->second;
    return;
  }
  constexpr uint32_t kEncodedValueBytes = 1024;
  m_postBody.clear();
  for (const auto& [name, value] : m_formParams) {
    if (!m_postBody.empty())
      m_postBody += '&';
    m_postBody += name;
    m_postBody += '=';
    m_postBody += host::http().CanonicalizeUrl(value, kEncodedValueBytes).value_or(std::string());
  }
}

std::wstring SimpleWinInetHTTPClient::UserAgent() const {
  const host::OsVersion os = host::http().GetOsVersion();
  std::wstring agent = Format(L"Mozilla/5.0 (Windows NT %d.%d%s) %s", os.major, os.minor,
                              os.wow64 ? L"; WOW64" : L"", m_userAgentProduct);
  if (agent.size() > kUserAgentCapacity - 1)
    agent.resize(kUserAgentCapacity - 1);
  return agent;
}

// One request's handles and how it failed. The handles close in reverse order of declaration:
// file, request, connection, Internet.
struct SimpleWinInetHTTPClient::Exchange {
  explicit Exchange(host::HttpTransport& transport) : http(transport) {}

  void Fail(const wchar_t* text, uint32_t error) {
    failure = text;
    failureError = error != 0 ? error : http.LastError();
  }
  void Close() {
    output.reset();
    request.reset();
    connection.reset();
    internet.reset();
  }

  host::HttpTransport& http;
  const wchar_t* failure = nullptr;
  uint32_t failureError = 0;
  std::unique_ptr<host::InternetHandle> internet;
  std::unique_ptr<host::HttpConnectionHandle> connection;
  std::unique_ptr<host::HttpRequestHandle> request;
  std::unique_ptr<host::File> output;
};

int SimpleWinInetHTTPClient::SendRequest(const std::wstring& path, bool isPost,
                                         const std::wstring& extraHeaders, std::wstring& response) {
  if (!m_downloadToFile)
    response.clear();
  Exchange exchange(host::http());
  const int status = RunExchange(exchange, path, isPost, extraHeaders, response);
  exchange.Close();
  if (exchange.failure != nullptr)
    throw WinException(exchange.failure, exchange.failureError);
  return status;
}

int SimpleWinInetHTTPClient::RunExchange(Exchange& exchange, const std::wstring& path, bool isPost,
                                         const std::wstring& extraHeaders, std::wstring& response) {
  if (!Connect(exchange))
    return 0;
  if (isPost)
    BuildPostBody();
  if (!SendWithRetries(exchange, path, isPost, extraHeaders))
    return 0;

  host::HttpRequestHandle& request = *exchange.request;
  const int status = ParseLeadingInt(QueryHeader(request, host::kQueryStatusCode));
  const std::wstring contentType = QueryHeader(request, host::kQueryContentType);
  (void)QueryHeader(request, host::kQueryContentLength);
  const bool utf16 = Contains(contentType, L"16");

  if (m_downloadToFile) {
    host::FileError error = host::kFileOk;
    exchange.output = host::files().Open(response, host::FileOpen::kCreateExclusive, &error);
    if (!exchange.output) {
      exchange.Fail(L"Failed to open output file for writing downloaded data", error);
      return status;
    }
  }

  std::string body;
  if (!ReadBody(exchange, body) || body.empty())
    return status;
  if (m_downloadToFile) {
    exchange.output->Write(body.data(), body.size());
  } else if (utf16) {
    response = UpToFirstZero(Utf16LeToWide(body));
  } else {
    response = UpToFirstZero(Utf8ToWide(body));
  }
  return status;
}

bool SimpleWinInetHTTPClient::Connect(Exchange& exchange) const {
  exchange.internet = exchange.http.Open(UserAgent());
  if (!exchange.internet) {
    exchange.Fail(L"Failed InternetOpen", 0);
    return false;
  }
  for (host::InternetTimeout option :
       {host::InternetTimeout::kConnect, host::InternetTimeout::kDataSend,
        host::InternetTimeout::kDataReceive, host::InternetTimeout::kSend,
        host::InternetTimeout::kReceive}) {
    exchange.internet->SetTimeout(option, m_timeoutMs);
  }
  exchange.connection = exchange.internet->Connect(m_host, m_port);
  if (!exchange.connection) {
    exchange.Fail(L"Failed InternetConnect", 0);
    return false;
  }
  return true;
}

bool SimpleWinInetHTTPClient::SendWithRetries(Exchange& exchange, const std::wstring& path,
                                              bool isPost, const std::wstring& extraHeaders) const {
  const std::wstring verb = isPost ? L"POST" : L"GET";
  for (int attempt = 1;; ++attempt) {
    if (Abandoned(exchange))
      return false;
    exchange.request.reset();
    exchange.request = exchange.connection->OpenRequest(verb, path, kRequestFlags);
    if (!exchange.request) {
      exchange.Fail(L"Failed HttpOpenRequest", 0);
      return false;
    }
    const bool sent = isPost ? exchange.request->Send(extraHeaders, m_postBody)
                             : exchange.request->Send(std::wstring(), std::string_view());
    if (sent)
      return true;
    // A time-out is never retried: the server is there but too slow.
    const uint32_t sendError = exchange.http.LastError();
    if (attempt == kSendAttempts || sendError == host::kErrorInternetTimeout) {
      exchange.Fail(L"Failed HttpSendRequest", sendError);
      return false;
    }
  }
}

bool SimpleWinInetHTTPClient::ReadBody(Exchange& exchange, std::string& body) const {
  for (;;) {
    if (Abandoned(exchange))
      return false;
    uint32_t available = 0;
    if (!exchange.request->QueryDataAvailable(&available)) {
      // The connection broke before the end of the body: a failed transfer, not a short one.
      exchange.Fail(L"InternetReadFile failed", 0);
      return true;
    }
    if (body.size() + available > m_largestResponse) {
      exchange.Fail(L"Response too large", host::kErrorInsufficientBuffer);
      return false;
    }
    const size_t offset = body.size();
    body.resize(offset + available);
    uint32_t read = 0;
    if (!exchange.request->ReadFile(body.data() + offset, available, &read)) {
      body.resize(offset);
      exchange.Fail(L"InternetReadFile failed", 0);  // what was read so far is still delivered
      return true;
    }
    body.resize(offset + read);
    if (read == 0)
      return true;
  }
}

bool SimpleWinInetHTTPClient::Abandoned(Exchange& exchange) const {
  // A stopped worker lets go of its request between its steps.
  if (!m_stop || m_stop->Wait(0) == host::WaitResult::kTimeout)
    return false;
  exchange.Fail(L"Request abandoned", host::kErrorInternetOperationCancelled);
  return true;
}

}  // namespace tp
