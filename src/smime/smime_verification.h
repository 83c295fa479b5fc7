// Verifying S/MIME signatures with the platform's message crypto (host/crypto.h): the opaque
// form (a DER signed-data object that holds its content), the clear-signed form (a
// multipart/signed entity), and the signer's certificate. Nothing is logged here.
#pragma once

#include <string_view>

#include "host/crypto.h"
#include "smime/smime_verdict.h"

namespace tp {

// `data` holds a DER-encoded PKCS #7 signed-data object with its content.
SignatureVerdict VerifyOpaqueSignature(std::string_view data);

// `data` holds a multipart/signed MIME entity as 8-bit text (see smime_cutter.h).
SignatureVerdict VerifyDetachedSignature(std::string_view data);

// The signer certificate of a verified signature: 0 when it is within its validity, its
// chain has no error but being partial and meets the rules of smime_policy.h, else -5, -6 or
// -7. Records what was found in *verdict (its result is left to the caller).
int CheckSignerCertificate(host::Certificate& certificate, SignatureVerdict* verdict);

}  // namespace tp
