// The static page: a message's own HTML made safe to show in the hosted browser. FixupHtml
// points inline images at the local copies of the message's attachments and switches Office
// conditional comments to their fallbacks; SanitizeHtml neutralises dangerous markup, has the
// HTML engine parse the rest with scripting off, strips what the engine still finds, filters
// the engine's markup once more (markup_filter.h) and wraps the body in a fixed head.
#pragma once

#include <map>
#include <string>
#include <string_view>

#include "base/hresult.h"
#include "page/markup_filter.h"
#include "page/url_policy.h"

namespace tp {

// The heads of Word-written mail: the add-in's STYLE resources 226 (Word 2007) and 225 (Word
// 2010, with the VML behaviours).
struct PageHeads {
  std::wstring word2007;
  std::wstring word2010;
};

// The heads from the add-in's resources (each empty when missing).
PageHeads LoadPageHeads();

enum class WordLayout { kPlain, kWord2007, kWord2010 };

// The head of a page that Word did not write.
std::wstring PlainHead();
// The style that lays out the maker's container in the page.
inline constexpr wchar_t kLayoutStyle[] =
    L"<style rel=\"stylesheet\" type=\"text/css\" media=\"screen\" >.iorev-iframe { } "
    L"#tidepost-container { overflow: visible; } #tidebar { width: 100%; }</style>";

// Content id (without angle brackets) to the full path of the attachment's local copy.
using ContentMap = std::map<std::wstring, std::wstring>;

// Whether a content id can be looked for in the page: not empty and without "cid:" in it.
bool IsUsableContentId(std::wstring_view contentId);

// Replaces "cid:" + content id by the copy's path with forward slashes (where one content id
// begins another, the longest that matches), then switches "<![if !vml]>" and
// "<!--[if !mso]>" on and "<!--[if gte vml 1]>" and "<!--[if gte mso 9]>" off.
void FixupHtml(std::wstring* html, const ContentMap& contentMap);

WordLayout DetectWordLayout(std::wstring_view html);

// Renames every event attribute that the engine wrote, with the white space before it
// (" onclick=" becomes " ap_denied="), as the expression \son\w+= matches them.
void RenameEventAttributes(std::wstring* html);

class HtmlSanitizer {
 public:
  HtmlSanitizer(const PageHeads& heads, UrlPolicy urls);

  // Writes the page for `html` to `page`. Without the HTML engine, or when the engine will
  // not take the text, the page is left as it was and the result is the failure.
  HResult SanitizeHtml(std::wstring html, std::wstring* page) const;

 private:
  const PageHeads& m_heads;
  MarkupFilter m_filter;
};

}  // namespace tp
