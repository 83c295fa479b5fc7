// The small XML reader the senders list envelope needs: elements, attributes, text with the
// five named entities and character references, and four kinds of verbatim clear sections.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

#include "formats/xml_node.h"

namespace tp {

// Elements nested deeper than this make the parse fail.
inline constexpr size_t kMaxXmlDepth = 512;

// Why a parse failed and where (an index into the text), for tools that explain it.
struct XmlError {
  size_t offset = 0;
  std::wstring reason;
};

// Parses the whole text. Returns the empty node for an empty text and on any error (an
// unknown entity, an end tag that matches no open element, nesting beyond kMaxXmlDepth, ...).
// Otherwise returns the unnamed top node holding the outermost level, or, when that level
// holds exactly one element and nothing but white space besides, that element. Missing end
// tags are tolerated: an end tag closes every element opened inside the one it matches, and
// the end of the text closes whatever is still open.
[[nodiscard]] XmlNode ParseXml(std::wstring_view text, XmlError* error = nullptr);

}  // namespace tp
