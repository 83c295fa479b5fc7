// The WinINet calls of the HTTP client.
#include "host/win32/win32_http.h"

#include <vector>

#include "host/win32/unique_resource.h"
#include "host/win32/win32_api.h"

// After win32_api.h, which brings in the Windows types it needs.
#include <wininet.h>

namespace tp::host::win32 {
namespace {

struct InternetHandleTraits {
  using Handle = HINTERNET;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle handle) { return handle != nullptr; }
  static void Close(Handle handle) { ::InternetCloseHandle(handle); }
};
using UniqueInternetHandle = UniqueResource<InternetHandleTraits>;

// FormatMessageW's buffer, freed with LocalFree.
struct LocalMemoryTraits {
  using Handle = wchar_t*;
  static Handle Invalid() { return nullptr; }
  static bool IsValid(Handle handle) { return handle != nullptr; }
  static void Close(Handle handle) { ::LocalFree(handle); }
};

class WinInetRequest final : public HttpRequestHandle {
 public:
  explicit WinInetRequest(HINTERNET handle) : m_handle(handle) {}

  bool Send(const std::wstring& headers, std::string_view body) override {
    return ::HttpSendRequestW(m_handle.get(), headers.empty() ? nullptr : headers.c_str(),
                              static_cast<DWORD>(headers.size()),
                              body.empty() ? nullptr : const_cast<char*>(body.data()),
                              static_cast<DWORD>(body.size())) != FALSE;
  }

  bool QueryInfo(uint32_t query, std::wstring* value, uint32_t* bufferBytes) override {
    std::vector<wchar_t> buffer(*bufferBytes / sizeof(wchar_t) + 1, L'\0');
    DWORD length = *bufferBytes;
    if (!::HttpQueryInfoW(m_handle.get(), query, buffer.data(), &length, nullptr)) {
      if (::GetLastError() == ERROR_INSUFFICIENT_BUFFER)
        *bufferBytes = length;
      return false;
    }
    *bufferBytes = length;
    value->assign(buffer.data(), length / sizeof(wchar_t));
    return true;
  }

  bool QueryDataAvailable(uint32_t* bytes) override {
    DWORD available = 0;
    if (!::InternetQueryDataAvailable(m_handle.get(), &available, 0, 0))
      return false;
    *bytes = available;
    return true;
  }

  bool ReadFile(void* buffer, uint32_t size, uint32_t* read) override {
    DWORD got = 0;
    if (!::InternetReadFile(m_handle.get(), buffer, size, &got))
      return false;
    *read = got;
    return true;
  }

 private:
  UniqueInternetHandle m_handle;
};

class WinInetConnection final : public HttpConnectionHandle {
 public:
  explicit WinInetConnection(HINTERNET handle) : m_handle(handle) {}

  std::unique_ptr<HttpRequestHandle> OpenRequest(const std::wstring& verb, const std::wstring& path,
                                                 uint32_t flags) override {
    HINTERNET request = ::HttpOpenRequestW(m_handle.get(), verb.c_str(), path.c_str(), nullptr,
                                           nullptr, nullptr, flags, 0);
    if (request == nullptr)
      return nullptr;
    return std::make_unique<WinInetRequest>(request);
  }

 private:
  UniqueInternetHandle m_handle;
};

class WinInetSession final : public InternetHandle {
 public:
  explicit WinInetSession(HINTERNET handle) : m_handle(handle) {}

  bool SetTimeout(InternetTimeout option, uint32_t milliseconds) override {
    DWORD value = milliseconds;
    return ::InternetSetOptionW(m_handle.get(), static_cast<DWORD>(option), &value, sizeof value) !=
           FALSE;
  }

  std::unique_ptr<HttpConnectionHandle> Connect(const std::wstring& host, uint16_t port) override {
    HINTERNET connection = ::InternetConnectW(m_handle.get(), host.c_str(), port, nullptr, nullptr,
                                              INTERNET_SERVICE_HTTP, 0, 0);
    if (connection == nullptr)
      return nullptr;
    return std::make_unique<WinInetConnection>(connection);
  }

 private:
  UniqueInternetHandle m_handle;
};

}  // namespace

std::unique_ptr<InternetHandle> Win32HttpTransport::Open(const std::wstring& userAgent) {
  HINTERNET internet =
      ::InternetOpenW(userAgent.c_str(), INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0);
  if (internet == nullptr)
    return nullptr;
  return std::make_unique<WinInetSession>(internet);
}

uint32_t Win32HttpTransport::LastError() {
  return ::GetLastError();
}

OsVersion Win32HttpTransport::GetOsVersion() {
  OsVersion version;
  OSVERSIONINFOW info{};
  info.dwOSVersionInfoSize = sizeof info;
  if (::GetVersionExW(&info)) {
    version.major = info.dwMajorVersion;
    version.minor = info.dwMinorVersion;
  }
  // IsWow64Process is missing from the oldest systems: looked up, not imported.
  using IsWow64ProcessFunction = BOOL(WINAPI*)(HANDLE, PBOOL);
  if (HMODULE kernel = ::GetModuleHandleW(L"kernel32")) {
    const auto isWow64 = reinterpret_cast<IsWow64ProcessFunction>(
        reinterpret_cast<void*>(::GetProcAddress(kernel, "IsWow64Process")));
    BOOL wow64 = FALSE;
    if (isWow64 != nullptr && isWow64(::GetCurrentProcess(), &wow64)) {
      version.wow64 = wow64 != FALSE;
    }
  }
  return version;
}

std::optional<std::wstring> Win32HttpTransport::SystemMessage(uint32_t code) {
  UniqueResource<LocalMemoryTraits> text;
  const DWORD length =
      ::FormatMessageW(FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM, nullptr, code,
                       0, reinterpret_cast<wchar_t*>(text.Receive()), 0, nullptr);
  if (length == 0 || !text)
    return std::nullopt;
  return std::wstring(text.get(), length);
}

std::optional<std::string> Win32HttpTransport::CanonicalizeUrl(std::string_view value,
                                                               uint32_t bufferBytes) {
  const std::string input(value);
  std::vector<char> buffer(bufferBytes, '\0');
  DWORD length = bufferBytes;
  if (!::InternetCanonicalizeUrlA(input.c_str(), buffer.data(), &length, ICU_ENCODE_PERCENT)) {
    return std::nullopt;
  }
  return std::string(buffer.data(), length);
}

}  // namespace tp::host::win32
