// Code-page conversions on Windows.
#include "host/win32/win32_codec.h"

#include <limits>

#include "host/win32/win32_api.h"

namespace tp::host::win32 {
namespace {

constexpr size_t kLargest = static_cast<size_t>(std::numeric_limits<int>::max());

// Code pages of Windows' MIME database that MultiByteToWideChar leaves to MLang, and the
// code page with the same characters that it converts itself.
uint32_t ConvertibleEquivalent(uint32_t codePage) {
  switch (codePage) {
    case 51932:  // EUC-JP
      return 20932;
    case 51936:  // EUC-CN: GB 2312 within GBK
      return 936;
    case 51949:  // EUC-KR: KS X 1001 within Unified Hangul Code
      return 949;
    default:
      return 0;
  }
}

// One MultiByteToWideChar conversion; false when the code page is not one it converts.
bool Convert(uint32_t codePage, std::string_view bytes, std::wstring* text) {
  const int size = static_cast<int>(bytes.size());
  const int needed = ::MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
  if (needed <= 0)
    return false;
  text->assign(static_cast<size_t>(needed), L'\0');
  const int made = ::MultiByteToWideChar(codePage, 0, bytes.data(), size, text->data(), needed);
  text->resize(made > 0 ? static_cast<size_t>(made) : 0);
  return true;
}

}  // namespace

std::wstring Win32Codec::ToWide(uint32_t codePage, std::string_view bytes) {
  if (bytes.empty() || bytes.size() > kLargest)
    return {};
  std::wstring text;
  if (!Convert(codePage, bytes, &text) && ::GetLastError() == ERROR_INVALID_PARAMETER) {
    if (const uint32_t equivalent = ConvertibleEquivalent(codePage))
      (void)Convert(equivalent, bytes, &text);
  }
  return text;
}

std::string Win32Codec::FromWide(uint32_t codePage, std::wstring_view text) {
  if (text.empty() || text.size() > kLargest)
    return {};
  const int size = static_cast<int>(text.size());
  const int needed =
      ::WideCharToMultiByte(codePage, 0, text.data(), size, nullptr, 0, nullptr, nullptr);
  if (needed <= 0)
    return {};
  std::string bytes(static_cast<size_t>(needed), '\0');
  const int made =
      ::WideCharToMultiByte(codePage, 0, text.data(), size, bytes.data(), needed, nullptr, nullptr);
  bytes.resize(made > 0 ? static_cast<size_t>(made) : 0);
  return bytes;
}

}  // namespace tp::host::win32
