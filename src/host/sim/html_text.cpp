// Plain text from HTML.
#include "host/sim/html_text.h"

#include <array>

#include "base/text.h"

namespace tp::host::sim {
namespace {

// Elements after which the text goes on on a new line.
constexpr std::array<std::wstring_view, 16> kBreakingElements = {
    L"br", L"p",  L"div", L"tr",    L"li", L"h1", L"h2",         L"h3",
    L"h4", L"h5", L"h6",  L"table", L"ul", L"ol", L"blockquote", L"hr"};

// Elements whose content is not text.
constexpr std::array<std::wstring_view, 4> kHiddenElements = {L"head", L"script", L"style",
                                                              L"title"};

bool IsNameChar(wchar_t ch) {
  return (ch >= L'a' && ch <= L'z') || (ch >= L'A' && ch <= L'Z') || (ch >= L'0' && ch <= L'9') ||
         ch == L'-' || ch == L':';
}

template <size_t N>
bool OneOf(const std::array<std::wstring_view, N>& names, std::wstring_view name) {
  for (std::wstring_view candidate : names) {
    if (candidate == name)
      return true;
  }
  return false;
}

void AppendCodePoint(std::wstring& out, uint32_t cp) {
  if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
    cp = 0xFFFD;
  if (sizeof(wchar_t) == 2 && cp >= 0x10000) {
    cp -= 0x10000;
    out += static_cast<wchar_t>(0xD800 + (cp >> 10));
    out += static_cast<wchar_t>(0xDC00 + (cp & 0x3FF));
  } else {
    out += static_cast<wchar_t>(cp);
  }
}

// Decodes the entity at `pos` (an '&') into out; returns the position after it, or pos + 1
// with a literal '&' when it is not one we know.
size_t DecodeEntity(std::wstring_view html, size_t pos, std::wstring& out) {
  // Entities are short: looking further for the ';' would make text full of '&' quadratic.
  const size_t semicolon = html.substr(0, pos + 12).find(L';', pos);
  if (semicolon == std::wstring_view::npos) {
    out += L'&';
    return pos + 1;
  }
  const std::wstring_view name = html.substr(pos + 1, semicolon - pos - 1);
  if (!name.empty() && name[0] == L'#') {
    const bool hex = name.size() > 1 && (name[1] == L'x' || name[1] == L'X');
    uint32_t value = 0;
    const std::wstring_view digits = name.substr(hex ? 2 : 1);
    bool valid = !digits.empty();
    for (wchar_t ch : digits) {
      int digit = -1;
      if (ch >= L'0' && ch <= L'9')
        digit = ch - L'0';
      if (hex && ch >= L'a' && ch <= L'f')
        digit = ch - L'a' + 10;
      if (hex && ch >= L'A' && ch <= L'F')
        digit = ch - L'A' + 10;
      if (digit < 0)
        valid = false;
      value = value * (hex ? 16 : 10) + static_cast<uint32_t>(digit < 0 ? 0 : digit);
    }
    if (valid) {
      AppendCodePoint(out, value);
      return semicolon + 1;
    }
  }
  static constexpr std::array<std::pair<std::wstring_view, wchar_t>, 6> kNamed = {{
      {L"amp", L'&'},
      {L"lt", L'<'},
      {L"gt", L'>'},
      {L"quot", L'"'},
      {L"apos", L'\''},
      {L"nbsp", L'\u00A0'},
  }};
  for (const auto& [entity, ch] : kNamed) {
    if (name == entity) {
      out += ch;
      return semicolon + 1;
    }
  }
  out += L'&';
  return pos + 1;
}

// Adds a line break unless the text already ends with one (or is empty).
void BreakLine(std::wstring& out) {
  while (!out.empty() && out.back() == L' ')
    out.pop_back();
  if (!out.empty() && out.back() != L'\n')
    out += L"\r\n";
}

}  // namespace

std::wstring HtmlToText(std::wstring_view html) {
  std::wstring out;
  std::wstring hiddenUntil;  // the closing tag that ends hidden content
  size_t pos = 0;
  while (pos < html.size()) {
    const wchar_t ch = html[pos];
    const wchar_t after = pos + 1 < html.size() ? html[pos + 1] : L'\0';
    const bool startsTag = (after >= L'a' && after <= L'z') || (after >= L'A' && after <= L'Z') ||
                           after == L'/' || after == L'!' || after == L'?';
    if (ch == L'<' && startsTag) {
      if (html.substr(pos, 4) == L"<!--") {
        const size_t end = html.find(L"-->", pos + 4);
        pos = end == std::wstring_view::npos ? html.size() : end + 3;
        continue;
      }
      const size_t close = html.find(L'>', pos);
      if (close == std::wstring_view::npos)
        break;
      std::wstring_view tag = html.substr(pos + 1, close - pos - 1);
      pos = close + 1;
      const bool closing = !tag.empty() && tag[0] == L'/';
      if (closing)
        tag.remove_prefix(1);
      size_t nameLength = 0;
      while (nameLength < tag.size() && IsNameChar(tag[nameLength]))
        ++nameLength;
      const std::wstring name = ToLowerAscii(tag.substr(0, nameLength));
      if (!hiddenUntil.empty()) {
        if (closing && name == hiddenUntil)
          hiddenUntil.clear();
        continue;
      }
      if (!closing && OneOf(kHiddenElements, name)) {
        hiddenUntil = name;
      } else if (OneOf(kBreakingElements, name)) {
        BreakLine(out);
      }
      continue;
    }
    if (!hiddenUntil.empty()) {
      ++pos;
      continue;
    }
    if (ch == L'&') {
      pos = DecodeEntity(html, pos, out);
      continue;
    }
    if (IsSpace(ch)) {
      // Runs of white space are one space, and none at the start of a line.
      if (!out.empty() && out.back() != L' ' && out.back() != L'\n')
        out += L' ';
      ++pos;
      continue;
    }
    out += ch;
    ++pos;
  }
  while (!out.empty() && IsSpace(out.back()))
    out.pop_back();
  return out;
}

}  // namespace tp::host::sim
