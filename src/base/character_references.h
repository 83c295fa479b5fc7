// Character references ("&amp;", "&#233;", "&#x1F600;") in HTML attribute values, read the
// way browsers read them: HTML 4's named references (with the old forms without ";" where
// browsers accept them) and numeric references with their replacements.
#pragma once

#include <string>
#include <string_view>

namespace tp {

// The attribute value with its character references replaced by the characters they name.
// A reference that is not recognised stays as written.
std::wstring DecodeAttributeValue(std::wstring_view value);

// Appends one Unicode code point (as a surrogate pair where wchar_t is 16 bits).
void AppendCodePoint(std::wstring* text, char32_t codePoint);

}  // namespace tp
