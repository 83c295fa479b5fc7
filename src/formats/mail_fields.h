// The Date field of a message: a date in RFC 5322 form (obsolete forms included) as seconds
// since 1970 UTC.
#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tp::mime {

// A date such as "Tue, 4 Mar 2025 09:15:02 +0100" or "4 Mar 25 09:15 GMT"; nothing when
// the day, month, year or time is missing or out of range. An unknown zone counts as UTC.
std::optional<int64_t> ParseMailDate(std::string_view text);

}  // namespace tp::mime
