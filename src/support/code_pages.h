// Text in a Windows code page to wide text: UTF-8 and UTF-16 by the core itself, every
// other code page through the platform's codec.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace tp {

inline constexpr uint32_t kCodePageUtf16Le = 1200;
inline constexpr uint32_t kCodePageUtf16Be = 1201;

std::wstring CodePageToWide(uint32_t codePage, std::string_view bytes);
std::string WideToCodePage(uint32_t codePage, std::wstring_view text);

}  // namespace tp
