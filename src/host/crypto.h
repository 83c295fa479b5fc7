// Message crypto port: verifying a PKCS#7 signed-data object and its signer's certificate
// with the platform's cryptography (CryptoAPI on Windows, OpenSSL's CMS elsewhere). The port
// speaks CryptoAPI's answers: HRESULTs for the signature, CertVerifyTimeValidity's result for
// the certificate's dates and the CERT_TRUST error bits of its chain, so that every adapter
// maps its library onto the same answers and the core decides from them alone.
//
// The trust is the platform's: the user's certificate stores on Windows; on posix the
// system's CA bundle plus the certificates the adapter was given. The current time is the
// platform's real time, whatever clock the rest of the host simulates.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "support/hresult.h"

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

// The signer's certificate of a verified message.
class Certificate {
 public:
  virtual ~Certificate() = default;
  // CertVerifyTimeValidity at the current time: -1 before its validity, 0 within, 1 after.
  virtual int VerifyTimeValidity() = 0;
  // CertGetCertificateChain with the platform's trust, the certificates the message carried
  // as further candidates, no revocation check, no required usage and nothing fetched from the
  // network: the chain's trust error bits. False when no chain could be built at all.
  virtual bool GetChainErrorStatus(uint32_t* errorStatus) = 0;
  // The subject's distinguished name as the platform writes it, for people to read.
  virtual std::wstring Subject() = 0;
  // The certificate's e-mail addresses: the rfc822Name entries of its subject alternative
  // names, then the e-mail attributes of its subject, as written (not checked, not folded).
  virtual std::vector<std::wstring> EmailAddresses() = 0;
};

class MessageCrypto {
 public:
  virtual ~MessageCrypto() = default;
  // CryptVerifyMessageSignature of signer 0 of a signed-data object that holds its content:
  // S_OK with the signer's certificate (which may still be null), or why it failed.
  virtual HResult VerifyMessageSignature(std::string_view signedData,
                                         std::unique_ptr<Certificate>* signer) = 0;
  // CryptVerifyDetachedMessageSignature of signer 0 of a signed-data object over `content`.
  virtual HResult VerifyDetachedMessageSignature(std::string_view signature,
                                                 std::string_view content,
                                                 std::unique_ptr<Certificate>* signer) = 0;
};

}  // namespace tp::host
