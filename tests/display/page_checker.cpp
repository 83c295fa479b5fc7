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

}  // namespace

std::vector<std::string> ActiveContentIn(const std::string& page) {
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
    if (inHead && (name == "meta" || (name == "base" && !headBaseSeen))) {
      headBaseSeen = headBaseSeen || name == "base";
    } else if (OneOf(kActiveElements, local)) {
      found.push_back("element " + name);
    }
    if (node->v.element.tag_namespace != GUMBO_NAMESPACE_HTML)
      found.push_back("foreign element " + name);
    const GumboVector& attributes = node->v.element.attributes;
    for (unsigned i = 0; i < attributes.length; ++i) {
      const auto* attribute = static_cast<const GumboAttribute*>(attributes.data[i]);
      const std::string attributeName = Lower(attribute->name);
      const std::string value = attribute->value;
      if (attributeName.rfind("on", 0) == 0)
        found.push_back("attribute " + attributeName);
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
      }
    }
    for (unsigned i = 0; i < children.length; ++i)
      pending.push_back(static_cast<const GumboNode*>(children.data[i]));
  }
  gumbo_destroy_output(&kGumboDefaultOptions, output);
  return found;
}

}  // namespace tp::testing
