// MIME charset names to Windows code pages, and 8-bit text to wide text through the host's
// codec (UTF-8 through the core's own converter).
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tp::mime {

// The Windows code page of a MIME charset name ("iso-8859-1" -> 28591, "utf-7" -> 65000), by
// the names and aliases of Windows' MIME database and the usual numbered forms ("cp1252",
// "ibm850", "iso_8859-2:1987"), letter case and surrounding quotes ignored; nothing for a
// name we do not know.
std::optional<uint32_t> CodePageForCharset(std::string_view charset);

bool IsValidUtf8(std::string_view bytes);

// Text in the named charset. A missing or unknown charset, "us-ascii" over 8-bit bytes (a
// common mislabel), or a code page the platform cannot convert, is read as UTF-8 when the
// bytes are valid UTF-8, else as windows-1252. *codePage, when asked for, receives the code
// page actually used.
std::wstring DecodeCharset(std::string_view bytes, std::string_view charset,
                           uint32_t* codePage = nullptr);

// 8-bit text that names no charset (raw header bytes): UTF-8 when valid, else the fallback
// charset when it is an 8-bit one (the message's own, as Outlook reads such headers), else
// windows-1252.
std::wstring DecodeUnlabelled(std::string_view bytes, std::string_view fallbackCharset = {});

}  // namespace tp::mime
