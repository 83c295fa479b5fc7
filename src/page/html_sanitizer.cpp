// Building the static page.
#include "page/html_sanitizer.h"

#include <algorithm>
#include <memory>
#include <utility>
#include <vector>

#include "base/text.h"
#include "host/codec.h"
#include "host/host.h"
#include "host/html.h"
#include "host/resources.h"
#include "page/markup_neutraliser.h"
#include "platform/configuration.h"
#include "platform/log.h"

namespace tp {
namespace {

constexpr std::wstring_view kWordStart = L"<html xmlns:v=\"urn:schemas-microsoft-com:vml\"";
constexpr std::wstring_view kWord2007Generator = L"name=Generator content=\"Microsoft Word 12";

// Office conditional comments, switched so that the VML and Office-only branches are off and
// their fallbacks on.
constexpr std::pair<std::wstring_view, std::wstring_view> kConditionSwitches[] = {
    {L"<![if !vml]>", L"<![if true]>"},
    {L"<!--[if gte vml 1]>", L"<!--[if false]>"},
    {L"<!--[if !mso]>", L"<!--[if true]>"},
    {L"<!--[if gte mso 9]>", L"<!--[if false]>"},
};

// What the engine may leave of the elements it was asked to remove.
constexpr std::wstring_view kEmptiedElements[] = {L"script", L"embed", L"object", L"style"};

constexpr host::HtmlCollection kStrippedCollections[] = {
    host::HtmlCollection::kScripts, host::HtmlCollection::kEmbeds, host::HtmlCollection::kForms,
    host::HtmlCollection::kApplets, host::HtmlCollection::kPlugins};

void ReplaceAll(std::wstring* text, std::wstring_view from, std::wstring_view to) {
  size_t at = text->find(from);
  if (at == std::wstring::npos)
    return;
  std::wstring out;
  out.reserve(text->size());
  size_t done = 0;
  for (; at != std::wstring::npos; at = text->find(from, done)) {
    out.append(*text, done, at - done);
    out.append(to);
    done = at + from.size();
  }
  out.append(*text, done, std::wstring::npos);
  text->swap(out);
}

// Whether `markup` begins at `at`; most tags differ from it in their first letter already.
bool MarkupAt(const std::wstring& text, size_t at, const std::wstring& markup) {
  return at + 1 < text.size() && text[at + 1] == markup[1] &&
         text.compare(at, markup.size(), markup) == 0;
}

// Takes out every empty script, embed, object and style element as the engine writes them,
// one element after the other (what one removal joins, a later one takes out).
void RemoveEmptiedElements(host::HtmlDocument& document, std::wstring* body) {
  std::vector<std::wstring> markups;
  for (std::wstring_view element : kEmptiedElements) {
    if (std::wstring markup = document.EmptyElementMarkup(element); markup.size() >= 2)
      markups.push_back(std::move(markup));
  }
  // One look for any of them first: a body without them is left after a single sweep.
  bool any = false;
  for (size_t at = body->find(L'<'); at != std::wstring::npos && !any;
       at = body->find(L'<', at + 1)) {
    for (const std::wstring& markup : markups)
      any = any || MarkupAt(*body, at, markup);
  }
  if (!any)
    return;
  for (const std::wstring& markup : markups) {
    std::wstring out;
    size_t done = 0;
    for (size_t at = body->find(L'<'); at != std::wstring::npos; at = body->find(L'<', at + 1)) {
      if (!MarkupAt(*body, at, markup))
        continue;
      if (out.empty())
        out.reserve(body->size());
      out.append(*body, done, at - done);
      done = at + markup.size();
      at = done - 1;
    }
    if (done == 0)
      continue;
    out.append(*body, done, std::wstring::npos);
    body->swap(out);
  }
}

// The content ids, sorted, with the paths that replace their references.
using Replacements = std::vector<std::pair<std::wstring, std::wstring>>;

// The longest content id that `text` starts with; -1 when none. The ids sharing the prefix
// read so far stay a range of the sorted list, narrowed by one character at a time.
int LongestIdAt(std::wstring_view text, const Replacements& ids) {
  size_t low = 0;
  size_t high = ids.size();
  int longest = -1;
  for (size_t depth = 0; low < high; ++depth) {
    if (ids[low].first.size() == depth)  // shorter ids sort first
      longest = static_cast<int>(low++);
    if (depth >= text.size() || low >= high)
      break;
    const wchar_t ch = text[depth];
    auto first = ids.begin() + static_cast<ptrdiff_t>(low);
    auto last = ids.begin() + static_cast<ptrdiff_t>(high);
    first = std::partition_point(first, last, [&](const auto& id) { return id.first[depth] < ch; });
    last = std::partition_point(first, last, [&](const auto& id) { return id.first[depth] == ch; });
    low = static_cast<size_t>(first - ids.begin());
    high = static_cast<size_t>(last - ids.begin());
  }
  return longest;
}

void ReplaceContentIds(std::wstring* html, const ContentMap& contentMap) {
  Replacements ids;
  for (const auto& [contentId, path] : contentMap) {
    if (!IsUsableContentId(contentId))
      continue;
    std::wstring url = path;
    std::replace(url.begin(), url.end(), L'\\', L'/');
    ids.emplace_back(contentId, std::move(url));
  }
  constexpr std::wstring_view kScheme = L"cid:";
  size_t at = html->find(kScheme);
  if (ids.empty() || at == std::wstring::npos)
    return;
  std::wstring out;
  out.reserve(html->size());
  size_t done = 0;
  for (; at != std::wstring::npos; at = html->find(kScheme, at)) {
    const size_t idStart = at + kScheme.size();
    const int id = LongestIdAt(std::wstring_view(*html).substr(idStart), ids);
    if (id < 0) {
      at = idStart;
      continue;
    }
    out.append(*html, done, at - done);
    out.append(ids[static_cast<size_t>(id)].second);
    done = idStart + ids[static_cast<size_t>(id)].first.size();
    at = done;
  }
  out.append(*html, done, std::wstring::npos);
  html->swap(out);
}

// ECMAScript's \s.
bool IsScriptSpace(wchar_t ch) {
  return ch == L' ' || (ch >= L'\t' && ch <= L'\r') || ch == 0xA0 || ch == 0x1680 ||
         (ch >= 0x2000 && ch <= 0x200A) || ch == 0x2028 || ch == 0x2029 || ch == 0x202F ||
         ch == 0x205F || ch == 0x3000 || ch == 0xFEFF;
}

bool IsWordCharacter(wchar_t ch) {
  return (ch >= L'a' && ch <= L'z') || (ch >= L'A' && ch <= L'Z') || (ch >= L'0' && ch <= L'9') ||
         ch == L'_';
}

std::wstring LoadStyleHead(int id) {
  std::optional<std::string> bytes = host::resources().Load(L"STYLE", id);
  if (!bytes)
    return {};
  return host::codec().ToWide(host::kCodePageAnsi, *bytes);
}

}  // namespace

PageHeads LoadPageHeads() {
  return PageHeads{LoadStyleHead(226), LoadStyleHead(225)};
}

std::wstring PlainHead() {
  return L"<html><head><meta http-equiv=\"X-UA-Compatible\" content=\"IE=8\"><meta "
         L"http-equiv=Content-Type content=\"text/html; charset=utf8\"><base target=\"_blank\" "
         L"href=\"" +
         std::wstring(config::kMakerWebRoot) + L"\"></head>";
}

bool IsUsableContentId(std::wstring_view contentId) {
  return !contentId.empty() && !Contains(contentId, L"cid:");
}

void FixupHtml(std::wstring* html, const ContentMap& contentMap) {
  ReplaceContentIds(html, contentMap);
  for (const auto& [from, to] : kConditionSwitches)
    ReplaceAll(html, from, to);
}

WordLayout DetectWordLayout(std::wstring_view html) {
  if (html.substr(0, kWordStart.size()) != kWordStart)
    return WordLayout::kPlain;
  return Contains(html, kWord2007Generator) ? WordLayout::kWord2007 : WordLayout::kWord2010;
}

void RenameEventAttributes(std::wstring* html) {
  constexpr std::wstring_view kRenamed = L" ap_denied=";
  std::wstring out;
  size_t done = 0;
  for (size_t at = 0; at + 4 < html->size(); ++at) {
    if (!IsScriptSpace((*html)[at]) || ((*html)[at + 1] | 0x20) != L'o' ||
        ((*html)[at + 2] | 0x20) != L'n' || !IsWordCharacter((*html)[at + 3])) {
      continue;
    }
    size_t end = at + 4;
    while (end < html->size() && IsWordCharacter((*html)[end]))
      ++end;
    if (end >= html->size() || (*html)[end] != L'=') {
      at = end - 1;  // no match can start inside the word
      continue;
    }
    if (out.empty())
      out.reserve(html->size());
    out.append(*html, done, at - done);
    out.append(kRenamed);
    done = end + 1;
    at = end;
  }
  if (done == 0)
    return;
  out.append(*html, done, std::wstring::npos);
  html->swap(out);
}

HtmlSanitizer::HtmlSanitizer(const PageHeads& heads, UrlPolicy urls)
    : m_heads(heads), m_filter(std::move(urls)) {}

HResult HtmlSanitizer::SanitizeHtml(std::wstring html, std::wstring* page) const {
  std::unique_ptr<host::HtmlDocument> document = host::html().CreateDocument();
  if (!document) {
    WriteLog(L"Failed to create HTMLDocument instance");
    return hr::kNoInterface;
  }
  const WordLayout layout = DetectWordLayout(html);
  std::vector<std::wstring> styles;
  NeutraliseMarkup(&html, &styles);
  if (const HResult written = document->Write(html); hr::Failed(written)) {
    WriteLogFormat(L"Failed writing the message into the HTML document. Result=%xx", written);
    return written;
  }
  for (host::HtmlCollection collection : kStrippedCollections)
    document->RemoveAll(collection);
  std::optional<std::wstring> body = document->BodyOuterHtml();
  if (!body) {
    *page = L"<html></html>";
    return hr::kOk;
  }
  RemoveEmptiedElements(*document, &*body);
  RenameEventAttributes(&*body);
  std::wstring head = layout == WordLayout::kWord2007   ? m_heads.word2007
                      : layout == WordLayout::kWord2010 ? m_heads.word2010
                                                        : PlainHead();
  std::wstring headStyles;
  for (const std::wstring& style : styles)
    headStyles += m_filter.FilterHeadStyle(style);
  headStyles += kLayoutStyle;
  if (const size_t headEnd = head.find(L"</head"); headEnd != std::wstring::npos)
    head.insert(headEnd, headStyles);
  *page = std::move(head);
  m_filter.AppendFilteredBody(*body, page);
  *page += L"</html>";
  return hr::kOk;
}

}  // namespace tp
