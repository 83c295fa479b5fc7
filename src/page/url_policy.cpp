// The URL rules.
#include "page/url_policy.h"

#include <algorithm>
#include <iterator>

#include "base/text.h"

namespace tp {
namespace {

// What the neutralising stage makes of "javascript:", "vbscript:" and "vbs:": harmless.
constexpr std::wstring_view kNeutralisedSchemes[] = {L"jxavascript", L"vxbscript", L"vxbs"};
constexpr std::wstring_view kLinkSchemes[] = {L"http", L"https", L"mailto", L"ftp", L"tel", L"cid"};
constexpr std::wstring_view kRemoteSchemes[] = {L"http", L"https"};
// Inline data that a browser shows as a picture and never runs.
constexpr std::wstring_view kImageData[] = {L"image/png",   L"image/gif", L"image/jpeg",
                                            L"image/jpg",   L"image/bmp", L"image/webp",
                                            L"image/x-icon"};

template <size_t N>
bool OneOf(const std::wstring_view (&list)[N], std::wstring_view value) {
  return std::find(std::begin(list), std::end(list), value) != std::end(list);
}

bool IsSchemeCharacter(wchar_t ch, bool first) {
  if ((ch >= L'a' && ch <= L'z') || (ch >= L'A' && ch <= L'Z'))
    return true;
  return !first && ((ch >= L'0' && ch <= L'9') || ch == L'+' || ch == L'-' || ch == L'.');
}

// The URL as a browser reads it: without the control characters and spaces around it, and
// without tabs and line breaks anywhere.
std::wstring Cleaned(std::wstring_view url) {
  size_t begin = 0;
  size_t end = url.size();
  while (begin < end && url[begin] <= L' ')
    ++begin;
  while (end > begin && url[end - 1] <= L' ')
    --end;
  std::wstring cleaned;
  cleaned.reserve(end - begin);
  for (size_t i = begin; i < end; ++i) {
    if (url[i] != L'\t' && url[i] != L'\n' && url[i] != L'\r')
      cleaned.push_back(url[i]);
  }
  return cleaned;
}

}  // namespace

bool UrlPolicy::Allows(std::wstring_view url, UrlUse use) const {
  // Control characters, also around the URL, are read differently by each parser (one drops
  // them, another reads a replacement character and so a relative URL); only white space is
  // taken as browsers take it.
  for (wchar_t ch : url) {
    if ((ch < L' ' && ch != L'\t' && ch != L'\n' && ch != L'\r' && ch != L'\f') || ch == 0x7F)
      return false;
  }
  const std::wstring cleaned = Cleaned(url);
  // A backslash makes a network share ("\\server\share") or a local path.
  if (cleaned.find(L'\\') != std::wstring::npos)
    return false;
  if (use == UrlUse::kResource && IsOwnCopy(cleaned))
    return true;
  // "//host/share" is another host's share where the page has a file base.
  if (cleaned.compare(0, 2, L"//") == 0)
    return false;
  const size_t delimiter = cleaned.find_first_of(L":/?#");
  if (delimiter == std::wstring::npos || cleaned[delimiter] != L':') {
    // Relative to the page, whose base is the maker's web site: a resource comes from the web
    // (an empty one too: an old engine loads the base itself), a fragment from the page.
    return use == UrlUse::kLink || remoteAllowed() || cleaned.compare(0, 1, L"#") == 0;
  }
  const std::wstring_view schemeText = std::wstring_view(cleaned).substr(0, delimiter);
  if (schemeText.empty())
    return false;
  for (size_t i = 0; i < schemeText.size(); ++i) {
    if (!IsSchemeCharacter(schemeText[i], i == 0))
      return false;
  }
  const std::wstring scheme = ToLowerAscii(schemeText);
  if (OneOf(kNeutralisedSchemes, scheme))
    return use == UrlUse::kLink;  // as the neutralising stage wrote it; nothing to load
  if (scheme.size() == 1)         // a drive letter: only our own copies may be loaded
    return false;
  if (scheme == L"file") {
    // The same copies as a file URL ("file:///C:/..."), the form an engine may write back.
    std::wstring_view path = std::wstring_view(cleaned).substr(delimiter + 1);
    size_t slashes = 0;
    while (slashes < 3 && slashes < path.size() && path[slashes] == L'/')
      ++slashes;
    return use == UrlUse::kResource && slashes >= 2 && IsOwnCopy(path.substr(slashes));
  }
  if (use == UrlUse::kLink)
    return OneOf(kLinkSchemes, scheme);
  if (scheme == L"cid")
    return true;
  if (OneOf(kRemoteSchemes, scheme))
    return remoteAllowed();
  if (scheme != L"data")
    return false;
  const std::wstring type = ToLowerAscii(std::wstring_view(cleaned).substr(delimiter + 1));
  for (std::wstring_view image : kImageData) {
    if (type.compare(0, image.size(), image) == 0 && type.size() > image.size() &&
        (type[image.size()] == L';' || type[image.size()] == L',')) {
      return true;
    }
  }
  return false;
}

bool UrlPolicy::IsOwnCopy(std::wstring_view path) const {
  if (m_localFiles.empty() || !EqualsIgnoreCase(path.substr(0, m_localFiles.size()), m_localFiles))
    return false;
  const std::wstring_view below = path.substr(m_localFiles.size());
  return !Contains(below, L"..") && below.find(L'%') == std::wstring_view::npos;
}

}  // namespace tp
