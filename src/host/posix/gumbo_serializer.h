// Writes a gumbo node as HTML, following the HTML standard's serialization: names in their
// HTML form, every attribute value quoted and escaped, text escaped except inside elements
// whose content is text (style, script, xmp, iframe, noembed, noframes, plaintext). The walk
// is iterative, so a document nested to any depth is written in constant stack.
#pragma once

#include <gumbo.h>

#include <string>
#include <unordered_set>

namespace tp::host::posix {

// The node's outer HTML, leaving out the nodes in `removed` with all they hold. Text and
// attribute values are escaped as the add-in's own markup is (support/markup_escape.h).
std::wstring SerializeOuterHtml(const GumboNode& node,
                                const std::unordered_set<const GumboNode*>& removed);

// "<name></name>", or "<name>" for a void element.
std::string SerializeEmptyElement(const std::string& name);

}  // namespace tp::host::posix
