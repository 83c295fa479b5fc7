// Percent-encoding of URL text as WinINet applies it to form values and request paths.
#pragma once

#include <string>
#include <string_view>

namespace tp::host::posix {

enum class UrlEncoding {
  // InternetCanonicalizeUrlA with ICU_ENCODE_PERCENT: control and non-ASCII bytes, space, the
  // unsafe characters " < > [ \ ] ^ ` { | } and the percent sign.
  kCanonicalizePercent,
  // A request path handed to curl, which refuses raw spaces, control and non-ASCII bytes; the
  // rest (query delimiters, existing escapes) goes out as given.
  kRequestPath,
};

// Each byte that needs it becomes "%" and two upper-case hexadecimal digits.
std::string PercentEncode(std::string_view text, UrlEncoding encoding);

}  // namespace tp::host::posix
