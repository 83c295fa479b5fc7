// Serializing gumbo's tree.
#include "host/posix/gumbo_serializer.h"

#include <algorithm>
#include <iterator>
#include <string_view>

#include "base/markup_escape.h"
#include "base/text.h"

namespace tp::host::posix {
namespace {

constexpr GumboTag kVoidElements[] = {
    GUMBO_TAG_AREA,   GUMBO_TAG_BASE,   GUMBO_TAG_BASEFONT, GUMBO_TAG_BGSOUND, GUMBO_TAG_BR,
    GUMBO_TAG_COL,    GUMBO_TAG_EMBED,  GUMBO_TAG_FRAME,    GUMBO_TAG_HR,      GUMBO_TAG_IMG,
    GUMBO_TAG_INPUT,  GUMBO_TAG_KEYGEN, GUMBO_TAG_LINK,     GUMBO_TAG_META,    GUMBO_TAG_PARAM,
    GUMBO_TAG_SOURCE, GUMBO_TAG_TRACK,  GUMBO_TAG_WBR};
constexpr GumboTag kTextContentElements[] = {
    GUMBO_TAG_STYLE,   GUMBO_TAG_SCRIPT,   GUMBO_TAG_XMP,      GUMBO_TAG_IFRAME,
    GUMBO_TAG_NOEMBED, GUMBO_TAG_NOFRAMES, GUMBO_TAG_PLAINTEXT};
constexpr std::string_view kVoidNames[] = {
    "area", "base",  "basefont", "bgsound", "br",   "col",   "embed",  "frame", "hr",
    "img",  "input", "keygen",   "link",    "meta", "param", "source", "track", "wbr"};

template <class T, size_t N>
bool OneOf(const T (&list)[N], const T& value) {
  return std::find(std::begin(list), std::end(list), value) != std::end(list);
}

bool IsElement(const GumboNode& node) {
  return node.type == GUMBO_NODE_ELEMENT || node.type == GUMBO_NODE_TEMPLATE;
}

bool IsHtmlVoid(const GumboElement& element) {
  return element.tag_namespace == GUMBO_NAMESPACE_HTML && OneOf(kVoidElements, element.tag);
}

// The element's name as HTML writes it: the HTML name in lower case, SVG's own case, or for
// an element that gumbo does not know the name it was written with, in lower case.
void AppendTagName(std::string* out, const GumboElement& element) {
  if (element.tag != GUMBO_TAG_UNKNOWN) {
    const char* name = gumbo_normalized_tagname(element.tag);
    if (element.tag_namespace == GUMBO_NAMESPACE_SVG) {
      const GumboStringPiece piece{name, std::char_traits<char>::length(name)};
      if (const char* adjusted = gumbo_normalize_svg_tagname(&piece))
        name = adjusted;
    }
    out->append(name);
    return;
  }
  GumboStringPiece original = element.original_tag;
  gumbo_tag_from_original_text(&original);
  for (size_t i = 0; i < original.length; ++i) {
    const char ch = original.data[i];
    out->push_back(ch >= 'A' && ch <= 'Z' ? static_cast<char>(ch + 32) : ch);
  }
}

void AppendAttributeName(std::string* out, const GumboAttribute& attribute) {
  switch (attribute.attr_namespace) {
    case GUMBO_ATTR_NAMESPACE_XLINK:
      out->append("xlink:");
      break;
    case GUMBO_ATTR_NAMESPACE_XML:
      out->append("xml:");
      break;
    case GUMBO_ATTR_NAMESPACE_XMLNS:
      if (std::string_view(attribute.name) != "xmlns")
        out->append("xmlns:");
      break;
    case GUMBO_ATTR_NAMESPACE_NONE:
      break;
  }
  out->append(attribute.name);
}

class Serializer {
 public:
  Serializer(const RemovedTags& removed, std::string* out) : m_removed(removed), m_out(*out) {}

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
      if (!IsElement(*node) || !m_removed.test(node->v.element.tag))
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
    m_out.push_back('<');
    AppendTagName(&m_out, element);
    for (unsigned i = 0; i < element.attributes.length; ++i) {
      const auto& attribute = *static_cast<const GumboAttribute*>(element.attributes.data[i]);
      m_out.push_back(' ');
      AppendAttributeName(&m_out, attribute);
      m_out.append("=\"");
      AppendEscapedAttribute(&m_out, attribute.value);
      m_out.push_back('"');
    }
    m_out.push_back('>');
    if (IsHtmlVoid(element))
      return nullptr;
    const GumboNode* child = FirstKept(element.children, 0);
    // The parser drops a line feed right after these start tags.
    if (element.tag_namespace == GUMBO_NAMESPACE_HTML && child != nullptr &&
        (element.tag == GUMBO_TAG_PRE || element.tag == GUMBO_TAG_TEXTAREA ||
         element.tag == GUMBO_TAG_LISTING) &&
        (child->type == GUMBO_NODE_TEXT || child->type == GUMBO_NODE_WHITESPACE) &&
        child->v.text.text[0] == '\n') {
      m_out.push_back('\n');
    }
    if (child == nullptr)
      EndElement(node);
    return child;
  }

  void EndElement(const GumboNode& node) {
    const GumboElement& element = node.v.element;
    if (IsHtmlVoid(element))
      return;
    m_out.append("</");
    AppendTagName(&m_out, element);
    m_out.push_back('>');
  }

  void WriteNode(const GumboNode& node) {
    const char* text = node.v.text.text;
    switch (node.type) {
      case GUMBO_NODE_COMMENT:
        m_out.append("<!--").append(text).append("-->");
        return;
      case GUMBO_NODE_CDATA:
        m_out.append("<![CDATA[").append(text).append("]]>");
        return;
      case GUMBO_NODE_TEXT:
      case GUMBO_NODE_WHITESPACE: {
        const GumboNode* parent = node.parent;
        if (parent != nullptr && IsElement(*parent) &&
            parent->v.element.tag_namespace == GUMBO_NAMESPACE_HTML &&
            OneOf(kTextContentElements, parent->v.element.tag)) {
          m_out.append(text);
        } else {
          AppendEscapedText(&m_out, text);
        }
        return;
      }
      default:
        return;
    }
  }

  const RemovedTags& m_removed;
  std::string& m_out;
};

}  // namespace

std::wstring SerializeOuterHtml(const GumboNode& node, const RemovedTags& removed,
                                size_t sizeHint) {
  std::string out;
  out.reserve(sizeHint);
  Serializer(removed, &out).Run(node);
  return Utf8ToWide(out);
}

std::string SerializeEmptyElement(const std::string& name) {
  if (OneOf(kVoidNames, std::string_view(name)))
    return "<" + name + ">";
  return "<" + name + "></" + name + ">";
}

}  // namespace tp::host::posix
