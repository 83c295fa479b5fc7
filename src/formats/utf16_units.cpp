// UTF-16 code units in wide strings of either width.
#include "formats/utf16_units.h"

namespace tp {
namespace {

constexpr uint32_t kHighFirst = 0xD800;
constexpr uint32_t kLowFirst = 0xDC00;
constexpr uint32_t kLowLast = 0xDFFF;

bool IsHighSurrogate(uint32_t unit) {
  return unit >= kHighFirst && unit < kLowFirst;
}
bool IsLowSurrogate(uint32_t unit) {
  return unit >= kLowFirst && unit <= kLowLast;
}

// UTF-16 length of one wide character (values beyond U+10FFFF are taken as one unit).
size_t UnitsOf(wchar_t ch) {
  const uint32_t value = static_cast<uint32_t>(ch);
  return value >= 0x10000 && value <= 0x10FFFF ? 2 : 1;
}

}  // namespace

void AppendUtf16Unit(std::wstring& out, uint32_t unit) {
  if constexpr (sizeof(wchar_t) == 4) {
    if (IsLowSurrogate(unit) && !out.empty() &&
        IsHighSurrogate(static_cast<uint32_t>(out.back()))) {
      const uint32_t high = static_cast<uint32_t>(out.back());
      out.back() = static_cast<wchar_t>(0x10000 + ((high - kHighFirst) << 10) + (unit - kLowFirst));
      return;
    }
  }
  out += static_cast<wchar_t>(unit);
}

void AppendCodePoint(std::wstring& out, uint32_t codePoint) {
  if constexpr (sizeof(wchar_t) == 2) {
    if (codePoint >= 0x10000) {
      codePoint -= 0x10000;
      out += static_cast<wchar_t>(kHighFirst + (codePoint >> 10));
      out += static_cast<wchar_t>(kLowFirst + (codePoint & 0x3FF));
      return;
    }
  }
  out += static_cast<wchar_t>(codePoint);
}

bool AppendUtf16Prefix(std::wstring& out, std::wstring_view text, size_t limit) {
  size_t taken = 0;
  for (const wchar_t ch : text) {
    if (taken == limit)
      return true;
    const size_t units = UnitsOf(ch);
    if (taken + units > limit) {
      // Only the high surrogate of this code point fits.
      out += static_cast<wchar_t>(kHighFirst + ((static_cast<uint32_t>(ch) - 0x10000) >> 10));
      return true;
    }
    out += ch;
    taken += units;
  }
  return taken == limit;
}

}  // namespace tp
