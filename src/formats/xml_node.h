// A node of a parsed XML tree: a cheap shared handle; the whole tree lives while any handle
// to any of its nodes does.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tp {

// One element, or the unnamed top node that holds the outermost level, as the reader built it.
struct XmlElement {
  std::wstring name;
  std::vector<std::pair<std::wstring, std::wstring>> attributes;  // values decoded
  std::vector<std::wstring> texts;                                // decoded text runs
  std::vector<std::wstring> clearSections;                        // verbatim contents
  std::vector<const XmlElement*> children;                        // owned by the tree
  bool holdsInstruction = false;  // a "<?...?>" such as the declaration
};

class XmlNode {
 public:
  XmlNode() = default;  // the empty node
  // A handle to an element whose shared owner keeps its whole tree alive.
  explicit XmlNode(std::shared_ptr<const XmlElement> element) : m_element(std::move(element)) {}

  bool IsEmpty() const { return m_element == nullptr; }
  // The element's name as written; empty for the top node and the empty node.
  std::wstring GetName() const;
  // The first direct child element named `name`, ASCII letters compared without case; the
  // empty node when there is none.
  [[nodiscard]] XmlNode GetChildNode(std::wstring_view name) const;
  // The content of the index-th clear section (CDATA, DOCTYPE, comment or PRE) directly
  // inside the element; empty when there is none.
  std::wstring GetClearText(size_t index) const;
  // The index-th run of text directly inside the element, entities decoded; empty when none.
  std::wstring GetText(size_t index) const;
  // The first attribute named `name` (ASCII case ignored), decoded.
  std::optional<std::wstring> GetAttribute(std::wstring_view name) const;

 private:
  std::shared_ptr<const XmlElement> m_element;
};

}  // namespace tp
