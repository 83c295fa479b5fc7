// Test certificates and S/MIME-signed messages made with OpenSSL at test time (never
// committed, so that no test rots when a fixed date passes): a trusted root with an
// intermediate, a rogue root, signers that are valid, expired, not yet valid, self-signed,
// from another domain, and messages signed by them in the opaque and the clear-signed form,
// intact or altered.
#pragma once

#include <openssl/evp.h>
#include <openssl/x509.h>

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace tp::testing {

struct KeyDeleter {
  void operator()(EVP_PKEY* key) const { EVP_PKEY_free(key); }
};
struct CertificateDeleter {
  void operator()(X509* certificate) const { X509_free(certificate); }
};
using Key = std::unique_ptr<EVP_PKEY, KeyDeleter>;
using CertificatePtr = std::unique_ptr<X509, CertificateDeleter>;

struct Identity {
  Key key;
  CertificatePtr certificate;
};

struct CertificateProfile {
  std::string commonName;
  std::string subjectEmail;            // the subject's e-mail attribute; empty for none
  std::vector<std::string> sanEmails;  // rfc822Name subject alternative names, every byte
  bool authority = false;              // a CA certificate
  long notBeforeDays = -1;             // validity, in days from now
  long notAfterDays = 30;
  // Extensions in OpenSSL's configuration syntax; "default" for what an authority or an
  // e-mail signer carries, empty for none.
  std::string keyUsage = "default";
  std::string extendedKeyUsage = "default";
  int keyBits = 2048;
  const EVP_MD* signatureDigest = nullptr;  // of the issuer's signature; null: SHA-256
};

// A new RSA key and its certificate, issued by `issuer` (self-signed when null).
Identity MakeIdentity(const CertificateProfile& profile, const Identity* issuer);

std::string CertificatePem(X509* certificate);
// As a "TRUSTED CERTIFICATE" that OpenSSL trusts for `purpose` (a dotted identifier) only.
std::string TrustedCertificatePem(X509* certificate, const std::string& purpose);
std::string CertificateDer(X509* certificate);

struct SignOptions {
  bool detached = true;
  bool includeCertificates = true;  // the signer's certificate and `chain`
  bool signedAttributes = true;
  bool breakSignature = false;     // flip a bit of the signature value after signing
  const EVP_MD* digest = nullptr;  // the signer's digest; null: SHA-256
  // A content-type attribute naming this type (dotted) instead of the content's own.
  std::string signedContentType;
};

// A DER-encoded CMS signed-data object over `content`, by `signer`, carrying `chain`.
std::string SignContent(const Identity& signer, const std::vector<const Identity*>& chain,
                        std::string_view content, const SignOptions& options);

// Base64 in lines of 76 characters, each ended by CR LF.
std::string Base64Lines(std::string_view bytes);

}  // namespace tp::testing
