// The 7-bit encodings of East Asian mail (ISO-2022-JP, ISO-2022-KR, HZ-GB-2312) rewritten in
// their 8-bit EUC forms, which every platform's code pages convert: the escape sequences
// and shifts are followed, never recursed into, in one pass.
#pragma once

#include <string>
#include <string_view>

namespace tp {

// ISO-2022-JP (RFC 1468) with the extensions Windows reads under code pages 50220-50222:
// JIS X 0201 katakana by escape (ESC ( I) or shift (SO/SI), JIS X 0212 (ESC $ ( D), and
// 8-bit katakana bytes. Bytes in a set EUC-JP lacks pass as they are.
std::string Iso2022JpToEucJp(std::string_view text);

// ISO-2022-KR (RFC 1557): KS X 1001 between SO and SI; a line end shifts back.
std::string Iso2022KrToEucKr(std::string_view text);

// HZ (RFC 1843): GB 2312 between "~{" and "~}", "~~" for a tilde, "~" and a line end
// for nothing; a line end also ends a GB run that was not closed.
std::string HzToGb2312(std::string_view text);

}  // namespace tp
