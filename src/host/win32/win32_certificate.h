// A signer's certificate on Windows: CertVerifyTimeValidity, and CertGetCertificateChain with
// the current user's chain engine (the user's stores), the message's own certificates and the
// caller's added roots, for e-mail protection.
#pragma once

#include "host/crypto.h"
#include "host/win32/crypt_resources.h"

namespace tp::host::win32 {

class Win32Certificate final : public Certificate {
 public:
  // messageCertificates: the certificates the message carried (may be absent). addedRoots:
  // roots trusted beside the user's stores (may be null; it must outlive this object).
  Win32Certificate(UniqueCertContext certificate, UniqueCertStore messageCertificates,
                   HCERTSTORE addedRoots);

  int VerifyTimeValidity() override;
  bool BuildChain(ChainReport* report) override;
  std::string Encoded() override;

 private:
  UniqueCertContext m_certificate;
  UniqueCertStore m_messageCertificates;
  HCERTSTORE m_addedRoots;
};

}  // namespace tp::host::win32
