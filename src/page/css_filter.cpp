// The style checks.
#include "page/css_filter.h"

#include <algorithm>
#include <iterator>
#include <vector>

#include "base/character_references.h"
#include "base/text.h"
#include "page/url_scan.h"

namespace tp {
namespace {

// Words that no harmless style holds, in any of its forms (comments removed or kept, white
// space removed, letters in lower case). "progid" names an Internet Explorer filter, which
// loads what its quoted text names.
constexpr std::wstring_view kForbiddenWords[] = {
    L"expression", L"behavior",   L"behaviour", L"binding", L"javascript", L"vbscript",
    L"jscript",    L"livescript", L"mocha",     L"-o-link", L"@import",    L"progid"};

// Functions (and the media query words and pseudo-classes before a "(") known to be
// harmless.
constexpr std::wstring_view kHarmlessFunctions[] = {L"rgb",
                                                    L"rgba",
                                                    L"hsl",
                                                    L"hsla",
                                                    L"hwb",
                                                    L"calc",
                                                    L"min",
                                                    L"max",
                                                    L"clamp",
                                                    L"var",
                                                    L"attr",
                                                    L"counter",
                                                    L"counters",
                                                    L"local",
                                                    L"format",
                                                    L"rect",
                                                    L"alpha",
                                                    L"linear-gradient",
                                                    L"radial-gradient",
                                                    L"repeating-linear-gradient",
                                                    L"repeating-radial-gradient",
                                                    L"-webkit-linear-gradient",
                                                    L"-moz-linear-gradient",
                                                    L"-o-linear-gradient",
                                                    L"-ms-linear-gradient",
                                                    L"-webkit-radial-gradient",
                                                    L"-moz-radial-gradient",
                                                    L"translate",
                                                    L"translatex",
                                                    L"translatey",
                                                    L"translate3d",
                                                    L"scale",
                                                    L"scalex",
                                                    L"scaley",
                                                    L"rotate",
                                                    L"skew",
                                                    L"skewx",
                                                    L"skewy",
                                                    L"matrix",
                                                    L"cubic-bezier",
                                                    L"steps",
                                                    L"not",
                                                    L"is",
                                                    L"where",
                                                    L"has",
                                                    L"nth-child",
                                                    L"nth-last-child",
                                                    L"nth-of-type",
                                                    L"nth-last-of-type",
                                                    L"lang",
                                                    L"dir",
                                                    L"and",
                                                    L"or",
                                                    L"only",
                                                    L"media",
                                                    L"supports"};

constexpr std::wstring_view kAllowedAtRules[] = {
    L"media",     L"font-face",         L"page",           L"supports",
    L"keyframes", L"-webkit-keyframes", L"-moz-keyframes", L"charset"};

// Characters that look like CSS syntax to an old browser that folds them.
constexpr wchar_t kSyntaxLookAlikes[] = {0xFF08, 0xFF09, 0xFF1A, 0xFF1B, 0xFF3C, 0xFF5B,
                                         0xFF5D, 0xFE59, 0xFE5A, 0xFE5B, 0xFE5C};

template <class T, size_t N, class V>
bool OneOf(const T (&list)[N], const V& value) {
  return std::find(std::begin(list), std::end(list), value) != std::end(list);
}

bool IsIdentCharacter(wchar_t ch) {
  return (ch >= L'a' && ch <= L'z') || (ch >= L'A' && ch <= L'Z') || (ch >= L'0' && ch <= L'9') ||
         ch == L'-' || ch == L'_';
}

bool IsCssSpace(wchar_t ch) {
  return ch == L' ' || ch == L'\t' || ch == L'\n' || ch == L'\r' || ch == L'\f';
}

enum class Mode { kSheet, kDeclaration };

// CSS with its comments removed, each character marked as inside a quoted string or not.
struct PlainCss {
  std::wstring text;
  std::vector<bool> quoted;
  bool safe = true;  // no escape outside a string, only escaped non-ASCII inside one
};

PlainCss Plain(std::wstring_view css) {
  PlainCss plain;
  plain.text.reserve(css.size());
  plain.quoted.reserve(css.size());
  size_t i = 0;
  while (i < css.size()) {
    const wchar_t ch = css[i];
    if (ch == L'/' && i + 1 < css.size() && css[i + 1] == L'*') {
      const size_t end = css.find(L"*/", i + 2);
      i = end == std::wstring_view::npos ? css.size() : end + 2;
      continue;
    }
    if (ch == L'\\') {
      plain.safe = false;
      return plain;
    }
    if (ch != L'"' && ch != L'\'') {
      plain.text.push_back(ch);
      plain.quoted.push_back(false);
      ++i;
      continue;
    }
    // A quoted string, its quotes included; it may escape only non-ASCII characters (font
    // names) and line breaks.
    plain.text.push_back(ch);
    plain.quoted.push_back(true);
    for (++i;; ++i) {
      if (i >= css.size() || css[i] == L'\n' || css[i] == L'\r' || css[i] == L'\f') {
        plain.safe = false;  // an unterminated string is read differently by each browser
        return plain;
      }
      if (css[i] == L'\\') {
        size_t digits = 0;
        char32_t value = 0;
        while (digits < 6 && i + 1 + digits < css.size() &&
               HexDigitValue(css[i + 1 + digits]) >= 0) {
          value = value * 16 + static_cast<char32_t>(HexDigitValue(css[i + 1 + digits]));
          ++digits;
        }
        if (digits == 0 || value < 0x80) {
          plain.safe = false;
          return plain;
        }
        plain.text.append(css.substr(i, digits + 1));
        plain.quoted.insert(plain.quoted.end(), digits + 1, true);
        i += digits;
        continue;
      }
      plain.text.push_back(css[i]);
      plain.quoted.push_back(true);
      if (css[i] == ch) {
        ++i;
        break;
      }
    }
  }
  return plain;
}

// Lower case, without white space and control characters.
std::wstring Squeezed(std::wstring_view text) {
  std::wstring squeezed;
  squeezed.reserve(text.size());
  for (wchar_t ch : text) {
    if (ch > L' ' && ch != 0x7F)
      squeezed.push_back(ch >= L'A' && ch <= L'Z' ? static_cast<wchar_t>(ch + 32) : ch);
  }
  return squeezed;
}

// The text with every comment taken out, also from inside strings, as a reader of a filter's
// quoted text may take them.
std::wstring WithoutComments(std::wstring_view text) {
  std::wstring out;
  size_t done = 0;
  for (size_t at = text.find(L"/*"); at != std::wstring_view::npos; at = text.find(L"/*", done)) {
    out.append(text.substr(done, at - done));
    const size_t end = text.find(L"*/", at + 2);
    done = end == std::wstring_view::npos ? text.size() : end + 2;
  }
  out.append(text.substr(done));
  return out;
}

bool HoldsForbiddenWord(std::wstring_view text) {
  const auto holds = [](const std::wstring& squeezed) {
    return std::any_of(std::begin(kForbiddenWords), std::end(kForbiddenWords),
                       [&](std::wstring_view word) { return Contains(squeezed, word); });
  };
  return holds(Squeezed(text)) || holds(Squeezed(WithoutComments(text)));
}

// A network path (url_scan.h) in the text as CSS reads it (`plain`: comments outside strings
// taken out) or with every comment taken out.
bool NamesNetworkPath(std::wstring_view original, std::wstring_view plain) {
  return ScanUrls(plain).networkPath || ScanUrls(WithoutComments(original)).networkPath;
}

// The value of a string's escapes (which Plain allowed: non-ASCII only).
std::wstring Unescaped(std::wstring_view text) {
  std::wstring out;
  for (size_t i = 0; i < text.size(); ++i) {
    if (text[i] != L'\\') {
      out.push_back(text[i]);
      continue;
    }
    char32_t value = 0;
    size_t digits = 0;
    while (digits < 6 && i + 1 < text.size() && HexDigitValue(text[i + 1]) >= 0) {
      value = value * 16 + static_cast<char32_t>(HexDigitValue(text[++i]));
      ++digits;
    }
    AppendCodePoint(&out, value > 0x10FFFF ? 0xFFFD : value);
  }
  return out;
}

// The argument of the url( whose "(" is at `open` in the plain text; false when it is not
// one argument.
bool UrlArgument(const PlainCss& plain, size_t open, std::wstring* url) {
  size_t i = open + 1;
  while (i < plain.text.size() && IsCssSpace(plain.text[i]))
    ++i;
  if (i < plain.text.size() && plain.quoted[i]) {
    const wchar_t quote = plain.text[i];
    const size_t close = plain.text.find(quote, i + 1);
    if (close == std::wstring::npos)
      return false;
    *url = Unescaped(std::wstring_view(plain.text).substr(i + 1, close - i - 1));
    i = close + 1;
    while (i < plain.text.size() && IsCssSpace(plain.text[i]))
      ++i;
    return i < plain.text.size() && plain.text[i] == L')';
  }
  const size_t close = plain.text.find(L')', i);
  if (close == std::wstring::npos)
    return false;
  *url = plain.text.substr(i, close - i);
  return url->find_first_of(L"(\"' \t\n\r\f") == std::wstring::npos;
}

// A '<' other than the "<!--" that hides a sheet from old browsers, comments included: the
// sheet is written raw inside its style element, and a parser that takes the element
// differently (a noscript read as text where scripting runs, a select's content) would read
// that text as markup.
bool HoldsMarkup(std::wstring_view css) {
  for (size_t at = css.find(L'<'); at != std::wstring_view::npos; at = css.find(L'<', at + 1)) {
    if (css.compare(at, 4, L"<!--") != 0)
      return true;
  }
  return false;
}

// The checks that the plain text must pass (`urls` is null for a sheet, which may hold no
// url()).
bool PassesChecks(const PlainCss& plain, Mode mode, const UrlPolicy* urls) {
  const std::wstring& text = plain.text;
  for (size_t i = 0; i < text.size(); ++i) {
    const wchar_t ch = text[i];
    if (ch == L'<' && text.compare(i, 4, L"<!--") != 0)
      return false;
    if (plain.quoted[i])
      continue;
    if (OneOf(kSyntaxLookAlikes, ch))
      return false;
    if (ch == L'@') {
      size_t end = i + 1;
      while (end < text.size() && IsIdentCharacter(text[end]))
        ++end;
      if (mode == Mode::kDeclaration ||
          !OneOf(kAllowedAtRules, std::wstring_view(ToLowerAscii(
                                      std::wstring_view(text).substr(i + 1, end - i - 1))))) {
        return false;
      }
    }
    if (ch != L'(')
      continue;
    size_t before = i;
    while (before > 0 && IsCssSpace(text[before - 1]))
      --before;
    if (before == 0)
      continue;
    const wchar_t previous = text[before - 1];
    if (previous >= 0x80)
      return false;  // a look-alike of a function name
    if (!IsIdentCharacter(previous))
      continue;  // a parenthesised group
    size_t start = before - 1;
    while (start > 0 && IsIdentCharacter(text[start - 1]))
      --start;
    if (start > 0 && text[start - 1] >= 0x80)
      return false;
    const std::wstring name = ToLowerAscii(std::wstring_view(text).substr(start, before - start));
    if (name == L"url" && urls != nullptr && before == i) {
      std::wstring url;
      if (!UrlArgument(plain, i, &url) || !urls->Allows(url, UrlUse::kResource))
        return false;
      continue;
    }
    if (!OneOf(kHarmlessFunctions, std::wstring_view(name)))
      return false;
  }
  return true;
}

bool IsSafeDeclaration(std::wstring_view declaration, const UrlPolicy& urls) {
  if (HoldsForbiddenWord(declaration))
    return false;
  const PlainCss plain = Plain(declaration);
  if (!plain.safe || HoldsForbiddenWord(plain.text) || NamesNetworkPath(declaration, plain.text))
    return false;
  // A property name of plain letters, digits, '-', '_' (and a leading '*').
  const size_t colon = plain.text.find(L':');
  if (colon == std::wstring::npos || std::find(plain.quoted.begin(), plain.quoted.begin() + colon,
                                               true) != plain.quoted.begin() + colon) {
    return false;
  }
  const std::wstring_view property = Trim(std::wstring_view(plain.text).substr(0, colon));
  if (property.empty() || !std::all_of(property.begin() + (property[0] == L'*' ? 1 : 0),
                                       property.end(), IsIdentCharacter)) {
    return false;
  }
  return PassesChecks(plain, Mode::kDeclaration, &urls);
}

// The declarations of a style attribute: split at ';' outside strings, comments and
// parentheses.
std::vector<std::wstring_view> Declarations(std::wstring_view style) {
  std::vector<std::wstring_view> parts;
  size_t start = 0;
  int depth = 0;
  wchar_t quote = 0;
  for (size_t i = 0; i < style.size(); ++i) {
    const wchar_t ch = style[i];
    if (quote != 0) {
      if (ch == L'\\')
        ++i;
      else if (ch == quote || ch == L'\n')
        quote = 0;
      continue;
    }
    if (ch == L'/' && i + 1 < style.size() && style[i + 1] == L'*') {
      const size_t end = style.find(L"*/", i + 2);
      i = end == std::wstring_view::npos ? style.size() : end + 1;
    } else if (ch == L'"' || ch == L'\'') {
      quote = ch;
    } else if (ch == L'(') {
      ++depth;
    } else if (ch == L')' && depth > 0) {
      --depth;
    } else if (ch == L';' && depth == 0) {
      parts.push_back(style.substr(start, i - start));
      start = i + 1;
    }
  }
  parts.push_back(style.substr(std::min(start, style.size())));
  return parts;
}

// Styles made only of plain declarations ("color:#333; font-size:14px"): no function, no
// escape, comment, at-rule or markup, nothing outside printable ASCII, and no forbidden
// word. Most styles of ordinary mail are; they pass as they are.
bool IsPlainStyle(std::wstring_view style) {
  wchar_t quote = 0;  // inside a quoted string: its quote
  for (wchar_t ch : style) {
    if (ch < L' ' ? (ch != L'\t' && ch != L'\n' && ch != L'\r' && ch != L'\f') : ch > L'~')
      return false;
    if (quote != 0) {
      if (ch == quote)
        quote = 0;
      else if (ch < L' ')
        return false;  // a line break ends a string early
    } else if (ch == L'"' || ch == L'\'') {
      quote = ch;
    }
    switch (ch) {
      case L'(':
      case L')':
      case L'\\':
      case L'/':
      case L'@':
      case L'<':
      case L'>':
      case L'&':
      case L'{':
      case L'}':
        return false;
      default:
        break;
    }
  }
  if (quote != 0 || HoldsForbiddenWord(style) || ScanUrls(style).networkPath)
    return false;
  // Each declaration a property name of letters, digits, '-' and '_' and a ':'.
  for (std::wstring_view declaration : Declarations(style)) {
    declaration = Trim(declaration);
    if (declaration.empty())
      continue;
    const size_t colon = declaration.find(L':');
    if (colon == std::wstring_view::npos)
      return false;
    const std::wstring_view property = Trim(declaration.substr(0, colon));
    if (property.empty() || !std::all_of(property.begin(), property.end(), IsIdentCharacter))
      return false;
  }
  return true;
}

}  // namespace

std::optional<std::wstring> FilterStyleAttribute(std::wstring_view style, const UrlPolicy& urls) {
  if (IsPlainStyle(style))
    return std::wstring(style);
  std::wstring kept;
  bool droppedAny = false;
  for (std::wstring_view declaration : Declarations(style)) {
    declaration = Trim(declaration);
    if (declaration.empty())
      continue;
    if (!IsSafeDeclaration(declaration, urls)) {
      droppedAny = true;
      continue;
    }
    if (!kept.empty())
      kept += L"; ";
    kept += declaration;
  }
  if (!droppedAny)
    return std::wstring(style);
  if (kept.empty())
    return std::nullopt;
  return kept;
}

bool IsSafeStyleSheet(std::wstring_view css) {
  if (HoldsForbiddenWord(css) || HoldsMarkup(css))
    return false;
  const PlainCss plain = Plain(css);
  if (!plain.safe || HoldsForbiddenWord(plain.text) || NamesNetworkPath(css, plain.text) ||
      Contains(Squeezed(css), L"url(") || Contains(Squeezed(plain.text), L"url(")) {
    return false;
  }
  return PassesChecks(plain, Mode::kSheet, nullptr);
}

}  // namespace tp
