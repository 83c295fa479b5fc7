// A request on a curl easy handle, driven through a multi handle so that idleness is measured
// in milliseconds against the send and receive time-outs.
#include "host/posix/posix_http_request.h"

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <cstring>

#include "base/text.h"
#include "host/posix/posix_http_errors.h"

namespace tp::host::posix {
namespace {

constexpr uint32_t kNoLimit = 0xFFFFFFFF;
// QueryDataAvailable hands the kept body out in pieces of at most this size, as a socket would.
constexpr size_t kAvailableChunk = 8192;

bool IsUnlimited(uint32_t milliseconds) {
  return milliseconds == 0 || milliseconds == kNoLimit;
}

template <typename T>
bool SetOption(CURL* curl, CURLoption option, T value) {
  return curl_easy_setopt(curl, option, value) == CURLE_OK;
}

bool EqualsAsciiNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return (x >= 'A' && x <= 'Z' ? x + 32 : x) == (y >= 'A' && y <= 'Z' ? y + 32 : y);
         });
}

std::string_view TrimSpaces(std::string_view text) {
  while (!text.empty() && (text.front() == ' ' || text.front() == '\t'))
    text.remove_prefix(1);
  while (!text.empty() && (text.back() == ' ' || text.back() == '\t' || text.back() == '\r' ||
                           text.back() == '\n')) {
    text.remove_suffix(1);
  }
  return text;
}

// The environment's proxy settings stand for WinINet's preconfigured ones, but loopback
// never goes through a proxy.
std::string NoProxyList() {
  const char* configured = std::getenv("no_proxy");
  if (configured == nullptr)
    configured = std::getenv("NO_PROXY");
  std::string list = configured != nullptr ? configured : "";
  if (!list.empty())
    list += ',';
  return list + "localhost,127.0.0.1,::1";
}

using HeaderList = std::unique_ptr<curl_slist, decltype(&curl_slist_free_all)>;

bool Append(HeaderList& list, const std::string& line) {
  curl_slist* longer = curl_slist_append(list.get(), line.c_str());
  if (longer == nullptr)
    return false;
  (void)list.release();
  list.reset(longer);
  return true;
}

// The caller's "Name:value\r\n" lines, then what stops curl adding headers WinINet would not
// send (Accept, Expect, and a Content-Type of its own on a POST).
bool BuildHeaderList(const std::wstring& headers, bool post, HeaderList& list) {
  const std::string text = WideToUtf8(headers);
  bool hasContentType = false;
  size_t start = 0;
  while (start < text.size()) {
    size_t end = text.find('\n', start);
    if (end == std::string::npos)
      end = text.size();
    std::string line = text.substr(start, end - start);
    start = end + 1;
    if (!line.empty() && line.back() == '\r')
      line.pop_back();
    if (line.empty())
      continue;
    const size_t colon = line.find(':');
    if (colon != std::string::npos) {
      hasContentType |= EqualsAsciiNoCase(TrimSpaces(line.substr(0, colon)), "Content-Type");
      // curl drops a header written "Name:"; "Name;" is its way to send it empty.
      if (TrimSpaces(line.substr(colon + 1)).empty())
        line = line.substr(0, colon) + ';';
    }
    if (!Append(list, line))
      return false;
  }
  if (!Append(list, "Accept:") || !Append(list, "Expect:"))
    return false;
  return !post || hasContentType || Append(list, "Content-Type:");
}

// Removes the easy handle from the multi handle and frees the latter on every way out.
class MultiTransfer {
 public:
  explicit MultiTransfer(CURL* easy) : m_easy(easy), m_multi(curl_multi_init()) {
    m_added = m_multi != nullptr && curl_multi_add_handle(m_multi, m_easy) == CURLM_OK;
  }
  ~MultiTransfer() {
    if (m_added)
      curl_multi_remove_handle(m_multi, m_easy);
    if (m_multi != nullptr)
      curl_multi_cleanup(m_multi);
  }
  MultiTransfer(const MultiTransfer&) = delete;
  MultiTransfer& operator=(const MultiTransfer&) = delete;

  bool ready() const { return m_added; }
  CURLM* get() const { return m_multi; }

 private:
  CURL* const m_easy;
  CURLM* const m_multi;
  bool m_added = false;
};

}  // namespace

std::unique_ptr<PosixHttpRequest> PosixHttpRequest::Create(HttpSettings settings, std::string url,
                                                           bool post) {
  CURL* curl = curl_easy_init();
  if (curl == nullptr)
    return nullptr;
  return std::unique_ptr<PosixHttpRequest>(
      new PosixHttpRequest(std::move(settings), std::move(url), post, curl));
}

PosixHttpRequest::PosixHttpRequest(HttpSettings settings, std::string url, bool post, CURL* curl)
    : m_settings(std::move(settings)), m_url(std::move(url)), m_post(post), m_curl(curl) {}

PosixHttpRequest::~PosixHttpRequest() {
  curl_easy_cleanup(m_curl);
}

bool PosixHttpRequest::Send(const std::wstring& headers, std::string_view body) {
  m_response = Response{};
  m_connected = false;
  m_received = 0;
  m_requestBody.assign(body);
  HeaderList list(nullptr, &curl_slist_free_all);
  if (!BuildHeaderList(headers, m_post, list)) {
    SetHttpLastError(kErrorNotEnoughMemory);
    return false;
  }
  if (!Configure(list.get())) {
    SetHttpLastError(kErrorInternetInternal);
    return false;
  }
  const uint32_t error = Transfer();
  if (!m_response.headersComplete) {
    SetHttpLastError(error != 0 ? error : kErrorHttpInvalidResponse);
    return false;
  }
  // Like WinINet, the send succeeds once the headers are in; a later break surfaces in the reads.
  m_response.endError = m_response.bodyCapped ? 0 : error;
  return true;
}

bool PosixHttpRequest::Configure(curl_slist* headers) {
  curl_easy_reset(m_curl);
  const uint32_t connectMs = m_settings.connectTimeoutMs;
  const std::string noProxy = NoProxyList();
  bool ok = SetOption(m_curl, CURLOPT_URL, m_url.c_str()) &&
            SetOption(m_curl, CURLOPT_PROTOCOLS_STR, "http") &&
            SetOption(m_curl, CURLOPT_NOSIGNAL, 1L) &&
            SetOption(m_curl, CURLOPT_USERAGENT, m_settings.userAgent.c_str()) &&
            SetOption(m_curl, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1)) &&
            SetOption(m_curl, CURLOPT_FORBID_REUSE, 1L) &&
            SetOption(m_curl, CURLOPT_CONNECTTIMEOUT_MS,
                      IsUnlimited(connectMs) ? 0L : static_cast<long>(connectMs)) &&
            SetOption(m_curl, CURLOPT_NOPROXY, noProxy.c_str()) &&
            SetOption(m_curl, CURLOPT_HTTPHEADER, headers) &&
            SetOption(m_curl, CURLOPT_HEADERFUNCTION, &PosixHttpRequest::OnHeader) &&
            SetOption(m_curl, CURLOPT_HEADERDATA, this) &&
            SetOption(m_curl, CURLOPT_WRITEFUNCTION, &PosixHttpRequest::OnBody) &&
            SetOption(m_curl, CURLOPT_WRITEDATA, this) &&
            SetOption(m_curl, CURLOPT_PREREQFUNCTION, &PosixHttpRequest::OnConnected) &&
            SetOption(m_curl, CURLOPT_PREREQDATA, this);
  if (!ok)
    return false;
  if (!m_post && m_requestBody.empty())
    return SetOption(m_curl, CURLOPT_HTTPGET, 1L);
  ok =
      SetOption(m_curl, CURLOPT_POST, 1L) &&
      SetOption(m_curl, CURLOPT_POSTFIELDS, m_requestBody.data()) &&
      SetOption(m_curl, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(m_requestBody.size()));
  // WinINet sends a body with a GET when given one.
  return ok && (m_post || SetOption(m_curl, CURLOPT_CUSTOMREQUEST, "GET"));
}

uint32_t PosixHttpRequest::Transfer() {
  using SteadyClock = std::chrono::steady_clock;
  MultiTransfer transfer(m_curl);
  if (!transfer.ready())
    return kErrorNotEnoughMemory;
  auto lastActivity = SteadyClock::now();
  uint64_t progress = 0;
  int running = 1;
  for (;;) {
    if (curl_multi_perform(transfer.get(), &running) != CURLM_OK)
      return kErrorInternetInternal;
    if (running == 0)
      break;
    curl_off_t uploaded = 0;
    curl_easy_getinfo(m_curl, CURLINFO_SIZE_UPLOAD_T, &uploaded);
    const auto now = SteadyClock::now();
    const uint64_t progressNow = m_received + static_cast<uint64_t>(uploaded);
    // Resolving and connecting fall under curl's connect time-out; idleness counts after.
    if (!m_connected || progressNow != progress) {
      progress = progressNow;
      lastActivity = now;
    }
    const bool sending = static_cast<uint64_t>(uploaded) < m_requestBody.size();
    const uint32_t limit = sending ? m_settings.sendTimeoutMs : m_settings.receiveTimeoutMs;
    int waitMs = 1000;
    if (m_connected && !IsUnlimited(limit)) {
      const auto idleMs =
          std::chrono::duration_cast<std::chrono::milliseconds>(now - lastActivity).count();
      if (idleMs >= limit)
        return kErrorInternetTimeout;
      waitMs = static_cast<int>(std::min<int64_t>(limit - idleMs, waitMs));
    }
    if (curl_multi_poll(transfer.get(), nullptr, 0, waitMs, nullptr) != CURLM_OK) {
      return kErrorInternetInternal;
    }
  }
  int queued = 0;
  while (CURLMsg* message = curl_multi_info_read(transfer.get(), &queued)) {
    if (message->msg == CURLMSG_DONE)
      return WinInetErrorFromCurl(message->data.result);
  }
  return kErrorInternetInternal;
}

size_t PosixHttpRequest::OnHeader(char* data, size_t size, size_t count, void* self) {
  auto* request = static_cast<PosixHttpRequest*>(self);
  const size_t length = size * count;
  request->m_received += length;
  Response& response = request->m_response;
  if (response.headersComplete)
    return length;  // trailers of a chunked body
  std::string_view line(data, length);
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n'))
    line.remove_suffix(1);
  if (line.starts_with("HTTP/")) {
    // A new answer begins; a final one replaces an interim 1xx answer.
    response.headers.clear();
    const size_t space = line.find(' ');
    const std::string_view rest = space == std::string_view::npos ? "" : line.substr(space + 1);
    response.status = std::string(rest.substr(0, rest.find(' ')));
  } else if (line.empty()) {
    response.headersComplete = !response.status.empty() && response.status[0] != '1';
  } else if (const size_t colon = line.find(':'); colon != std::string_view::npos) {
    response.headers.emplace_back(std::string(TrimSpaces(line.substr(0, colon))),
                                  std::string(TrimSpaces(line.substr(colon + 1))));
  }
  return length;
}

size_t PosixHttpRequest::OnBody(char* data, size_t size, size_t count, void* self) {
  auto* request = static_cast<PosixHttpRequest*>(self);
  const size_t length = size * count;
  request->m_received += length;
  Response& response = request->m_response;
  const size_t room = request->m_settings.bodyCap - response.body.size();
  if (length > room) {
    response.body.append(data, room);
    response.bodyCapped = true;
    return 0;  // ends the transfer
  }
  response.body.append(data, length);
  return length;
}

int PosixHttpRequest::OnConnected(void* self, char*, char*, int, int) {
  static_cast<PosixHttpRequest*>(self)->m_connected = true;
  return CURL_PREREQFUNC_OK;
}

const std::string* PosixHttpRequest::FindHeader(std::string_view name) const {
  for (const auto& [headerName, value] : m_response.headers) {
    if (EqualsAsciiNoCase(headerName, name))
      return &value;
  }
  return nullptr;
}

bool PosixHttpRequest::QueryInfo(uint32_t query, std::wstring* value, uint32_t* bufferBytes) {
  if (!m_response.headersComplete) {
    SetHttpLastError(kErrorInternetHandleState);
    return false;
  }
  const std::string* text = nullptr;
  switch (query) {
    case kQueryStatusCode:
      text = &m_response.status;
      break;
    case kQueryContentType:
      text = FindHeader("Content-Type");
      break;
    case kQueryContentLength:
      text = FindHeader("Content-Length");
      break;
    default:
      SetHttpLastError(kErrorInvalidParameter);
      return false;
  }
  if (text == nullptr) {
    SetHttpLastError(kErrorHttpHeaderNotFound);
    return false;
  }
  // Header bytes are taken as Latin-1: one UTF-16 unit per byte, plus the terminator.
  const uint32_t needed = static_cast<uint32_t>((text->size() + 1) * 2);
  if (*bufferBytes < needed) {
    *bufferBytes = needed;
    SetHttpLastError(kErrorInsufficientBuffer);
    return false;
  }
  value->clear();
  for (const char ch : *text)
    value->push_back(static_cast<wchar_t>(static_cast<unsigned char>(ch)));
  *bufferBytes = needed - 2;
  return true;
}

bool PosixHttpRequest::QueryDataAvailable(uint32_t* bytes) {
  if (!m_response.headersComplete) {
    SetHttpLastError(kErrorInternetHandleState);
    return false;
  }
  const size_t remaining = m_response.body.size() - m_response.readPosition;
  if (remaining == 0 && m_response.endError != 0) {
    SetHttpLastError(m_response.endError);
    return false;
  }
  // Past the cap there is more to read, but the read will refuse it.
  *bytes = remaining > 0 ? static_cast<uint32_t>(std::min(remaining, kAvailableChunk))
                         : (m_response.bodyCapped ? 1 : 0);
  return true;
}

bool PosixHttpRequest::ReadFile(void* buffer, uint32_t size, uint32_t* read) {
  *read = 0;
  if (!m_response.headersComplete) {
    SetHttpLastError(kErrorInternetHandleState);
    return false;
  }
  const size_t count = std::min<size_t>(size, m_response.body.size() - m_response.readPosition);
  if (count == 0 && size > 0 && (m_response.bodyCapped || m_response.endError != 0)) {
    SetHttpLastError(m_response.bodyCapped ? kErrorNotEnoughMemory : m_response.endError);
    return false;
  }
  std::memcpy(buffer, m_response.body.data() + m_response.readPosition, count);
  m_response.readPosition += count;
  *read = static_cast<uint32_t>(count);
  return true;
}

}  // namespace tp::host::posix
