// Wide-string helpers: encodings, letter case, splitting, trimming, ordering.
#include "base/text.h"

#include <limits>

namespace tp {
namespace {

constexpr char32_t kReplacement = 0xFFFD;

void AppendCodePoint(std::wstring& out, char32_t cp) {
  if constexpr (sizeof(wchar_t) == 2) {
    if (cp >= 0x10000) {
      cp -= 0x10000;
      out += static_cast<wchar_t>(0xD800 + (cp >> 10));
      out += static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
      return;
    }
  }
  out += static_cast<wchar_t>(cp);
}

void AppendUtf8CodePoint(std::string& out, char32_t cp) {
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

bool IsHighSurrogate(char32_t cp) {
  return cp >= 0xD800 && cp <= 0xDBFF;
}
bool IsLowSurrogate(char32_t cp) {
  return cp >= 0xDC00 && cp <= 0xDFFF;
}

int64_t ParseLeading(std::wstring_view text, int64_t min, int64_t max) {
  size_t i = 0;
  while (i < text.size() && IsSpace(text[i]))
    ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == L'-' || text[i] == L'+')) {
    negative = text[i] == L'-';
    ++i;
  }
  // Accumulate as a negative number so that the minimum is representable.
  int64_t value = 0;
  for (; i < text.size() && text[i] >= L'0' && text[i] <= L'9'; ++i) {
    const int digit = text[i] - L'0';
    if (value < (std::numeric_limits<int64_t>::min() + digit) / 10) {
      return negative ? min : max;
    }
    value = value * 10 - digit;
  }
  if (!negative) {
    if (value < -max)
      return max;
    return -value;
  }
  return value < min ? min : value;
}

}  // namespace

std::wstring Utf8ToWide(std::string_view bytes) {
  std::wstring out;
  out.reserve(bytes.size());
  size_t i = 0;
  while (i < bytes.size()) {
    const unsigned char lead = static_cast<unsigned char>(bytes[i]);
    if (lead < 0x80) {
      // A run of ASCII at once: markup is mostly that.
      size_t end = i + 1;
      while (end < bytes.size() && static_cast<unsigned char>(bytes[end]) < 0x80)
        ++end;
      const size_t at = out.size();
      out.resize(at + (end - i));
      for (size_t k = i; k < end; ++k)
        out[at + (k - i)] = static_cast<wchar_t>(bytes[k]);
      i = end;
      continue;
    }
    int length = 0;
    char32_t cp = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
      length = 2, cp = lead & 0x1F;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
      length = 3, cp = lead & 0x0F;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
      length = 4, cp = lead & 0x07;
    } else {
      AppendCodePoint(out, kReplacement);
      ++i;
      continue;
    }
    int taken = 1;
    bool valid = true;
    for (; taken < length; ++taken) {
      if (i + taken >= bytes.size()) {
        valid = false;
        break;
      }
      const unsigned char next = static_cast<unsigned char>(bytes[i + taken]);
      // The second byte's range rules out overlong forms and surrogates at once, so that
      // a bad sequence is replaced byte by byte (the "maximal subpart" practice).
      unsigned char low = 0x80;
      unsigned char high = 0xBF;
      if (taken == 1) {
        if (lead == 0xE0)
          low = 0xA0;
        if (lead == 0xED)
          high = 0x9F;
        if (lead == 0xF0)
          low = 0x90;
        if (lead == 0xF4)
          high = 0x8F;
      }
      if (next < low || next > high) {
        valid = false;
        break;
      }
      cp = (cp << 6) | (next & 0x3F);
    }
    if (!valid) {
      AppendCodePoint(out, kReplacement);
      i += taken;  // resume at the first byte that did not belong to the sequence
      continue;
    }
    AppendCodePoint(out, cp);
    i += length;
  }
  return out;
}

std::string WideToUtf8(std::wstring_view text) {
  std::string out;
  out.reserve(text.size());
  AppendUtf8(&out, text);
  return out;
}

void AppendUtf8(std::string* utf8, std::wstring_view text) {
  std::string& out = *utf8;
  for (size_t i = 0; i < text.size(); ++i) {
    if (static_cast<unsigned>(text[i]) < 0x80) {
      // A run of ASCII at once.
      size_t end = i + 1;
      while (end < text.size() && static_cast<unsigned>(text[end]) < 0x80)
        ++end;
      const size_t at = out.size();
      out.resize(at + (end - i));
      for (size_t k = i; k < end; ++k)
        out[at + (k - i)] = static_cast<char>(text[k]);
      i = end - 1;
      continue;
    }
    char32_t cp = static_cast<char32_t>(text[i]);
    if (IsHighSurrogate(cp) && i + 1 < text.size() &&
        IsLowSurrogate(static_cast<char32_t>(text[i + 1]))) {
      cp = 0x10000 + ((cp - 0xD800) << 10) + (static_cast<char32_t>(text[i + 1]) - 0xDC00);
      ++i;
    } else if (IsHighSurrogate(cp) || IsLowSurrogate(cp) || cp > 0x10FFFF) {
      cp = kReplacement;
    }
    AppendUtf8CodePoint(out, cp);
  }
}

std::wstring Utf16LeToWide(std::string_view bytes) {
  std::wstring out;
  out.reserve(bytes.size() / 2);
  for (size_t i = 0; i + 1 < bytes.size(); i += 2) {
    const char32_t unit = static_cast<unsigned char>(bytes[i]) |
                          (static_cast<char32_t>(static_cast<unsigned char>(bytes[i + 1])) << 8);
    if constexpr (sizeof(wchar_t) == 4) {
      if (IsHighSurrogate(unit) && i + 3 < bytes.size()) {
        const char32_t low = static_cast<unsigned char>(bytes[i + 2]) |
                             (static_cast<char32_t>(static_cast<unsigned char>(bytes[i + 3])) << 8);
        if (IsLowSurrogate(low)) {
          out += static_cast<wchar_t>(0x10000 + ((unit - 0xD800) << 10) + (low - 0xDC00));
          i += 2;
          continue;
        }
      }
    }
    out += static_cast<wchar_t>(unit);
  }
  return out;
}

std::string WideToUtf16Le(std::wstring_view text) {
  std::string out;
  out.reserve(text.size() * 2);
  auto put = [&out](char32_t unit) {
    out += static_cast<char>(unit & 0xFF);
    out += static_cast<char>((unit >> 8) & 0xFF);
  };
  for (wchar_t ch : text) {
    const char32_t cp = static_cast<char32_t>(ch);
    if (cp >= 0x10000) {
      put(0xD800 + ((cp - 0x10000) >> 10));
      put(0xDC00 + ((cp - 0x10000) & 0x3FF));
    } else {
      put(cp);
    }
  }
  return out;
}

wchar_t ToLowerChar(wchar_t ch) {
  const char32_t c = static_cast<char32_t>(ch);
  if (c < 0x80) {
    return (c >= L'A' && c <= L'Z') ? static_cast<wchar_t>(c + 32) : ch;
  }
  if ((c >= 0xC0 && c <= 0xDE && c != 0xD7) || (c >= 0x391 && c <= 0x3AB && c != 0x3A2) ||
      (c >= 0x410 && c <= 0x42F)) {
    return static_cast<wchar_t>(c + 0x20);
  }
  if (c >= 0x400 && c <= 0x40F) {
    return static_cast<wchar_t>(c + 0x50);
  }
  if ((c >= 0x100 && c <= 0x137) || (c >= 0x14A && c <= 0x177) || (c >= 0x460 && c <= 0x481) ||
      (c >= 0x48A && c <= 0x4BF)) {
    return (c % 2 == 0) ? static_cast<wchar_t>(c + 1) : ch;
  }
  if ((c >= 0x139 && c <= 0x148) || (c >= 0x179 && c <= 0x17E)) {
    return (c % 2 == 1) ? static_cast<wchar_t>(c + 1) : ch;
  }
  if (c == 0x178) {
    return static_cast<wchar_t>(0xFF);
  }
  return ch;
}

std::wstring ToLower(std::wstring_view text) {
  std::wstring out(text);
  for (wchar_t& ch : out)
    ch = ToLowerChar(ch);
  return out;
}

std::wstring ToLowerAscii(std::wstring_view text) {
  std::wstring out(text);
  for (wchar_t& ch : out) {
    if (ch >= L'A' && ch <= L'Z')
      ch = static_cast<wchar_t>(ch + 32);
  }
  return out;
}

bool EqualsIgnoreCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size())
    return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (ToLowerChar(a[i]) != ToLowerChar(b[i]))
      return false;
  }
  return true;
}

namespace {
wchar_t FoldAscii(wchar_t ch) {
  return (ch >= L'A' && ch <= L'Z') ? static_cast<wchar_t>(ch + 32) : ch;
}
}  // namespace

bool EqualsIgnoreAsciiCase(std::wstring_view a, std::wstring_view b) {
  if (a.size() != b.size())
    return false;
  for (size_t i = 0; i < a.size(); ++i) {
    if (FoldAscii(a[i]) != FoldAscii(b[i]))
      return false;
  }
  return true;
}

size_t FindIgnoreAsciiCase(std::wstring_view haystack, std::wstring_view needle, size_t from) {
  if (needle.size() > haystack.size())
    return std::wstring_view::npos;
  for (size_t i = from; i + needle.size() <= haystack.size(); ++i) {
    if (EqualsIgnoreAsciiCase(haystack.substr(i, needle.size()), needle))
      return i;
  }
  return std::wstring_view::npos;
}

bool IsSpace(wchar_t ch) {
  return ch == L' ' || ch == L'\t' || ch == L'\r' || ch == L'\n' || ch == L'\v' || ch == L'\f';
}

std::wstring_view Trim(std::wstring_view text) {
  while (!text.empty() && IsSpace(text.front()))
    text.remove_prefix(1);
  while (!text.empty() && IsSpace(text.back()))
    text.remove_suffix(1);
  return text;
}

std::vector<std::wstring> SplitSkippingEmpty(std::wstring_view text, wchar_t separator) {
  std::vector<std::wstring> parts;
  size_t start = 0;
  while (start <= text.size()) {
    size_t end = text.find(separator, start);
    if (end == std::wstring_view::npos)
      end = text.size();
    if (end > start)
      parts.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return parts;
}

int CompareUtf16(std::wstring_view a, std::wstring_view b) {
  // Code points above U+FFFF are surrogate pairs in UTF-16 and sort between U+D7FF and U+E000.
  auto key = [](wchar_t ch) -> uint32_t {
    const uint32_t c = static_cast<uint32_t>(ch);
    if (c >= 0x10000)
      return 0xD800 + ((c - 0x10000) >> 10);
    return c;
  };
  const size_t n = a.size() < b.size() ? a.size() : b.size();
  for (size_t i = 0; i < n; ++i) {
    if (a[i] == b[i])
      continue;
    const uint32_t ka = key(a[i]);
    const uint32_t kb = key(b[i]);
    if (ka != kb)
      return ka < kb ? -1 : 1;
    // Same high surrogate: compare the low ones.
    const uint32_t la = static_cast<uint32_t>(a[i]) & 0x3FF;
    const uint32_t lb = static_cast<uint32_t>(b[i]) & 0x3FF;
    return la < lb ? -1 : 1;
  }
  if (a.size() == b.size())
    return 0;
  return a.size() < b.size() ? -1 : 1;
}

int HexDigitValue(wchar_t ch) {
  if (ch >= L'0' && ch <= L'9')
    return ch - L'0';
  if (ch >= L'a' && ch <= L'f')
    return ch - L'a' + 10;
  if (ch >= L'A' && ch <= L'F')
    return ch - L'A' + 10;
  return -1;
}

std::string PercentDecode(std::string_view text) {
  std::string decoded;
  decoded.reserve(text.size());
  for (size_t i = 0; i < text.size(); ++i) {
    const int high =
        i + 2 < text.size() ? HexDigitValue(static_cast<unsigned char>(text[i + 1])) : -1;
    const int low =
        i + 2 < text.size() ? HexDigitValue(static_cast<unsigned char>(text[i + 2])) : -1;
    if (text[i] == '%' && high >= 0 && low >= 0) {
      decoded += static_cast<char>(high * 16 + low);
      i += 2;
    } else {
      decoded += text[i];
    }
  }
  return decoded;
}

int ParseLeadingInt(std::wstring_view text) {
  return static_cast<int>(
      ParseLeading(text, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

int64_t ParseLeadingInt64(std::wstring_view text) {
  return ParseLeading(text, std::numeric_limits<int64_t>::min(),
                      std::numeric_limits<int64_t>::max());
}

}  // namespace tp
