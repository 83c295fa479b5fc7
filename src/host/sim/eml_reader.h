// An .eml file (RFC 5322 with MIME) as a simulated Outlook mail item: transport headers,
// plain and HTML bodies, sender, subject, received time, size, message class and
// attachments, the way Outlook's store keeps a received message. Charsets other than UTF-8
// are converted through the installed host's codec, so a host must be installed.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>

#include "host/sim/sim_outlook.h"

namespace tp::host::sim {

// Larger files are refused rather than read.
constexpr uintmax_t kMaxEmlFileSize = 64u << 20;
// A longer header block is refused: no real message comes near it.
constexpr size_t kMaxHeaderBlock = 1u << 20;

// Fills `mail` from the message bytes; the entry id and account are left to the caller.
// False with a reason in *error when the bytes are not a mail message (empty, no header
// field at the start, an oversized header block). Any other damage (truncated or malformed
// MIME, bad encodings) still gives a mail item with whatever could be read.
[[nodiscard]] bool ReadEml(std::string_view bytes, SimMail* mail, std::wstring* error);

// ReadEml on a file; the entry id is EntryIdForName of the file name.
[[nodiscard]] bool ReadEmlFile(const std::filesystem::path& path, SimMail* mail,
                               std::wstring* error);

// A stable entry id for a name: its UTF-8 bytes in upper-case hexadecimal, so that it looks
// and compares like an Outlook entry id and is safe in logs, query strings and INI lines.
std::wstring EntryIdForName(std::wstring_view name);

}  // namespace tp::host::sim
