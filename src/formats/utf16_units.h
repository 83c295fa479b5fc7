// UTF-16 code units in wide strings of either width, so that the readers produce the same
// sequence of UTF-16 code units whether wchar_t is 16 bits (Windows) or 32 bits (Linux).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tp {

// Appends one UTF-16 code unit. With 32-bit wchar_t a low surrogate that follows a high one
// is merged with it into one code point, as the pair would read on Windows.
void AppendUtf16Unit(std::wstring& out, uint32_t unit);

// Appends a code point up to U+10FFFF: a surrogate pair with 16-bit wchar_t when above U+FFFF.
void AppendCodePoint(std::wstring& out, uint32_t codePoint);

// Appends the first `limit` UTF-16 code units of text (a code point above U+FFFF counts two
// units; when only its first fits, its high surrogate is appended). Returns true when text
// holds at least `limit` units.
bool AppendUtf16Prefix(std::wstring& out, std::wstring_view text, size_t limit);

}  // namespace tp
