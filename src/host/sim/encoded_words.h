// Header text with RFC 2047 encoded-words ("=?charset?B?...?=", "=?charset?Q?...?=")
// decoded; the text around them, which names no charset, is read as UTF-8 when valid and as
// windows-1252 otherwise.
#pragma once

#include <string>
#include <string_view>

namespace tp::host::sim {

// White space between two adjacent encoded-words is dropped; neighbouring words in the same
// charset are joined before conversion, so a character split across them survives. A
// malformed encoded-word stays as written.
std::wstring DecodeHeaderText(std::string_view text);

}  // namespace tp::host::sim
