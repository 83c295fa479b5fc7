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

int SimpleWinInetHTTPClient::SendRequest(const std::wstring& path, bool isPost,
                                         const std::wstring& extraHeaders, std::wstring& response) {
  if (!m_downloadToFile)
    response.clear();
  host::HttpTransport& http = host::http();
  const wchar_t* failure = nullptr;
  uint32_t failureError = 0;
  int status = 0;
  // Declared in this order so that they close in reverse: file, request, connection, Internet.
  std::unique_ptr<host::InternetHandle> internet;
  std::unique_ptr<host::HttpConnectionHandle> connection;
  std::unique_ptr<host::HttpRequestHandle> request;
  std::unique_ptr<host::File> output;
  std::string body;

  auto fail = [&](const wchar_t* text, uint32_t error) {
    failure = text;
    failureError = error != 0 ? error : http.LastError();
  };
  // A stopped worker lets go of its request between its steps.
  auto abandoned = [&] {
    if (!m_stop || m_stop->Wait(0) == host::WaitResult::kTimeout)
      return false;
    fail(L"Request abandoned", host::kErrorInternetOperationCancelled);
    return true;
  };

  [&] {
    internet = http.Open(UserAgent());
    if (!internet)
      return fail(L"Failed InternetOpen", 0);
    for (host::InternetTimeout option :
         {host::InternetTimeout::kConnect, host::InternetTimeout::kDataSend,
          host::InternetTimeout::kDataReceive, host::InternetTimeout::kSend,
          host::InternetTimeout::kReceive}) {
      internet->SetTimeout(option, m_timeoutMs);
    }
    connection = internet->Connect(m_host, m_port);
    if (!connection)
      return fail(L"Failed InternetConnect", 0);
    const std::wstring verb = isPost ? L"POST" : L"GET";
    if (isPost)
      BuildPostBody();

    for (int attempt = 1;; ++attempt) {
      if (abandoned())
        return;
      request.reset();
      request = connection->OpenRequest(verb, path, kRequestFlags);
      if (!request)
        return fail(L"Failed HttpOpenRequest", 0);
      const bool sent = isPost ? request->Send(extraHeaders, m_postBody)
                               : request->Send(std::wstring(), std::string_view());
      if (sent)
        break;
      // A time-out is never retried: the server is there but too slow.
      const uint32_t sendError = http.LastError();
      if (attempt == kSendAttempts || sendError == host::kErrorInternetTimeout) {
        return fail(L"Failed HttpSendRequest", sendError);
      }
    }

    status = ParseLeadingInt(QueryHeader(*request, host::kQueryStatusCode));
    const std::wstring contentType = QueryHeader(*request, host::kQueryContentType);
    (void)QueryHeader(*request, host::kQueryContentLength);
    const bool utf16 = Contains(contentType, L"16");

    if (m_downloadToFile) {
      host::FileError error = host::kFileOk;
      output = host::files().Open(response, host::FileOpen::kCreateExclusive, &error);
      if (!output)
        return fail(L"Failed to open output file for writing downloaded data", error);
    }

    for (;;) {
      if (abandoned())
        return;
      uint32_t available = 0;
      if (!request->QueryDataAvailable(&available)) {
        // The connection broke before the end of the body: a failed transfer, not a short one.
        fail(L"InternetReadFile failed", 0);
        break;
      }
      if (body.size() + available > m_largestResponse) {
        return fail(L"Response too large", host::kErrorInsufficientBuffer);
      }
      const size_t offset = body.size();
      body.resize(offset + available);
      uint32_t read = 0;
      if (!request->ReadFile(body.data() + offset, available, &read)) {
        body.resize(offset);
        fail(L"InternetReadFile failed", 0);  // what was read so far is still delivered
        break;
      }
      body.resize(offset + read);
      if (read == 0)
        break;
    }

    if (body.empty())
      return;
    if (m_downloadToFile) {
      output->Write(body.data(), body.size());
    } else if (utf16) {
      response = UpToFirstZero(Utf16LeToWide(body));
    } else {
      response = UpToFirstZero(Utf8ToWide(body));
    }
  }();

  output.reset();
  request.reset();
  connection.reset();
  internet.reset();
  if (failure != nullptr)
    throw WinException(failure, failureError);
  return status;
}

}  // namespace tp
