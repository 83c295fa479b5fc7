// DER elements and object identifiers.
#include "smime/der_reader.h"

namespace tp::der {
namespace {

constexpr size_t kMaxLengthBytes = 4;

}  // namespace

std::optional<Element> Reader::Next() {
  if (m_rest.size() < 2) {
    m_rest = {};
    return std::nullopt;
  }
  Element element;
  element.tag = static_cast<uint8_t>(m_rest[0]);
  size_t pos = 2;
  size_t length = static_cast<uint8_t>(m_rest[1]);
  // High tag numbers (0x1F) and indefinite lengths (0x80) do not occur in DER certificates.
  bool malformed = (element.tag & 0x1F) == 0x1F || length == 0x80;
  if (!malformed && length > 0x80) {
    const size_t count = length - 0x80;
    malformed = count > kMaxLengthBytes || m_rest.size() < pos + count;
    length = 0;
    for (size_t i = 0; !malformed && i < count; ++i)
      length = (length << 8) | static_cast<uint8_t>(m_rest[pos + i]);
    pos += count;
  }
  if (malformed || m_rest.size() - pos < length) {
    m_rest = {};
    return std::nullopt;
  }
  element.content = m_rest.substr(pos, length);
  element.encoded = m_rest.substr(0, pos + length);
  m_rest.remove_prefix(pos + length);
  return element;
}

std::optional<Element> Reader::NextIf(uint8_t tag) {
  if (m_rest.empty() || static_cast<uint8_t>(m_rest[0]) != tag)
    return std::nullopt;
  return Next();
}

std::optional<Element> ReadSingle(std::string_view data, uint8_t tag) {
  Reader reader(data);
  std::optional<Element> element = reader.NextIf(tag);
  if (!element || !reader.AtEnd())
    return std::nullopt;
  return element;
}

std::string ObjectIdentifierText(std::string_view content) {
  std::string text;
  uint64_t arc = 0;
  bool first = true;
  for (size_t i = 0; i < content.size(); ++i) {
    const auto byte = static_cast<uint8_t>(content[i]);
    if (arc == 0 && byte == 0x80)
      return {};  // a padded arc
    if (arc > (UINT64_MAX >> 7))
      return {};
    arc = (arc << 7) | (byte & 0x7F);
    if ((byte & 0x80) != 0)
      continue;
    if (first) {
      const uint64_t top = arc < 40 ? 0 : arc < 80 ? 1 : 2;
      text = std::to_string(top);
      text += '.';
      text += std::to_string(arc - top * 40);
      first = false;
    } else {
      text += '.';
      text += std::to_string(arc);
    }
    arc = 0;
  }
  // An identifier ends with a whole arc.
  if (content.empty() || (static_cast<uint8_t>(content.back()) & 0x80) != 0)
    return {};
  return text;
}

}  // namespace tp::der
