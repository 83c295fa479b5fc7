// Reading a value for the URLs in it.
#include "page/url_scan.h"

#include <algorithm>
#include <iterator>

namespace tp {
namespace {

// Schemes that run script.
constexpr std::wstring_view kScriptSchemes[] = {L"javascript", L"vbscript", L"vbs",
                                                L"livescript", L"jscript",  L"mocha",
                                                L"ecmascript", L"ms-its",   L"mhtml"};
// Schemes that fetch nothing from elsewhere: the message's own parts, inline data, mail and
// telephone links, names, and what the neutralising stage makes of the script schemes.
constexpr std::wstring_view kLocalSchemes[] = {
    L"cid", L"data", L"mailto", L"tel", L"urn", L"about", L"jxavascript", L"vxbscript", L"vxbs"};
constexpr std::wstring_view kWebSchemes[] = {L"http", L"https", L"ftp"};
constexpr size_t kLongestScheme = 16;
constexpr std::wstring_view kFilter = L"progid";

template <size_t N>
bool OneOf(const std::wstring_view (&list)[N], std::wstring_view value) {
  return std::find(std::begin(list), std::end(list), value) != std::end(list);
}

// Browsers take tabs and line breaks out of a URL wherever they are.
bool IsDropped(wchar_t ch) {
  return ch == L'\t' || ch == L'\n' || ch == L'\r';
}

bool IsLetter(wchar_t ch) {
  return ch >= L'a' && ch <= L'z';
}

bool IsSchemeCharacter(wchar_t ch) {
  return IsLetter(ch) || (ch >= L'0' && ch <= L'9') || ch == L'+' || ch == L'-' || ch == L'.';
}

bool IsSlash(wchar_t ch) {
  return ch == L'/' || ch == L'\\';
}

// Characters after which "//" continues a URL (a scheme's "://", a path's "a//b") rather
// than starting an item of its own.
bool ContinuesUrl(wchar_t ch) {
  return IsSchemeCharacter(ch) || ch == L':' || ch == L'/' || ch == L'_' || ch == L'~' ||
         ch == L'%';
}

wchar_t Lower(wchar_t ch) {
  return ch >= L'A' && ch <= L'Z' ? static_cast<wchar_t>(ch + 32) : ch;
}

// Whether the file URL whose path starts at `at` names a drive ("file:///C:/", "file:C|/"):
// a local file, where anything else ("file://host/share") is a network path.
bool NamesDrive(std::wstring_view value, size_t at) {
  size_t slashes = 0;
  while (at < value.size() && (IsDropped(value[at]) || (value[at] == L'/' && slashes < 3))) {
    slashes += value[at] == L'/';
    ++at;
  }
  if (at >= value.size() || !IsLetter(Lower(value[at])))
    return false;
  ++at;
  while (at < value.size() && IsDropped(value[at]))
    ++at;
  return at < value.size() && (value[at] == L':' || value[at] == L'|');
}

// Whether the value, without the spaces and controls around it, starts with "data:".
bool IsDataUrl(std::wstring_view value) {
  constexpr std::wstring_view kData = L"data:";
  size_t matched = 0;
  for (wchar_t ch : value) {
    if (matched == 0 && ch <= L' ')
      continue;
    if (IsDropped(ch))
      continue;
    if (Lower(ch) != kData[matched])
      return false;
    if (++matched == kData.size())
      return true;
  }
  return false;
}

// Counts the scheme that ends at the ':' before `after`. One that follows another's ':' may
// be part of that URL ("urn:schemas-microsoft-com:vml"): it counts as remote only when it is
// one of the web's own.
void CountScheme(std::wstring_view scheme, bool overlong, bool afterColon, std::wstring_view value,
                 size_t after, UrlScan* scan) {
  if (overlong) {
    scan->remote = scan->remote || !afterColon;
  } else if (scheme.size() == 1) {
    return;  // a drive letter
  } else if (OneOf(kScriptSchemes, scheme)) {
    scan->scriptUrl = true;
  } else if (scheme == L"file") {
    scan->networkPath = scan->networkPath || !NamesDrive(value, after);
  } else if (afterColon ? OneOf(kWebSchemes, scheme) : !OneOf(kLocalSchemes, scheme)) {
    scan->remote = true;
  }
}

}  // namespace

UrlScan ScanUrls(std::wstring_view value) {
  UrlScan scan;
  wchar_t scheme[kLongestScheme];
  size_t schemeLength = 0;
  bool inScheme = false;
  bool overlong = false;
  bool afterColon = false;
  // The two characters read before this one, tabs and line breaks left out (0: none).
  wchar_t previous = 0;
  wchar_t beforePrevious = 0;
  size_t filterMatched = 0;  // of "progid", in the text without white space
  for (size_t i = 0; i < value.size(); ++i) {
    if (IsDropped(value[i]))
      continue;
    const wchar_t ch = Lower(value[i]);
    if (ch > L' ' && ch != 0x7F) {
      filterMatched = ch == kFilter[filterMatched] ? filterMatched + 1 : (ch == kFilter[0] ? 1 : 0);
      if (filterMatched == kFilter.size()) {
        scan.networkPath = true;
        filterMatched = 0;
      }
    }
    if (inScheme) {
      if (IsSchemeCharacter(ch)) {
        if (schemeLength < kLongestScheme)
          scheme[schemeLength++] = ch;
        else
          overlong = true;
      } else {
        if (ch == L':')
          CountScheme(std::wstring_view(scheme, schemeLength), overlong, afterColon, value, i + 1,
                      &scan);
        inScheme = false;
      }
    } else if (IsLetter(ch) && !IsSchemeCharacter(previous)) {
      inScheme = true;
      overlong = false;
      afterColon = previous == L':';
      scheme[0] = ch;
      schemeLength = 1;
    }
    if (IsSlash(ch) && IsSlash(previous)) {
      if (ch == L'\\' || previous == L'\\') {
        scan.networkPath = true;
      } else if (!ContinuesUrl(beforePrevious)) {
        scan.networkPath = true;
        scan.remote = true;
      }
    }
    beforePrevious = previous;
    previous = ch;
  }
  // A value that is one data URL is data to its end: its base64 may hold "//" or any word.
  if (IsDataUrl(value)) {
    scan.networkPath = false;
    scan.remote = false;
  }
  return scan;
}

}  // namespace tp
