// A signer's certificate on posix: its dates, and its chain built by OpenSSL against the
// trusted store (with the message's certificates as candidates) for the S/MIME signing
// purpose. OpenSSL's verify errors are mapped onto CryptoAPI's CERT_TRUST bits; every error
// of the chain is collected, not only the first, as CryptoAPI does.
#pragma once

#include <string>

#include "host/crypto.h"
#include "host/posix/openssl_handles.h"

namespace tp::host::posix {

// An object identifier as dotted text; empty when it does not fit.
std::string ObjectIdentifierText(const ASN1_OBJECT* object);

// The CERT_TRUST bit that stands for an X509_V_ERR_* code (0 for X509_V_OK).
uint32_t TrustErrorOfVerifyError(int verifyError);

class PosixCertificate final : public Certificate {
 public:
  // Takes a reference on each of the objects.
  PosixCertificate(X509* certificate, STACK_OF(X509) * messageCertificates, X509_STORE* trusted);

  int VerifyTimeValidity() override;
  bool BuildChain(ChainReport* report) override;
  std::string Encoded() override;

 private:
  UniqueX509 m_certificate;
  UniqueX509Stack m_messageCertificates;
  UniqueX509Store m_trusted;
};

}  // namespace tp::host::posix
