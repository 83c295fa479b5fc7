// curl result codes to WinINet error codes.
#include "host/posix/posix_http_errors.h"

#include "host/http.h"

namespace tp::host::posix {
namespace {

thread_local uint32_t t_lastError = 0;

}  // namespace

uint32_t WinInetErrorFromCurl(CURLcode code) {
  switch (code) {
    case CURLE_OK:
      return 0;
    case CURLE_OPERATION_TIMEDOUT:
      return kErrorInternetTimeout;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
      return kErrorInternetNameNotResolved;
    case CURLE_COULDNT_CONNECT:
      return kErrorInternetCannotConnect;
    // The peer broke the connection (a reset shows up as a failed send or receive).
    case CURLE_SEND_ERROR:
    case CURLE_RECV_ERROR:
      return kErrorInternetConnectionReset;
    // The peer closed the connection before the answer was complete.
    case CURLE_GOT_NOTHING:
    case CURLE_PARTIAL_FILE:
      return kErrorInternetConnectionAborted;
    // Not an HTTP/1.x answer: no status line (HTTP/0.9), a bad status line or bad encoding.
    case CURLE_UNSUPPORTED_PROTOCOL:
    case CURLE_WEIRD_SERVER_REPLY:
    case CURLE_BAD_CONTENT_ENCODING:
      return kErrorHttpInvalidResponse;
    case CURLE_URL_MALFORMAT:
      return kErrorInternetInvalidUrl;
    case CURLE_OUT_OF_MEMORY:
      return kErrorNotEnoughMemory;
    default:
      return kErrorInternetInternal;
  }
}

uint32_t HttpLastError() {
  return t_lastError;
}

void SetHttpLastError(uint32_t code) {
  t_lastError = code;
}

}  // namespace tp::host::posix
