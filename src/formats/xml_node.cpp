// A node of a parsed XML tree.
#include "formats/xml_node.h"

#include "base/text.h"

namespace tp {

std::wstring XmlNode::GetName() const {
  return IsEmpty() ? std::wstring() : element_->name;
}

XmlNode XmlNode::GetChildNode(std::wstring_view name) const {
  if (IsEmpty())
    return {};
  for (const XmlElement* child : element_->children) {
    // The aliasing handle shares the tree's ownership.
    if (EqualsIgnoreAsciiCase(child->name, name))
      return XmlNode(std::shared_ptr<const XmlElement>(element_, child));
  }
  return {};
}

std::wstring XmlNode::GetClearText(size_t index) const {
  if (IsEmpty() || index >= element_->clearSections.size())
    return {};
  return element_->clearSections[index];
}

std::wstring XmlNode::GetText(size_t index) const {
  if (IsEmpty() || index >= element_->texts.size())
    return {};
  return element_->texts[index];
}

std::optional<std::wstring> XmlNode::GetAttribute(std::wstring_view name) const {
  if (IsEmpty())
    return std::nullopt;
  for (const auto& [key, value] : element_->attributes) {
    if (EqualsIgnoreAsciiCase(key, name))
      return value;
  }
  return std::nullopt;
}

}  // namespace tp
