// Filtering markup token by token.
#include "page/markup_filter.h"

#include <algorithm>
#include <iterator>
#include <optional>
#include <string_view>
#include <unordered_map>
#include <unordered_set>
#include <utility>

#include "base/html_tokenizer.h"
#include "base/markup_escape.h"
#include "base/text.h"
#include "page/css_filter.h"
#include "page/url_scan.h"

namespace tp {
namespace {

enum class ElementRule {
  kKeep,
  kDropTag,          // the tags go, the content stays
  kDropWithContent,  // its text content goes too
  kAsPre,            // xmp and plaintext: their text, shown as written, in a pre element
  kStyle,            // kept only when its text passes the style checks
};

// Elements that run, embed or load something, change the page's base or head, or switch a
// browser into another kind of content. Their tags go wherever they appear, also under a
// namespace prefix ("x:script").
constexpr std::wstring_view kDroppedElements[] = {
    L"script", L"iframe", L"frame",    L"frameset", L"noembed",   L"noframes",
    L"object", L"embed",  L"applet",   L"param",    L"base",      L"meta",
    L"link",   L"style",  L"html",     L"head",     L"bgsound",   L"isindex",
    L"keygen", L"svg",    L"math",     L"xml",      L"import",    L"layer",
    L"ilayer", L"portal", L"template", L"xmp",      L"plaintext", L"form"};

// Animation elements, which write values into other elements' attributes (a link's href, an
// element's innerHTML) while the page is shown: SVG's, whatever their prefix, and old
// Internet Explorer's timed elements (HTML+TIME), which always have one ("t:set").
constexpr std::wstring_view kAnimationElements[] = {
    L"set",     L"animate", L"animatecolor", L"animatemotion", L"animatetransform",
    L"discard", L"mpath"};
constexpr std::wstring_view kTimedElements[] = {L"animation",
                                                L"audio",
                                                L"excl",
                                                L"img",
                                                L"media",
                                                L"par",
                                                L"priorityclass",
                                                L"ref",
                                                L"seq",
                                                L"switch",
                                                L"transitionfilter",
                                                L"video"};

constexpr std::wstring_view kDroppedAttributes[] = {
    L"srcdoc",   L"datasrc",    L"datafld",        L"dataformatas", L"datapagesize", L"ping",
    L"codebase", L"classid",    L"archive",        L"code",         L"profile",      L"manifest",
    L"base",     L"http-equiv", L"implementation", L"behavior"};
// The timing and animation attributes: what to animate (an attribute, innerHTML), the values
// written into it, and when. Whatever carries them, they go.
constexpr std::wstring_view kTimingAttributes[] = {L"attributename",
                                                   L"attributetype",
                                                   L"to",
                                                   L"from",
                                                   L"by",
                                                   L"values",
                                                   L"keytimes",
                                                   L"keysplines",
                                                   L"keypoints",
                                                   L"calcmode",
                                                   L"additive",
                                                   L"accumulate",
                                                   L"targetelement",
                                                   L"begin",
                                                   L"end",
                                                   L"dur",
                                                   L"repeat",
                                                   L"repeatcount",
                                                   L"repeatdur",
                                                   L"restart",
                                                   L"beginevent",
                                                   L"endevent",
                                                   L"beginwith",
                                                   L"beginafter",
                                                   L"endsync",
                                                   L"endhold",
                                                   L"eventrestart",
                                                   L"timeaction",
                                                   L"timecontainer",
                                                   L"timeline",
                                                   L"timestartrule",
                                                   L"syncbehavior",
                                                   L"syncmaster",
                                                   L"synctolerance",
                                                   L"autoreverse",
                                                   L"accelerate",
                                                   L"decelerate",
                                                   L"speed",
                                                   L"clipbegin",
                                                   L"clipend",
                                                   L"player"};
// Followed only when clicked. An href is a link on a and area; anywhere else (an image's,
// a VML shape's o:href, xlink:href) it is loaded.
constexpr std::wstring_view kLinkAttributes[] = {L"action", L"formaction", L"folder", L"longdesc",
                                                 L"cite"};
constexpr std::wstring_view kResourceAttributes[] = {
    L"src", L"lowsrc", L"dynsrc", L"background", L"poster", L"data", L"icon", L"vrml", L"usemap"};
constexpr std::wstring_view kResourceListAttributes[] = {L"srcset", L"imagesrcset"};
// Shown as text, never loaded: any words may stay in them (a link's title may be its address).
constexpr std::wstring_view kTextAttributes[] = {L"alt", L"title"};

bool IsNameStart(wchar_t ch) {
  return (ch >= L'a' && ch <= L'z');
}
bool IsNameCharacter(wchar_t ch) {
  return IsNameStart(ch) || (ch >= L'0' && ch <= L'9') || ch == L':' || ch == L'.' || ch == L'-' ||
         ch == L'_';
}

// Element names we write: a letter, then letters, digits and ":.-_", not ending in '-' (so
// that no tag we write holds "-->").
bool IsWritableElementName(std::wstring_view name) {
  return !name.empty() && IsNameStart(name[0]) && name.back() != L'-' &&
         std::all_of(name.begin(), name.end(), IsNameCharacter);
}

bool IsWritableAttributeName(std::wstring_view name) {
  return !name.empty() && (IsNameStart(name[0]) || name[0] == L'_' || name[0] == L':') &&
         std::all_of(name.begin(), name.end(), IsNameCharacter);
}

std::wstring_view LocalName(std::wstring_view name) {
  const size_t colon = name.rfind(L':');
  return colon == std::wstring_view::npos ? name : name.substr(colon + 1);
}

ElementRule RuleFor(std::wstring_view name) {
  if (!IsWritableElementName(name))
    return ElementRule::kDropTag;
  // The content of noscript is never shown where the page runs (scripting on reads it as
  // text), and what the engine parsed inside it as markup is not what such a browser reads.
  static const std::unordered_map<std::wstring_view, ElementRule> kByName = {
      {L"script", ElementRule::kDropWithContent},   {L"iframe", ElementRule::kDropWithContent},
      {L"noembed", ElementRule::kDropWithContent},  {L"noframes", ElementRule::kDropWithContent},
      {L"noscript", ElementRule::kDropWithContent}, {L"xmp", ElementRule::kAsPre},
      {L"plaintext", ElementRule::kAsPre},          {L"style", ElementRule::kStyle}};
  static const std::unordered_set<std::wstring_view> kDropped = [] {
    std::unordered_set<std::wstring_view> names(std::begin(kDroppedElements),
                                                std::end(kDroppedElements));
    names.insert(std::begin(kAnimationElements), std::end(kAnimationElements));
    return names;
  }();
  static const std::unordered_set<std::wstring_view> kTimed(std::begin(kTimedElements),
                                                            std::end(kTimedElements));
  if (const auto found = kByName.find(name); found != kByName.end())
    return found->second;
  const std::wstring_view local = LocalName(name);
  return kDropped.count(local) != 0 || (local.size() != name.size() && kTimed.count(local) != 0)
             ? ElementRule::kDropTag
             : ElementRule::kKeep;
}

enum class AttributeKind { kOther, kText, kDropped, kStyle, kLink, kResource, kResourceList };

// By the attribute's name alone.
AttributeKind KindByName(std::wstring_view name) {
  static const std::unordered_map<std::wstring_view, AttributeKind> kKinds = [] {
    std::unordered_map<std::wstring_view, AttributeKind> kinds;
    for (std::wstring_view attribute : kDroppedAttributes)
      kinds.emplace(attribute, AttributeKind::kDropped);
    for (std::wstring_view attribute : kTimingAttributes)
      kinds.emplace(attribute, AttributeKind::kDropped);
    for (std::wstring_view attribute : kTextAttributes)
      kinds.emplace(attribute, AttributeKind::kText);
    for (std::wstring_view attribute : kLinkAttributes)
      kinds.emplace(attribute, AttributeKind::kLink);
    for (std::wstring_view attribute : kResourceAttributes)
      kinds.emplace(attribute, AttributeKind::kResource);
    for (std::wstring_view attribute : kResourceListAttributes)
      kinds.emplace(attribute, AttributeKind::kResourceList);
    kinds.emplace(L"style", AttributeKind::kStyle);
    return kinds;
  }();
  const auto found = kKinds.find(name);
  return found == kKinds.end() ? AttributeKind::kOther : found->second;
}

// The attribute `name` of the element `element`: dropped when its whole name or its local
// name (after a prefix: "x:onclick", "xml:base") is to be dropped, else by its local name.
AttributeKind KindOf(std::wstring_view element, std::wstring_view name) {
  const std::wstring_view local = LocalName(name);
  if (name.substr(0, 2) == L"on" || local.substr(0, 2) == L"on" ||
      KindByName(name) == AttributeKind::kDropped) {
    return AttributeKind::kDropped;
  }
  if (local == L"href")
    return name == L"href" && (element == L"a" || element == L"area") ? AttributeKind::kLink
                                                                      : AttributeKind::kResource;
  return KindByName(local);
}

// Every URL of a srcset value ("a.png 1x, b.png 2x").
bool AllowsUrlList(std::wstring_view value, const UrlPolicy& urls) {
  if (Contains(ToLowerAscii(value), L"data:"))
    return false;  // its commas would split the list differently
  for (const std::wstring& candidate : SplitSkippingEmpty(value, L',')) {
    // The URL runs to the first white space; read whole, as a browser that took the white
    // space out would, it must pass too.
    const std::wstring_view trimmed = Trim(candidate);
    const size_t space = trimmed.find_first_of(L" \t\r\n\f");
    std::wstring whole(trimmed);
    std::erase_if(whole, [](wchar_t ch) { return IsSpace(ch); });
    if (!urls.Allows(trimmed.substr(0, space), UrlUse::kResource) ||
        !urls.Allows(whole, UrlUse::kResource)) {
      return false;
    }
  }
  return true;
}

// An Office or old Internet Explorer condition: "mso", "gte mso 9", "(gte mso 9)|(IE)".
bool IsPlainCondition(std::wstring_view condition) {
  if (Trim(condition).empty() || condition.size() > 200)
    return false;
  return std::all_of(condition.begin(), condition.end(), [](wchar_t ch) {
    return (ch >= L'a' && ch <= L'z') || (ch >= L'A' && ch <= L'Z') || (ch >= L'0' && ch <= L'9') ||
           ch == L' ' || ch == L'!' || ch == L'(' || ch == L')' || ch == L'&' || ch == L'|' ||
           ch == L'.';
  });
}

// "[if CONDITION]" at the start of `data`: the condition and what follows the ']'.
bool ReadCondition(std::wstring_view data, std::wstring_view* condition, std::wstring_view* rest) {
  if (data.size() < 5 || !EqualsIgnoreAsciiCase(data.substr(0, 3), L"[if") ||
      (data[3] != L' ' && data[3] != L'\t')) {
    return false;
  }
  const size_t close = data.find(L']');
  if (close == std::wstring_view::npos)
    return false;
  *condition = Trim(data.substr(4, close - 4));
  *rest = data.substr(close + 1);
  return IsPlainCondition(*condition);
}

}  // namespace

// One run of the filter over some markup.
class MarkupFilter::Pass {
 public:
  // `nested`: the content of a conditional comment, which may hold no comment itself.
  Pass(const MarkupFilter& filter, std::wstring_view html, bool nested, std::wstring* out)
      : m_filter(filter), m_tokenizer(html), m_nested(nested), m_out(*out) {}

  void Run() {
    HtmlToken token;
    while (NextToken(&token)) {
      switch (token.kind) {
        case HtmlTokenKind::kText:
          // Character references in text (and in textarea and title) mean what they said.
          AppendEscapedText(&m_out, token.text, /*ampersands=*/false);
          break;
        case HtmlTokenKind::kStartTag:
          StartTag(token);
          break;
        case HtmlTokenKind::kEndTag:
          EndTag(token);
          break;
        case HtmlTokenKind::kComment:
          Comment(token.text);
          break;
        case HtmlTokenKind::kBogusComment:
          BogusComment(token.text);
          break;
        case HtmlTokenKind::kDoctype:
          break;
      }
    }
  }

 private:
  bool NextToken(HtmlToken* token) {
    if (m_pending) {
      *token = std::move(*m_pending);
      m_pending.reset();
      return true;
    }
    return m_tokenizer.Next(token);
  }

  // After the start tag of an element with text content: that text, and its end tag taken
  // too when it follows.
  std::wstring_view TextContent(std::wstring_view name) {
    HtmlToken token;
    std::wstring_view content;
    if (!NextToken(&token))
      return content;
    if (token.kind == HtmlTokenKind::kText && token.rawText) {
      content = token.text;
      if (!NextToken(&token))
        return content;
    }
    if (token.kind != HtmlTokenKind::kEndTag || token.name != name)
      m_pending = std::move(token);
    return content;
  }

  void StartTag(const HtmlToken& token) {
    switch (RuleFor(token.name)) {
      case ElementRule::kKeep:
        if (token.name == L"body" && (m_nested || std::exchange(m_bodySeen, true)))
          return;
        m_out += L'<';
        m_out += token.name;
        AppendAttributes(token);
        m_out += token.selfClosing ? L"/>" : L">";
        return;
      case ElementRule::kDropTag:
        return;
      case ElementRule::kDropWithContent:
        (void)TextContent(token.name);
        return;
      case ElementRule::kAsPre:
        m_out += L"<pre>";
        AppendEscapedText(&m_out, TextContent(token.name));
        m_out += L"</pre>";
        return;
      case ElementRule::kStyle: {
        const std::wstring_view css = TextContent(token.name);
        if (IsSafeStyleSheet(css)) {
          m_out += L"<style>";
          m_out += css;
          m_out += L"</style>";
        }
        return;
      }
    }
  }

  void EndTag(const HtmlToken& token) {
    if (RuleFor(token.name) != ElementRule::kKeep || (m_nested && token.name == L"body"))
      return;
    m_out += L"</";
    m_out += token.name;
    m_out += L'>';
  }

  void AppendAttributes(const HtmlToken& token) {
    const UrlPolicy& urls = m_filter.m_urls;
    for (const HtmlAttribute& attribute : token.attributes) {
      if (!IsWritableAttributeName(attribute.name))
        continue;
      const AttributeKind kind = KindOf(token.name, attribute.name);
      if (kind == AttributeKind::kDropped)
        continue;
      std::optional<std::wstring> filtered;
      std::wstring_view value = attribute.value;
      // A style is checked declaration by declaration; any other value goes whole when it
      // names a script or a network path anywhere, and, where remote content is blocked,
      // when an attribute that is neither text nor a link to click (an href of a or area)
      // names anything remote.
      if (kind != AttributeKind::kStyle) {
        const UrlScan scan = ScanUrls(value);
        const bool mayLoad = kind != AttributeKind::kText &&
                             !(kind == AttributeKind::kLink && attribute.name == L"href");
        if (scan.scriptUrl || scan.networkPath ||
            (mayLoad && scan.remote && !urls.remoteAllowed())) {
          continue;
        }
      }
      bool allowed = true;
      switch (kind) {
        case AttributeKind::kStyle:
          filtered = FilterStyleAttribute(value, urls);
          allowed = filtered.has_value();
          if (allowed)
            value = *filtered;
          break;
        case AttributeKind::kLink:
          allowed = urls.Allows(value, UrlUse::kLink);
          break;
        case AttributeKind::kResource:
          allowed = urls.Allows(value, UrlUse::kResource);
          break;
        case AttributeKind::kResourceList:
          allowed = AllowsUrlList(value, urls);
          break;
        case AttributeKind::kDropped:
        case AttributeKind::kText:
        case AttributeKind::kOther:
          break;
      }
      if (!allowed)
        continue;
      m_out += L' ';
      m_out += attribute.name;
      m_out += L"=\"";
      AppendEscapedAttribute(&m_out, value);
      m_out += L'"';
    }
  }

  // Conditional comments: "<!--[if C]>content<![endif]-->" holds markup that old Internet
  // Explorer shows when C holds; "<!--[if C]><!-->" and "<!--<![endif]-->" bracket markup
  // that every browser reads. The first is kept with its content made safe, unless C is
  // "false"; the brackets are kept as they are; every other comment goes.
  void Comment(std::wstring_view data) {
    if (m_nested)
      return;
    std::wstring_view condition;
    std::wstring_view rest;
    if (data == L"<![endif]") {
      m_out += L"<!--<![endif]-->";
      return;
    }
    if (!ReadCondition(data, &condition, &rest) || rest.empty() || rest[0] != L'>')
      return;
    rest.remove_prefix(1);
    if (rest == L"<!" || (rest.substr(0, 4) == L"<!--" && Trim(rest.substr(4)).empty())) {
      m_out += L"<!--[if ";
      m_out += condition;
      m_out += L"]><!-->";
      return;
    }
    constexpr std::wstring_view kEnd = L"<![endif]";
    if (rest.size() < kEnd.size() || rest.substr(rest.size() - kEnd.size()) != kEnd ||
        EqualsIgnoreAsciiCase(condition, L"false")) {
      return;
    }
    m_out += L"<!--[if ";
    m_out += condition;
    m_out += L"]>";
    Pass(m_filter, rest.substr(0, rest.size() - kEnd.size()), /*nested=*/true, &m_out).Run();
    m_out += L"<![endif]-->";
  }

  // "<![if C]>" and "<![endif]>" bracket markup that every browser but old Internet Explorer
  // (when C fails) shows; they are kept, every other bogus comment goes.
  void BogusComment(std::wstring_view data) {
    if (m_nested)
      return;
    std::wstring_view condition;
    std::wstring_view rest;
    if (data == L"[endif]") {
      m_out += L"<![endif]>";
    } else if (ReadCondition(data, &condition, &rest) && rest.empty()) {
      m_out += L"<![if ";
      m_out += condition;
      m_out += L"]>";
    }
  }

  const MarkupFilter& m_filter;
  HtmlTokenizer m_tokenizer;
  bool m_nested;
  std::wstring& m_out;
  std::optional<HtmlToken> m_pending;
  bool m_bodySeen = false;
};

std::wstring MarkupFilter::FilterBody(std::wstring_view html) const {
  std::wstring out;
  AppendFilteredBody(html, &out);
  return out;
}

void MarkupFilter::AppendFilteredBody(std::wstring_view html, std::wstring* out) const {
  out->reserve(out->size() + html.size() + html.size() / 8);
  Pass(*this, html, /*nested=*/false, out).Run();
}

std::wstring MarkupFilter::FilterHeadStyle(std::wstring_view element) const {
  HtmlTokenizer tokenizer(element);
  HtmlToken token;
  if (!tokenizer.Next(&token) || token.kind != HtmlTokenKind::kStartTag || token.name != L"style")
    return {};
  std::wstring_view css;
  if (!tokenizer.Next(&token))
    return {};
  if (token.kind == HtmlTokenKind::kText && token.rawText) {
    css = token.text;
    if (!tokenizer.Next(&token))
      return {};
  }
  if (token.kind != HtmlTokenKind::kEndTag || token.name != L"style" || tokenizer.Next(&token) ||
      !IsSafeStyleSheet(css)) {
    return {};
  }
  return L"<style>" + std::wstring(css) + L"</style>";
}

}  // namespace tp
