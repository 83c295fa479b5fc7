// Message crypto port: verifying a PKCS#7 signed-data object and its signer's certificate
// with the platform's cryptography (CryptoAPI on Windows, OpenSSL's CMS elsewhere). The port
// speaks CryptoAPI's answers: HRESULTs for the signature, CertVerifyTimeValidity's result for
// the certificate's dates and the CERT_TRUST error bits of its chain, so that every adapter
// maps its library onto the same answers and the core decides from them alone.
//
// The trust is the platform's: the user's certificate stores on Windows; on posix the
// system's CA bundle; on both, plus the certificates the adapter was given. The adapters
// report what they found (algorithms, key sizes, purposes); the core's rules decide. The current
// time is the platform's real time, whatever clock the rest of the host simulates.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "base/hresult.h"

namespace tp::host {

// The failures of a signature check that the core tells apart; any other code is some other
// rejection of the message (undecodable, not signed data, no such signer, signer certificate
// missing from the message).
namespace crypt {
constexpr HResult kBadSignature = static_cast<HResult>(0x80090006);      // NTE_BAD_SIGNATURE
constexpr HResult kUnknownAlgorithm = static_cast<HResult>(0x80091002);  // CRYPT_E_UNKNOWN_ALGO
constexpr HResult kAuthAttrMissing = static_cast<HResult>(0x80091006);  // CRYPT_E_AUTH_ATTR_MISSING
constexpr HResult kHashValue = static_cast<HResult>(0x80091007);        // CRYPT_E_HASH_VALUE
constexpr HResult kInvalidIndex = static_cast<HResult>(0x80091008);     // CRYPT_E_INVALID_INDEX
constexpr HResult kNotFound = static_cast<HResult>(0x80092004);         // CRYPT_E_NOT_FOUND
constexpr HResult kUnexpectedMsgType = static_cast<HResult>(0x8009200A);  // ..._UNEXPECTED_MSG_TYPE
constexpr HResult kAsn1BadTag = static_cast<HResult>(0x8009310B);         // CRYPT_E_ASN1_BADTAG
}  // namespace crypt

// CERT_TRUST_* bits of a chain's error status.
namespace trust {
constexpr uint32_t kIsNotTimeValid = 0x00000001;
constexpr uint32_t kIsRevoked = 0x00000004;
constexpr uint32_t kIsNotSignatureValid = 0x00000008;
constexpr uint32_t kIsNotValidForUsage = 0x00000010;
constexpr uint32_t kIsUntrustedRoot = 0x00000020;
constexpr uint32_t kRevocationStatusUnknown = 0x00000040;
constexpr uint32_t kIsCyclic = 0x00000080;
constexpr uint32_t kInvalidExtension = 0x00000100;
constexpr uint32_t kInvalidPolicyConstraints = 0x00000200;
constexpr uint32_t kInvalidBasicConstraints = 0x00000400;
constexpr uint32_t kInvalidNameConstraints = 0x00000800;
constexpr uint32_t kIsPartialChain = 0x00010000;
constexpr uint32_t kIsExplicitDistrust = 0x04000000;
}  // namespace trust

// One certificate of a signer's chain.
struct ChainCertificate {
  std::string encoded;  // DER
  // The purposes (dotted object identifiers) the machine's trust restricts a trusted
  // certificate to: a certificate store's property on Windows, a trusted certificate's
  // settings in OpenSSL. Nothing without a restriction.
  std::optional<std::vector<std::string>> trustedPurposes;
};

// A chain built for the signer's certificate.
struct ChainReport {
  uint32_t errorStatus = 0;                    // the CERT_TRUST error bits of the whole chain
  std::vector<ChainCertificate> certificates;  // the signer's first, towards the root
};

// The signer's certificate of a verified message.
class Certificate {
 public:
  virtual ~Certificate() = default;
  // CertVerifyTimeValidity at the current time: -1 before its validity, 0 within, 1 after.
  virtual int VerifyTimeValidity() = 0;
  // CertGetCertificateChain with the platform's trust, the certificates the message carried
  // as further candidates, no revocation check, nothing fetched from the network, and
  // e-mail protection as the usage the chain must be valid for (CryptoAPI's requested usage,
  // OpenSSL's S/MIME signing purpose). False when no chain could be built at all.
  virtual bool BuildChain(ChainReport* report) = 0;
  // The certificate, DER-encoded: the core reads its names and purposes itself.
  virtual std::string Encoded() = 0;
};

// Signer 0 of a signed-data object, as it was signed. Algorithms are dotted object
// identifiers.
struct SignerInfo {
  std::string digestAlgorithm;
  std::string signatureAlgorithm;
  std::string contentType;  // of the encapsulated (or detached) content
  bool signedAttributes = false;
  // The values of the content-type attributes among the signed attributes, in order.
  std::vector<std::string> contentTypeAttributes;
};

// What a signature that verified gives back.
struct VerifiedSignature {
  SignerInfo signer;
  std::unique_ptr<Certificate> certificate;  // the signer's; may be null
};

class MessageCrypto {
 public:
  virtual ~MessageCrypto() = default;
  // CryptVerifyMessageSignature of signer 0 of a signed-data object that holds its content,
  // with the digest in its signed attributes checked against the content: S_OK with what
  // was signed and by whom, or why it failed.
  virtual HResult VerifyMessageSignature(std::string_view signedData,
                                         VerifiedSignature* verified) = 0;
  // CryptVerifyDetachedMessageSignature of signer 0 of a signed-data object over `content`,
  // likewise.
  virtual HResult VerifyDetachedMessageSignature(std::string_view signature,
                                                 std::string_view content,
                                                 VerifiedSignature* verified) = 0;
};

// A message crypto whose trust can be widened with roots of the caller's choosing (the
// tidepost tool's --trust files, tests): beside the platform's own trust, never in place of
// it, and only for this object.
class TrustingMessageCrypto : public MessageCrypto {
 public:
  // Adds every certificate of a PEM file to the trusted roots. False with the reason when the
  // file cannot be read or holds no certificate. Not to be called while verifying.
  virtual bool TrustCertificates(const std::filesystem::path& pemFile, std::string* error) = 0;
};

}  // namespace tp::host
