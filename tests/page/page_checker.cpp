// The page check, over gumbo's tree.
#include "page_checker.h"

#include <gumbo.h>

#include <algorithm>
#include <cctype>
#include <iterator>
#include <string_view>

namespace tp::testing {
namespace {

constexpr std::string_view kActiveElements[] = {"script", "iframe", "frame",  "frameset",
                                                "object", "embed",  "applet", "base",
                                                "meta",   "link",   "form"};
constexpr std::string_view kUrlAttributes[] = {
    "href",   "src",  "action", "formaction", "background", "poster", "lowsrc",
    "dynsrc", "data", "cite",   "longdesc",   "folder",     "icon",   "srcset"};
constexpr std::string_view kAllowedSchemes[] = {
    "http", "https", "mailto", "ftp", "tel", "cid", "data", "jxavascript", "vxbscript", "vxbs"};
// Animation writes into other attributes; HTML+TIME's elements animate under any prefix.
constexpr std::string_view kAnimationElements[] = {
    "set", "animate", "animatecolor", "animatemotion", "animatetransform", "discard"};
constexpr std::string_view kTimedElements[] = {
    "par", "seq", "excl", "media", "img", "audio", "video", "animation", "transitionfilter", "ref"};
constexpr std::string_view kTimingAttributes[] = {
    "attributename", "to",  "from",          "by",         "values",       "begin",
    "end",           "dur", "targetelement", "timeaction", "timecontainer"};
// Loaded with the page, wherever they stand (href: anywhere but on a and area).
constexpr std::string_view kLoadedAttributes[] = {"src",    "lowsrc", "dynsrc", "background",
                                                  "poster", "data",   "icon",   "vrml"};
// Shown, never loaded.
constexpr std::string_view kTextAttributes[] = {"alt", "title"};

template <size_t N>
bool OneOf(const std::string_view (&list)[N], std::string_view value) {
  return std::find(std::begin(list), std::end(list), value) != std::end(list);
}

std::string Lower(std::string text) {
  for (char& ch : text)
    ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return text;
}

// The scheme as a browser finds it (control characters and spaces around, and tabs and line
// breaks inside, do not count); empty for a URL relative to the page.
std::string SchemeOf(const std::string& url) {
  size_t begin = 0;
  size_t end = url.size();
  while (begin < end && static_cast<unsigned char>(url[begin]) <= ' ')
    ++begin;
  while (end > begin && static_cast<unsigned char>(url[end - 1]) <= ' ')
    --end;
  std::string cleaned;
  for (size_t i = begin; i < end; ++i) {
    if (url[i] != '\t' && url[i] != '\n' && url[i] != '\r')
      cleaned.push_back(url[i]);
  }
  const size_t delimiter = cleaned.find_first_of(":/?#");
  if (delimiter == std::string::npos || cleaned[delimiter] != ':' || delimiter == 0 ||
      !std::isalpha(static_cast<unsigned char>(cleaned[0]))) {
    return {};
  }
  for (size_t i = 0; i < delimiter; ++i) {
    const unsigned char ch = static_cast<unsigned char>(cleaned[i]);
    if (!std::isalnum(ch) && ch != '+' && ch != '-' && ch != '.')
      return {};
  }
  return Lower(cleaned.substr(0, delimiter));
}

std::string NameOf(const GumboNode& node) {
  if (node.v.element.tag != GUMBO_TAG_UNKNOWN)
    return gumbo_normalized_tagname(node.v.element.tag);
  GumboStringPiece original = node.v.element.original_tag;
  gumbo_tag_from_original_text(&original);
  return Lower(std::string(original.data, original.length));
}

std::string Squeezed(std::string_view text, bool keepSpaces) {
  std::string squeezed;
  for (char ch : text) {
    const unsigned char byte = static_cast<unsigned char>(ch);
    if (byte > ' ' || (keepSpaces && byte == ' '))
      squeezed.push_back(static_cast<char>(std::tolower(byte)));
  }
  return squeezed;
}

std::string WithoutCssComments(std::string_view css) {
  std::string out;
  size_t at = 0;
  while (at < css.size()) {
    const size_t open = css.find("/*", at);
    out.append(css.substr(at, open == std::string_view::npos ? css.size() - at : open - at));
    if (open == std::string_view::npos)
      break;
    const size_t close = css.find("*/", open + 2);
    at = close == std::string_view::npos ? css.size() : close + 2;
  }
  return out;
}

// A character of a scheme's name: a scheme does not start after one.
bool InsideScheme(char ch) {
  return std::isalnum(static_cast<unsigned char>(ch)) || ch == '+' || ch == '-' || ch == '.';
}

bool InsideUrl(char ch) {
  return std::isalnum(static_cast<unsigned char>(ch)) ||
         std::string_view(":/._~%+-").find(ch) != std::string_view::npos;
}

// Whether some item of the text names another host's share: a UNC path however slashed, a
// file URL without a drive, a filter. Spaces stay as separators, tabs and line breaks go.
bool NamesNetworkPath(std::string_view value) {
  std::string text;
  for (char ch : value) {
    if (ch != '\t' && ch != '\n' && ch != '\r')
      text.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(ch))));
  }
  if (Squeezed(text, false).find("progid") != std::string::npos)
    return true;
  for (size_t at = 0; at + 1 < text.size(); ++at) {
    const char first = text[at];
    const char second = text[at + 1];
    if ((first == '\\' && (second == '\\' || second == '/')) || (first == '/' && second == '\\'))
      return true;
    if (first == '/' && second == '/' && (at == 0 || !InsideUrl(text[at - 1])))
      return true;
  }
  for (size_t at = text.find("file:"); at != std::string::npos; at = text.find("file:", at + 1)) {
    if (at > 0 && InsideScheme(text[at - 1]))
      continue;
    size_t path = at + 5;
    for (int slashes = 0; slashes < 3 && path < text.size() && text[path] == '/'; ++slashes)
      ++path;
    if (!(path + 1 < text.size() && std::isalpha(static_cast<unsigned char>(text[path])) &&
          (text[path + 1] == ':' || text[path + 1] == '|'))) {
      return true;
    }
  }
  return false;
}

// Whether a URL that the page loads comes from elsewhere: an absolute web or FTP URL, a
// protocol-relative one, or one relative to the page's base (the maker's web site). The
// message's parts, inline images, drive paths and fragments are not.
bool LoadsRemote(const std::string& url) {
  const std::string squeezed = Squeezed(url, false);
  if (!squeezed.empty() && squeezed[0] == '#')
    return false;
  const std::string scheme = SchemeOf(url);
  if (scheme.empty())
    return true;  // relative to the base, or empty (an old engine loads the base itself)
  return scheme != "cid" && scheme != "data" && scheme.size() != 1 &&
         !(scheme == "file" && !NamesNetworkPath(url));
}

// Whether an item of the text is an absolute web or FTP URL or a protocol-relative one.
bool NamesRemoteItem(std::string_view value) {
  const std::string text = Squeezed(value, true);
  for (std::string_view scheme : {"http:", "https:", "ftp:"}) {
    for (size_t at = text.find(scheme); at != std::string::npos; at = text.find(scheme, at + 1)) {
      if (at == 0 || !InsideScheme(text[at - 1]))
        return true;
    }
  }
  for (size_t at = text.find("//"); at != std::string::npos; at = text.find("//", at + 1)) {
    if (at == 0 || !InsideUrl(text[at - 1]))
      return true;
  }
  return false;
}

// The arguments of every url() of a style, without quotes and spaces.
std::vector<std::string> CssUrls(std::string_view css) {
  const std::string text = Squeezed(WithoutCssComments(css), false);
  std::vector<std::string> urls;
  for (size_t at = text.find("url("); at != std::string::npos; at = text.find("url(", at + 1)) {
    const size_t close = text.find(')', at);
    std::string url =
        text.substr(at + 4, close == std::string::npos ? std::string::npos : close - at - 4);
    url.erase(
        std::remove_if(url.begin(), url.end(), [](char ch) { return ch == '"' || ch == '\''; }),
        url.end());
    urls.push_back(url);
  }
  return urls;
}

}  // namespace

std::vector<std::string> ActiveContentIn(const std::string& page, PageSender sender) {
  const bool remoteBlocked = sender == PageSender::kNotBranded;
  std::vector<std::string> found;
  GumboOutput* output = gumbo_parse_with_options(&kGumboDefaultOptions, page.data(), page.size());
  std::vector<const GumboNode*> pending{output->root};
  bool headBaseSeen = false;
  while (!pending.empty()) {
    const GumboNode* node = pending.back();
    pending.pop_back();
    if (node->type != GUMBO_NODE_ELEMENT && node->type != GUMBO_NODE_TEMPLATE)
      continue;
    const std::string name = NameOf(*node);
    const std::string local = name.substr(name.rfind(':') + 1);
    // The head's own meta and base elements are ours; any other is not.
    const bool inHead =
        node->parent->type == GUMBO_NODE_ELEMENT && node->parent->v.element.tag == GUMBO_TAG_HEAD;
    // The root's attributes are the head's namespaces: the filter writes no html tag.
    bool ours = node == output->root;
    if (inHead && (name == "meta" || (name == "base" && !headBaseSeen))) {
      headBaseSeen = headBaseSeen || name == "base";
      ours = true;
    } else if (OneOf(kActiveElements, local)) {
      found.push_back("element " + name);
    }
    if (node->v.element.tag_namespace != GUMBO_NAMESPACE_HTML)
      found.push_back("foreign element " + name);
    if (OneOf(kAnimationElements, local) || (local != name && OneOf(kTimedElements, local)))
      found.push_back("animation element " + name);
    const GumboVector& attributes = node->v.element.attributes;
    for (unsigned i = 0; i < (ours ? 0 : attributes.length); ++i) {
      const auto* attribute = static_cast<const GumboAttribute*>(attributes.data[i]);
      const std::string attributeName = Lower(attribute->name);
      const std::string value = attribute->value;
      const std::string localAttribute = attributeName.substr(attributeName.rfind(':') + 1);
      if (attributeName.rfind("on", 0) == 0)
        found.push_back("attribute " + attributeName);
      if (OneOf(kTimingAttributes, localAttribute))
        found.push_back("timing attribute " + attributeName);
      const bool isStyle = attributeName == "style";
      if (SchemeOf(value) != "data" &&
          NamesNetworkPath(isStyle ? WithoutCssComments(value) : value))
        found.push_back("network path " + attributeName + "=" + value);
      if (remoteBlocked) {
        const bool link = attributeName == "href" && (local == "a" || local == "area");
        bool remote = false;
        if (isStyle) {
          for (const std::string& url : CssUrls(value))
            remote = remote || LoadsRemote(url);
        } else if (attributeName == "srcset") {
          for (size_t start = 0; start <= value.size();) {
            size_t comma = value.find(',', start);
            if (comma == std::string::npos)
              comma = value.size();
            std::string candidate = Squeezed(value.substr(start, comma - start), true);
            candidate = candidate.substr(candidate.find_first_not_of(' ') == std::string::npos
                                             ? candidate.size()
                                             : candidate.find_first_not_of(' '));
            candidate = candidate.substr(0, candidate.find(' '));
            remote = remote || (!candidate.empty() && LoadsRemote(candidate));
            start = comma + 1;
          }
        } else if (OneOf(kLoadedAttributes, localAttribute) ||
                   (localAttribute == "href" && !link)) {
          remote = LoadsRemote(value);
        } else if (!link && !OneOf(kTextAttributes, localAttribute)) {
          remote = NamesRemoteItem(value);
        }
        if (remote)
          found.push_back("remote " + attributeName + "=" + value);
      }
      if (OneOf(kUrlAttributes, attributeName)) {
        const std::string scheme = SchemeOf(value);
        if (!scheme.empty() && scheme.size() > 1 && !OneOf(kAllowedSchemes, scheme))
          found.push_back("url " + attributeName + "=" + value);
        if (scheme == "data" && Lower(value).find("image/") == std::string::npos)
          found.push_back("url " + attributeName + "=" + value);
      }
      if (attributeName == "style") {
        std::string squeezed;
        for (char ch : Lower(value)) {
          if (static_cast<unsigned char>(ch) > ' ')
            squeezed.push_back(ch);
        }
        for (const char* word :
             {"expression", "behavior", "binding", "javascript:", "vbscript:", "@import"}) {
          if (squeezed.find(word) != std::string::npos)
            found.push_back("style " + value);
        }
      }
    }
    const GumboVector& children = node->v.element.children;
    // A style sheet is raw text: markup in it is read as markup by a parser that takes its
    // element differently (a noscript where scripting runs).
    if (name == "style") {
      for (unsigned i = 0; i < children.length; ++i) {
        const auto* child = static_cast<const GumboNode*>(children.data[i]);
        if (child->type != GUMBO_NODE_TEXT)
          continue;
        const std::string text = child->v.text.text;
        for (size_t at = text.find('<'); at != std::string::npos; at = text.find('<', at + 1)) {
          if (text.compare(at, 4, "<!--") != 0) {
            found.push_back("markup in a style sheet");
            break;
          }
        }
        const std::string css = WithoutCssComments(text);
        if (NamesNetworkPath(css))
          found.push_back("network path in a style sheet");
        bool remote = Squeezed(css, false).find("@import") != std::string::npos;
        for (const std::string& url : CssUrls(css))
          remote = remote || LoadsRemote(url);
        if (remoteBlocked && remote)
          found.push_back("remote content in a style sheet");
      }
    }
    for (unsigned i = 0; i < children.length; ++i)
      pending.push_back(static_cast<const GumboNode*>(children.data[i]));
  }
  gumbo_destroy_output(&kGumboDefaultOptions, output);
  return found;
}

}  // namespace tp::testing
