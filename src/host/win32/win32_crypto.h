// The message crypto port over CryptoAPI: CryptVerifyMessageSignature and
// CryptVerifyDetachedMessageSignature of signer 0 (X.509 and PKCS #7 ASN.1 encoding, no
// provider, the signer's certificate taken from the message), then a check that the content's
// digest equals the one the signer signed: some CryptoAPIs (Wine's) verify only the signature
// over the signed attributes, which would let altered content through.
#pragma once

#include "host/crypto.h"

namespace tp::host::win32 {

class Win32MessageCrypto final : public MessageCrypto {
 public:
  HResult VerifyMessageSignature(std::string_view signedData,
                                 std::unique_ptr<Certificate>* signer) override;
  HResult VerifyDetachedMessageSignature(std::string_view signature, std::string_view content,
                                         std::unique_ptr<Certificate>* signer) override;
};

}  // namespace tp::host::win32
