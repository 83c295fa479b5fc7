// Base64 with the standard alphabet (RFC 4648): encoding with "=" padding and no line breaks,
// and the lenient decoding used for signatures.
#pragma once

#include <string>
#include <string_view>

namespace tp {

[[nodiscard]] std::string Base64Encode(std::string_view bytes);

// Decodes whatever alphabet characters the text holds, skipping every other character (line
// breaks, padding, spaces) and stopping at a zero byte. A final lone character, which
// carries no whole byte, is dropped.
[[nodiscard]] std::string Base64DecodeLenient(std::string_view text);

}  // namespace tp
