// Text codec port: the platform's code-page conversions (ANSI and internet code pages).
// UTF-8 is converted by the core itself (support/text.h), identically on every platform.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tp::host {

constexpr uint32_t kCodePageAnsi = 0;  // CP_ACP: the thread's ANSI code page
constexpr uint32_t kCodePageUtf8 = 65001;

class TextCodec {
 public:
  virtual ~TextCodec() = default;
  // MultiByteToWideChar; bytes that do not map become U+FFFD or the code page's default.
  virtual std::wstring ToWide(uint32_t codePage, std::string_view bytes) = 0;
  // WideCharToMultiByte; characters that do not map become the code page's default ("?").
  virtual std::string FromWide(uint32_t codePage, std::wstring_view text) = 0;
};

}  // namespace tp::host
