// A signer's certificate on posix: its dates, its chain built by OpenSSL against the trusted
// store (with the message's certificates as candidates), and its names. OpenSSL's verify
// errors are mapped onto CryptoAPI's CERT_TRUST bits; every error of the chain is collected,
// not only the first, as CryptoAPI does.
#pragma once

#include "host/crypto.h"
#include "host/posix/openssl_handles.h"

namespace tp::host::posix {

// The CERT_TRUST bit that stands for an X509_V_ERR_* code (0 for X509_V_OK).
uint32_t TrustErrorOfVerifyError(int verifyError);

class PosixCertificate final : public Certificate {
 public:
  // Takes a reference on each of the objects.
  PosixCertificate(X509* certificate, STACK_OF(X509) * messageCertificates, X509_STORE* trusted);

  int VerifyTimeValidity() override;
  bool GetChainErrorStatus(uint32_t* errorStatus) override;
  std::wstring Subject() override;
  std::vector<std::wstring> EmailAddresses() override;

 private:
  UniqueX509 certificate_;
  UniqueX509Stack messageCertificates_;
  UniqueX509Store trusted_;
};

}  // namespace tp::host::posix
