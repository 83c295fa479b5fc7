// curl's failures in WinINet's numbering, and the calling thread's last error for the HTTP port.
#pragma once

#include <curl/curl.h>

#include <cstdint>

namespace tp::host::posix {

// Codes the posix HTTP adapter reports beyond those the port names.
constexpr uint32_t kErrorNotEnoughMemory = 8;          // ERROR_NOT_ENOUGH_MEMORY
constexpr uint32_t kErrorInvalidParameter = 87;        // ERROR_INVALID_PARAMETER
constexpr uint32_t kErrorInternetInternal = 12004;     // ERROR_INTERNET_INTERNAL_ERROR
constexpr uint32_t kErrorInternetInvalidUrl = 12005;   // ERROR_INTERNET_INVALID_URL
constexpr uint32_t kErrorInternetHandleState = 12019;  // ERROR_INTERNET_INCORRECT_HANDLE_STATE
constexpr uint32_t kErrorHttpInvalidResponse = 12152;  // ERROR_HTTP_INVALID_SERVER_RESPONSE

uint32_t WinInetErrorFromCurl(CURLcode code);

// GetLastError and SetLastError of the HTTP port: one value per thread.
uint32_t HttpLastError();
void SetHttpLastError(uint32_t code);

}  // namespace tp::host::posix
