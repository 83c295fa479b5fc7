// A signer's certificate on Windows: CertVerifyTimeValidity, CertGetCertificateChain with the
// current user's chain engine (the user's stores) and the message's own certificates, and the
// names the certificate carries.
#pragma once

#include "host/crypto.h"
#include "host/win32/crypt_resources.h"

namespace tp::host::win32 {

class Win32Certificate final : public Certificate {
 public:
  // messageCertificates: the certificates the message carried (may be absent).
  Win32Certificate(UniqueCertContext certificate, UniqueCertStore messageCertificates);

  int VerifyTimeValidity() override;
  bool GetChainErrorStatus(uint32_t* errorStatus) override;
  std::wstring Subject() override;
  std::vector<std::wstring> EmailAddresses() override;

 private:
  UniqueCertContext certificate_;
  UniqueCertStore messageCertificates_;
};

}  // namespace tp::host::win32
