// Cutting a clear-signed S/MIME entity (multipart/signed, as Outlook keeps it in a signed
// message's "smime.p7m" attachment: its Content-Type header, a blank line and its body) into
// the signed part and the detached signature. The entity comes from the sender: every step
// is a bounded, linear search, and anything that is not such an entity is refused with the
// reason.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tp {

inline constexpr size_t kMinimumSignedEntitySize = 100;
inline constexpr size_t kMaximumBoundaryLength = 200;

struct DetachedSignature {
  // Exactly the signed bytes: the first part's headers, its blank line and its body, without
  // the line break that belongs to the next delimiter. A view into the entity.
  std::string_view signedPart;
  // The second part's body, Base64-decoded.
  std::string signature;
};

// The signed part and the signature of `entity`, or nothing with the reason in *problem.
// The text ends at the entity's first zero byte. The entity must start with its Content-Type
// header (letter case ignored), whose boundary parameter (quoted, or a plain token; at most
// 200 characters) gives the delimiter; the delimiter keeps its letter case as written.
std::optional<DetachedSignature> CutDetachedSignature(std::string_view entity,
                                                      std::wstring* problem);

// Whether the data starts with "content-type", ignoring letter case: the MIME form of a
// signature part rather than the DER one.
bool StartsLikeMimeEntity(std::string_view data);

}  // namespace tp
