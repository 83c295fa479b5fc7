// Whether a text names a host on the Internet: the test a mail domain passes before it can
// name a branded sender or be matched against one.
#pragma once

#include <string_view>

namespace tp {

// Why `domain` is not an Internet host name, or null when it is one: at least two labels of
// ASCII letters, digits and hyphens (none first or last in a label), each of 1 to 63
// characters, at most 253 in all, no trailing dot, a last label that is not all digits, and
// every internationalized label in its ASCII form ("xn--") decoding as Punycode to a label
// with no character that stands for ASCII punctuation. Wildcards, IP addresses and literals,
// Unicode and white space are refused.
const wchar_t* HostNameProblem(std::wstring_view domain);

inline bool IsHostName(std::wstring_view domain) {
  return HostNameProblem(domain) == nullptr;
}

}  // namespace tp
