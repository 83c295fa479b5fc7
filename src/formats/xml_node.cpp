// A node of a parsed XML tree.
#include "formats/xml_node.h"

#include "base/text.h"

namespace tp {

std::wstring XmlNode::GetName() const {
  return IsEmpty() ? std::wstring() : m_element->name;
}

XmlNode XmlNode::GetChildNode(std::wstring_view name) const {
  if (IsEmpty())
    return {};
  for (const XmlElement* child : m_element->children) {
    // The aliasing handle shares the tree's ownership.
    if (EqualsIgnoreAsciiCase(child->name, name))
      return XmlNode(std::shared_ptr<const XmlElement>(m_element, child));
  }
  return {};
}

std::wstring XmlNode::GetClearText(size_t index) const {
  if (IsEmpty() || index >= m_element->clearSections.size())
    return {};
  return m_element->clearSections[index];
}

std::wstring XmlNode::GetText(size_t index) const {
  if (IsEmpty() || index >= m_element->texts.size())
    return {};
  return m_element->texts[index];
}

std::optional<std::wstring> XmlNode::GetAttribute(std::wstring_view name) const {
  if (IsEmpty())
    return std::nullopt;
  for (const auto& [key, value] : m_element->attributes) {
    if (EqualsIgnoreAsciiCase(key, name))
      return value;
  }
  return std::nullopt;
}

}  // namespace tp
