// Header text with RFC 2047 encoded-words ("=?charset?B?...?=", "=?charset?Q?...?=")
// decoded; the text around them, which names no charset, is read as UTF-8 when valid, else
// in the message's charset, else as windows-1252.
#pragma once

#include <string>
#include <string_view>

namespace tp::mime {

// White space between two adjacent encoded-words is dropped; neighbouring words in the same
// charset are joined before conversion, so a character split across them survives. A
// malformed encoded-word stays as written. 8-bit text outside encoded-words that is not
// UTF-8 is read in `rawCharset` (the message's own) when it names an 8-bit charset.
std::wstring DecodeHeaderText(std::string_view text, std::string_view rawCharset = {});

}  // namespace tp::mime
