// A MIME entity tree over the bytes of one message. Parts are views into those bytes, so the
// bytes must outlive the tree. Nesting depth and the number of parts are bounded: a
// multipart below the depth limit, and everything past the part limit, is kept as one
// undivided leaf, so that hostile input costs time linear in its size.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "formats/mime_header.h"

namespace tp::mime {

struct MimeLimits {
  int maxDepth = 32;       // multiparts nested deeper are not divided
  size_t maxParts = 1000;  // parts in the whole tree
};

struct MimePart {
  std::vector<HeaderField> fields;
  StructuredValue contentType;  // token "text/plain" when the part names none
  std::string_view body;        // the undecoded body
  std::vector<MimePart> children;
  // A multipart whose parts are not all in `children`: its closing delimiter never came, or
  // the part limit was reached.
  bool truncated = false;

  bool IsMultipart() const { return contentType.token.rfind("multipart/", 0) == 0; }
  // Content-Transfer-Encoding applied to the body (multiparts are never encoded).
  std::string DecodedBody() const;
};

// The entity that `bytes` holds, headers first. `defaultType` is the type of a part that
// names none (message/rfc822 inside multipart/digest).
MimePart ParseMimeEntity(std::string_view bytes, const MimeLimits& limits = {},
                         std::string_view defaultType = "text/plain");

}  // namespace tp::mime
