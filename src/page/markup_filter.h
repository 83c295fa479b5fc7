// The last stage of making a message's HTML safe: the markup is read again, token by token,
// and written in one canonical form (names in lower case, every attribute value quoted and
// escaped, no text that a browser could read as markup) without anything that can run script
// or change where the page's links point:
// - script, frame, object, embed and applet elements, base, meta and link, foreign (SVG and
//   MathML) roots, old browsers' data islands and imports, and animation elements (SVG's and
//   HTML+TIME's under any prefix);
// - event attributes, data binding, srcdoc, timing and animation attributes, URLs the
//   UrlPolicy refuses, and any value that names a script URL or a network path in any of its
//   items (url_scan.h); where the policy blocks remote content, also any value that a browser
//   might load and that names a remote location (words shown as text, like a title, stay);
// - style elements and attributes that fail the style checks (css_filter.h);
// - comments, except the conditional comments of Office and old Internet Explorer, whose
//   content an old browser shows and which is therefore made safe the same way.
// Ordinary mail (text, tables, images, inline styles, web and mail links) comes through as
// it was.
#pragma once

#include <string>
#include <string_view>

#include "page/url_policy.h"

namespace tp {

class MarkupFilter {
 public:
  explicit MarkupFilter(UrlPolicy urls) : m_urls(std::move(urls)) {}

  // The body's markup, safe.
  std::wstring FilterBody(std::wstring_view html) const;
  // The same, appended to *out.
  void AppendFilteredBody(std::wstring_view html, std::wstring* out) const;
  // A style element set aside for the page's head: "<style>" + its text + "</style>" when
  // it is one style element whose text is safe; empty otherwise.
  std::wstring FilterHeadStyle(std::wstring_view element) const;

 private:
  class Pass;

  UrlPolicy m_urls;
};

}  // namespace tp
