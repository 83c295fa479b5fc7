// Serializing gumbo's tree.
#include "host/posix/gumbo_serializer.h"

#include <algorithm>
#include <iterator>
#include <string_view>

#include "support/markup_escape.h"
#include "support/text.h"

namespace tp::host::posix {
namespace {

constexpr std::string_view kVoidElements[] = {
    "area", "base",  "basefont", "bgsound", "br",   "col",   "embed",  "frame", "hr",
    "img",  "input", "keygen",   "link",    "meta", "param", "source", "track", "wbr"};
constexpr std::string_view kTextContentElements[] = {"style",   "script",   "xmp",      "iframe",
                                                     "noembed", "noframes", "plaintext"};

template <size_t N>
bool OneOf(const std::string_view (&list)[N], std::string_view value) {
  return std::find(std::begin(list), std::end(list), value) != std::end(list);
}

bool IsElement(const GumboNode& node) {
  return node.type == GUMBO_NODE_ELEMENT || node.type == GUMBO_NODE_TEMPLATE;
}

// The element's name as HTML writes it: the HTML name in lower case, SVG's own case, or for
// an element that gumbo does not know the name it was written with, in lower case.
std::string TagName(const GumboElement& element) {
  if (element.tag != GUMBO_TAG_UNKNOWN) {
    std::string name = gumbo_normalized_tagname(element.tag);
    if (element.tag_namespace == GUMBO_NAMESPACE_SVG) {
      const GumboStringPiece piece{name.data(), name.size()};
      if (const char* adjusted = gumbo_normalize_svg_tagname(&piece))
        name = adjusted;
    }
    return name;
  }
  GumboStringPiece original = element.original_tag;
  gumbo_tag_from_original_text(&original);
  std::string name(original.data ? original.data : "", original.length);
  for (char& ch : name) {
    if (ch >= 'A' && ch <= 'Z')
      ch = static_cast<char>(ch + 32);
  }
  return name;
}

void AppendAttributeName(std::wstring* out, const GumboAttribute& attribute) {
  switch (attribute.attr_namespace) {
    case GUMBO_ATTR_NAMESPACE_XLINK:
      out->append(L"xlink:");
      break;
    case GUMBO_ATTR_NAMESPACE_XML:
      out->append(L"xml:");
      break;
    case GUMBO_ATTR_NAMESPACE_XMLNS:
      if (std::string_view(attribute.name) != "xmlns")
        out->append(L"xmlns:");
      break;
    case GUMBO_ATTR_NAMESPACE_NONE:
      break;
  }
  out->append(Utf8ToWide(attribute.name));
}

class Serializer {
 public:
  Serializer(const std::unordered_set<const GumboNode*>& removed, std::wstring* out)
      : removed_(removed), out_(*out) {}

  void Run(const GumboNode& top) {
    const GumboNode* node = &top;
    for (;;) {
      if (const GumboNode* child = Visit(*node)) {
        node = child;
        continue;
      }
      // Up and on to the next sibling, closing every element left on the way.
      for (;;) {
        if (node == &top)
          return;
        if (const GumboNode* sibling = NextSibling(*node)) {
          node = sibling;
          break;
        }
        node = node->parent;
        EndElement(*node);
      }
    }
  }

 private:
  const GumboNode* FirstKept(const GumboVector& nodes, size_t from) const {
    for (size_t i = from; i < nodes.length; ++i) {
      const auto* node = static_cast<const GumboNode*>(nodes.data[i]);
      if (removed_.count(node) == 0)
        return node;
    }
    return nullptr;
  }

  const GumboNode* NextSibling(const GumboNode& node) const {
    return FirstKept(node.parent->v.element.children, node.index_within_parent + 1);
  }

  // Writes the node, or an element's start tag; the child to visit next, if any.
  const GumboNode* Visit(const GumboNode& node) {
    if (!IsElement(node)) {
      WriteNode(node);
      return nullptr;
    }
    const GumboElement& element = node.v.element;
    const std::string name = TagName(element);
    out_.push_back(L'<');
    out_.append(Utf8ToWide(name));
    for (unsigned i = 0; i < element.attributes.length; ++i) {
      const auto& attribute = *static_cast<const GumboAttribute*>(element.attributes.data[i]);
      out_.push_back(L' ');
      AppendAttributeName(&out_, attribute);
      out_.append(L"=\"");
      AppendEscapedAttribute(&out_, Utf8ToWide(attribute.value));
      out_.push_back(L'"');
    }
    out_.push_back(L'>');
    const bool html = element.tag_namespace == GUMBO_NAMESPACE_HTML;
    if (html && OneOf(kVoidElements, name))
      return nullptr;
    const GumboNode* child = FirstKept(element.children, 0);
    // The parser drops a line feed right after these start tags.
    if (html && child != nullptr && (name == "pre" || name == "textarea" || name == "listing") &&
        (child->type == GUMBO_NODE_TEXT || child->type == GUMBO_NODE_WHITESPACE) &&
        child->v.text.text[0] == '\n') {
      out_.push_back(L'\n');
    }
    if (child == nullptr)
      EndElement(node);
    return child;
  }

  void EndElement(const GumboNode& node) {
    const GumboElement& element = node.v.element;
    const std::string name = TagName(element);
    if (element.tag_namespace == GUMBO_NAMESPACE_HTML && OneOf(kVoidElements, name))
      return;
    out_.append(L"</");
    out_.append(Utf8ToWide(name));
    out_.push_back(L'>');
  }

  void WriteNode(const GumboNode& node) {
    const char* text = node.v.text.text;
    switch (node.type) {
      case GUMBO_NODE_COMMENT:
        out_.append(L"<!--").append(Utf8ToWide(text)).append(L"-->");
        return;
      case GUMBO_NODE_CDATA:
        out_.append(L"<![CDATA[").append(Utf8ToWide(text)).append(L"]]>");
        return;
      case GUMBO_NODE_TEXT:
      case GUMBO_NODE_WHITESPACE: {
        const GumboNode* parent = node.parent;
        if (parent != nullptr && IsElement(*parent) &&
            parent->v.element.tag_namespace == GUMBO_NAMESPACE_HTML &&
            OneOf(kTextContentElements, TagName(parent->v.element))) {
          out_.append(Utf8ToWide(text));
        } else {
          AppendEscapedText(&out_, Utf8ToWide(text));
        }
        return;
      }
      default:
        return;
    }
  }

  const std::unordered_set<const GumboNode*>& removed_;
  std::wstring& out_;
};

}  // namespace

std::wstring SerializeOuterHtml(const GumboNode& node,
                                const std::unordered_set<const GumboNode*>& removed) {
  std::wstring out;
  Serializer(removed, &out).Run(node);
  return out;
}

std::string SerializeEmptyElement(const std::string& name) {
  if (OneOf(kVoidElements, name))
    return "<" + name + ">";
  return "<" + name + "></" + name + ">";
}

}  // namespace tp::host::posix
