// The message crypto port over OpenSSL's CMS. Trusted roots: the system's CA bundle, plus
// the certificates of PEM files the caller adds. OpenSSL's answers are mapped onto
// CryptoAPI's: an undecodable object, a signature that does not verify over the signed
// attributes (or over the content when there are none), a content digest that differs from
// the signed one, a missing signer or signer certificate each give CryptoAPI's code.
#pragma once

#include <string>

#include "host/crypto.h"
#include "host/posix/openssl_handles.h"

namespace tp::host::posix {

class PosixMessageCrypto final : public MessageCrypto {
 public:
  PosixMessageCrypto();

  // Adds every certificate of a PEM file to the trusted roots. False with the reason when the
  // file cannot be read or holds no certificate. Not to be called while verifying.
  bool TrustCertificates(const std::string& pemFile, std::string* error);

  HResult VerifyMessageSignature(std::string_view signedData,
                                 std::unique_ptr<Certificate>* signer) override;
  HResult VerifyDetachedMessageSignature(std::string_view signature, std::string_view content,
                                         std::unique_ptr<Certificate>* signer) override;

 private:
  HResult Verify(std::string_view signedData, const std::string_view* detachedContent,
                 std::unique_ptr<Certificate>* signer);

  UniqueX509Store trusted_;
};

}  // namespace tp::host::posix
