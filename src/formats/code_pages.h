// Text in a Windows code page to wide text: UTF-8 and UTF-16 by the core itself, the 7-bit
// ISO-2022 and HZ forms through their EUC forms, MLang's own numbers (51932, 51936, 51949,
// 38598) through the code page with the same characters, every other code page through the
// platform's codec.
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
