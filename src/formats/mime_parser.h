// A MIME entity tree over the bytes of one message. Parts are views into those bytes, so the
// bytes must outlive the tree. Nesting depth and the number of parts are bounded: a
// multipart below the depth limit, and everything past the part limit, is kept as one
// undivided leaf, so that hostile input costs time linear in its size.
//
// Each part also says where mail readers are known to read it differently (`doubt`): this
// reader takes one reading, and a decision that rests on the structure refuses a part that
// has a doubt rather than hope that the user's mail program took the same one.
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

// Why another reader could see a part's structure otherwise than this one.
enum class StructureDoubt {
  kNone,
  kContentTypeRepeated,           // the part has more than one Content-Type field
  kBoundaryRepeated,              // the boundary parameter is given more than once
  kBoundaryIrregular,             // the boundary parameter is written irregularly
  kBoundaryContinued,             // the boundary is (also) given in RFC 2231 pieces
  kBoundaryCharacters,            // the boundary holds characters a boundary may not hold
  kLineStartsWithDelimiter,       // a line starts with the delimiter but goes on otherwise
  kDelimiterAfterCarriageReturn,  // the delimiter follows a carriage return without line feed
  kNoClosingDelimiter,            // the closing delimiter never comes
  kDelimiterAfterClose,           // a delimiter comes after the closing delimiter
};

// A few words on a doubt: "a line starts with the delimiter but goes on otherwise", ...
const wchar_t* DescribeDoubt(StructureDoubt doubt);

struct MimePart {
  std::vector<HeaderField> fields;
  StructuredValue contentType;  // token "text/plain" when the part names none
  // The part as written: its header block, the blank line and its body. A part of a
  // multipart runs from after its delimiter line to before the line end of the next one.
  std::string_view entity;
  std::string_view body;  // the undecoded body
  std::vector<MimePart> children;
  // A multipart whose parts are not all in `children`: its closing delimiter never came, or
  // the part limit was reached.
  bool truncated = false;
  // The first thing found in the part's own header or, for a multipart that was divided, in
  // its body that readers could read differently (doubts inside its children are theirs).
  StructureDoubt doubt = StructureDoubt::kNone;

  bool IsMultipart() const { return contentType.token.rfind("multipart/", 0) == 0; }
  // Content-Transfer-Encoding applied to the body (multiparts are never encoded).
  std::string DecodedBody() const;
};

// The entity that `bytes` holds, headers first. `defaultType` is the type of a part that
// names none (message/rfc822 inside multipart/digest).
MimePart ParseMimeEntity(std::string_view bytes, const MimeLimits& limits = {},
                         std::string_view defaultType = "text/plain");

// Longer boundaries than this (the standard allows 70) leave the multipart undivided.
inline constexpr size_t kMaxBoundaryLength = 200;

}  // namespace tp::mime
