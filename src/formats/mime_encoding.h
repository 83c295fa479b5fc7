// MIME content transfer encodings (base64, quoted-printable, identity) and the B and Q
// payloads of header encoded-words, all decoded leniently: stray characters are skipped,
// malformed escapes kept as written.
#pragma once

#include <string>
#include <string_view>

namespace tp::mime {

// The body bytes under a Content-Transfer-Encoding value (any letter case); 7bit, 8bit,
// binary and unknown encodings leave the bytes as they are.
std::string DecodeTransferEncoding(std::string_view encoding, std::string_view body);

std::string DecodeQuotedPrintable(std::string_view text);

// The payload of an encoded-word: 'B'/'b' base64, 'Q'/'q' the header variant of
// quoted-printable ("_" is a space). Any other encoding gives the text unchanged.
std::string DecodeEncodedWordPayload(char encoding, std::string_view text);

}  // namespace tp::mime
