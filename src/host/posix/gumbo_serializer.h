// Writes a gumbo node as HTML, following the HTML standard's serialization: names in their
// HTML form, every attribute value quoted and escaped, text escaped except inside elements
// whose content is text (style, script, xmp, iframe, noembed, noframes, plaintext). The walk
// is iterative, so a document nested to any depth is written in constant stack.
#pragma once

#include <gumbo.h>

#include <bitset>
#include <cstddef>
#include <string>

namespace tp::host::posix {

// The tags whose elements a serialization leaves out.
using RemovedTags = std::bitset<GUMBO_TAG_LAST + 1>;

// The node's outer HTML, leaving out the elements of the `removed` tags with all they hold.
// Text and attribute values are escaped as the add-in's own markup is
// (support/markup_escape.h). `sizeHint` is the markup's expected length in bytes.
std::wstring SerializeOuterHtml(const GumboNode& node, const RemovedTags& removed, size_t sizeHint);

// "<name></name>", or "<name>" for a void element.
std::string SerializeEmptyElement(const std::string& name);

}  // namespace tp::host::posix
