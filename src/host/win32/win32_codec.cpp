// Code-page conversions on Windows.
#include "host/win32/win32_codec.h"

#include <limits>

#include "host/win32/win32_api.h"

namespace tp::host::win32 {
namespace {
constexpr size_t kLargest = static_cast<size_t>(std::numeric_limits<int>::max());
}  // namespace

std::wstring Win32Codec::ToWide(uint32_t codePage, std::string_view bytes) {
  if (bytes.empty() || bytes.size() > kLargest)
    return {};
  const int size = static_cast<int>(bytes.size());
  const int needed = ::MultiByteToWideChar(codePage, 0, bytes.data(), size, nullptr, 0);
  if (needed <= 0)
    return {};
  std::wstring text(static_cast<size_t>(needed), L'\0');
  const int made = ::MultiByteToWideChar(codePage, 0, bytes.data(), size, text.data(), needed);
  text.resize(made > 0 ? static_cast<size_t>(made) : 0);
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
