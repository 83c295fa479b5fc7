// The message crypto port over CryptoAPI: CryptVerifyMessageSignature and
// CryptVerifyDetachedMessageSignature of signer 0 (X.509 and PKCS #7 ASN.1 encoding, no
// provider, the signer's certificate taken from the message), then a check that the content's
// digest equals the one the signer signed: some CryptoAPIs (Wine's) verify only the signature
// over the signed attributes, which would let altered content through. Trust is the current
// user's certificate stores, plus the certificates of PEM files the caller adds (the tidepost
// tool's --trust).
#pragma once

#include <filesystem>
#include <string>

#include "host/crypto.h"
#include "host/win32/crypt_resources.h"

namespace tp::host::win32 {

class Win32MessageCrypto final : public TrustingMessageCrypto {
 public:
  Win32MessageCrypto();

  bool TrustCertificates(const std::filesystem::path& pemFile, std::string* error) override;

  HResult VerifyMessageSignature(std::string_view signedData, VerifiedSignature* verified) override;
  HResult VerifyDetachedMessageSignature(std::string_view signature, std::string_view content,
                                         VerifiedSignature* verified) override;

 private:
  HResult Conclude(std::string_view signedData, const std::string_view* content,
                   UniqueCertContext certificate, VerifiedSignature* verified);

  UniqueCertStore m_trusted;  // the added roots; empty unless some were added
};

}  // namespace tp::host::win32
