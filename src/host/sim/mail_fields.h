// The From and Date fields of a message: the first mailbox of an address list, and a date
// in RFC 5322 form (obsolete forms included) as seconds since 1970 UTC.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tp::host::sim {

struct Mailbox {
  std::wstring address;      // "user@example.com", as written
  std::wstring displayName;  // encoded-words decoded, quotes removed; may be empty
};

// The first mailbox of an unfolded address field: "Name <addr>", "addr (Name)" or "addr".
Mailbox ParseMailbox(std::string_view unfolded);

// A date such as "Tue, 4 Mar 2025 09:15:02 +0100" or "4 Mar 25 09:15 GMT"; nothing when
// the day, month, year or time is missing or out of range. An unknown zone counts as UTC.
std::optional<int64_t> ParseMailDate(std::string_view text);

}  // namespace tp::host::sim
