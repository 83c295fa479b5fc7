// Cutting a clear-signed S/MIME entity (multipart/signed, as Outlook keeps it in a signed
// message's "smime.p7m" attachment: its Content-Type header, a blank line and its body) into
// the signed part and the detached signature, with the same MIME reader that reads the
// message for display. The entity comes from the sender: the cut is refused, with the
// reason, wherever mail programs could read the entity otherwise than this reader does, so
// that what verifies is what the user is shown.
#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace tp {

inline constexpr size_t kMinimumSignedEntitySize = 100;

struct DetachedSignature {
  // Exactly the signed bytes: the first part's headers, its blank line and its body, from
  // after its delimiter line to before the line end of the next delimiter. A view into the
  // entity.
  std::string_view signedPart;
  // The second part's body, Base64-decoded.
  std::string signature;
};

// The signed part and the signature of `entity`, or nothing with the reason in *problem.
// The entity must start with its Content-Type header (letter case ignored), of type
// multipart/signed, whose boundary parameter (quoted, or a plain token; at most 200
// characters) divides it into exactly two parts, the second a PKCS #7 signature, before its
// closing delimiter. Zero bytes may only pad its end.
std::optional<DetachedSignature> CutDetachedSignature(std::string_view entity,
                                                      std::wstring* problem);

// Whether the data starts with "content-type", ignoring letter case: the MIME form of a
// signature part rather than the DER one.
bool StartsLikeMimeEntity(std::string_view data);

}  // namespace tp
