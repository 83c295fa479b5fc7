// The S/MIME signature of a message in Outlook's store: its signature part, the first
// attachment named "smime.p7m" or "smime.p7s" (letter case ignored), read through Extended
// MAPI and verified in whichever form it holds (an opaque signed-data object, or the whole
// multipart/signed entity of a clear-signed message).
#pragma once

#include <cstdint>
#include <string>

#include "host/mapi.h"
#include "smime/smime_verdict.h"

namespace tp {

// A larger signature part is refused unread.
inline constexpr uint64_t kMaxSignaturePartSize = 0x1000000;

struct SmimeMessageCheck {
  bool hasSignaturePart = false;  // an attachment named smime.p7m or smime.p7s was found
  std::wstring partName;          // its file name as the store gives it
  // The verdict on that part. Result -1 with a problem when there is no such part or it
  // cannot be read; otherwise the verdict of the form the part holds.
  SignatureVerdict verdict;

  bool Valid() const { return verdict.Valid(); }
};

// Reads the message's signature part and verifies it: first as an opaque signed-data object,
// then as a multipart/signed entity. Valid() when either verifies; else the verdict of the
// form the part is in (the entity's when it starts with its Content-Type header, else the
// opaque one's).
SmimeMessageCheck VerifySMimeMessage(host::MapiMessage& message);

}  // namespace tp
