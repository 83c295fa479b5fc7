// Wide-string helpers shared by every subsystem: encodings at the edges, letter case,
// splitting and trimming. std::wstring is UTF-16 on Windows and UTF-32 on Linux; the
// conversions here accept both.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tp {

// UTF-8 bytes to wide text; malformed sequences become U+FFFD, as MultiByteToWideChar does.
std::wstring Utf8ToWide(std::string_view bytes);
// Wide text to UTF-8; surrogate pairs are combined, lone surrogates become U+FFFD.
std::string WideToUtf8(std::wstring_view text);
// The same, appended to `utf8`.
void AppendUtf8(std::string* utf8, std::wstring_view text);

// UTF-16LE bytes (registry data, the log file) to wide text and back. An odd trailing byte
// is ignored.
std::wstring Utf16LeToWide(std::string_view bytes);
std::string WideToUtf16Le(std::wstring_view text);

// Letter case. ToLower folds ASCII, Latin-1, Latin Extended-A, Greek and Cyrillic capitals the
// same way on every platform; ToLowerAscii folds A-Z only (markup names, protocol tokens).
wchar_t ToLowerChar(wchar_t ch);
std::wstring ToLower(std::wstring_view text);
std::wstring ToLowerAscii(std::wstring_view text);
bool EqualsIgnoreCase(std::wstring_view a, std::wstring_view b);
bool EqualsIgnoreAsciiCase(std::wstring_view a, std::wstring_view b);
// Position of needle in haystack comparing ASCII letters without case, or npos.
size_t FindIgnoreAsciiCase(std::wstring_view haystack, std::wstring_view needle, size_t from = 0);

inline bool Contains(std::wstring_view haystack, std::wstring_view needle) {
  return haystack.find(needle) != std::wstring_view::npos;
}

// Space, tab, carriage return, line feed, vertical tab and form feed.
bool IsSpace(wchar_t ch);
std::wstring_view Trim(std::wstring_view text);

// Parts of text between separators; empty parts are skipped.
std::vector<std::wstring> SplitSkippingEmpty(std::wstring_view text, wchar_t separator);

// Ordering of wide strings by their UTF-16 code units, whatever the width of wchar_t.
int CompareUtf16(std::wstring_view a, std::wstring_view b);
struct Utf16Less {
  bool operator()(std::wstring_view a, std::wstring_view b) const { return CompareUtf16(a, b) < 0; }
  using is_transparent = void;
};

// The value of a hexadecimal digit (either case), or -1.
int HexDigitValue(wchar_t ch);
// Bytes with every "%XX" escape decoded; a "%" without two hexadecimal digits stays.
std::string PercentDecode(std::string_view text);

// The C runtime's _wtoi: optional white space and sign, then decimal digits up to the first
// other character; 0 when there are none; clamped to the int range.
int ParseLeadingInt(std::wstring_view text);
// As ParseLeadingInt, for 64-bit values.
int64_t ParseLeadingInt64(std::wstring_view text);

}  // namespace tp
