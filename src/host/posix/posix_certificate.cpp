// Signer certificates over OpenSSL.
#include "host/posix/posix_certificate.h"

#include <algorithm>
#include <optional>
#include <string>
#include <vector>

namespace tp::host::posix {
namespace {

// Collects the trust bits of every error the verification meets, and lets it go on.
int CollectTrustErrors(int ok, X509_STORE_CTX* context) {
  if (ok == 0) {
    auto* bits = static_cast<uint32_t*>(X509_STORE_CTX_get_app_data(context));
    *bits |= TrustErrorOfVerifyError(X509_STORE_CTX_get_error(context));
  }
  return 1;
}

std::string DerOf(X509* certificate) {
  unsigned char* der = nullptr;
  const int length = i2d_X509(certificate, &der);
  if (length <= 0)
    return {};
  std::string bytes(reinterpret_cast<const char*>(der), static_cast<size_t>(length));
  OPENSSL_free(der);
  return bytes;
}

bool ListsObject(const STACK_OF(ASN1_OBJECT) * objects, int nid) {
  for (int i = 0; objects != nullptr && i < sk_ASN1_OBJECT_num(objects); ++i) {
    if (OBJ_obj2nid(sk_ASN1_OBJECT_value(objects, i)) == nid)
      return true;
  }
  return false;
}

// The purposes a trusted certificate's OpenSSL settings restrict it to, as far as e-mail
// protection goes: those it is trusted for ("any purpose" standing for e-mail protection
// too), without those it is rejected for; nothing when it has no settings.
std::optional<std::vector<std::string>> TrustedPurposes(X509* certificate) {
  const STACK_OF(ASN1_OBJECT)* trusted = X509_get0_trust_objects(certificate);
  const STACK_OF(ASN1_OBJECT)* rejected = X509_get0_reject_objects(certificate);
  if (trusted == nullptr && rejected == nullptr)
    return std::nullopt;
  std::vector<std::string> purposes;
  for (int i = 0; trusted != nullptr && i < sk_ASN1_OBJECT_num(trusted); ++i)
    purposes.push_back(ObjectIdentifierText(sk_ASN1_OBJECT_value(trusted, i)));
  const bool emailTrusted = trusted == nullptr || ListsObject(trusted, NID_email_protect) ||
                            ListsObject(trusted, NID_anyExtendedKeyUsage);
  const bool emailRejected =
      ListsObject(rejected, NID_email_protect) || ListsObject(rejected, NID_anyExtendedKeyUsage);
  const std::string email = ObjectIdentifierText(OBJ_nid2obj(NID_email_protect));
  std::erase(purposes, email);
  if (emailTrusted && !emailRejected)
    purposes.push_back(email);
  return purposes;
}

}  // namespace

std::string ObjectIdentifierText(const ASN1_OBJECT* object) {
  char text[128];
  const int length = OBJ_obj2txt(text, sizeof(text), object, 1);
  return length > 0 && static_cast<size_t>(length) < sizeof(text) ? std::string(text, length)
                                                                  : std::string();
}

uint32_t TrustErrorOfVerifyError(int verifyError) {
  switch (verifyError) {
    case X509_V_OK:
      return 0;
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT:
    case X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY:
    case X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE:
      return trust::kIsPartialChain;
    case X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT:
    case X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN:
    case X509_V_ERR_CERT_UNTRUSTED:
      return trust::kIsUntrustedRoot;
    case X509_V_ERR_CERT_NOT_YET_VALID:
    case X509_V_ERR_CERT_HAS_EXPIRED:
    case X509_V_ERR_ERROR_IN_CERT_NOT_BEFORE_FIELD:
    case X509_V_ERR_ERROR_IN_CERT_NOT_AFTER_FIELD:
      return trust::kIsNotTimeValid;
    case X509_V_ERR_CERT_REVOKED:
      return trust::kIsRevoked;
    case X509_V_ERR_INVALID_PURPOSE:
    case X509_V_ERR_KEYUSAGE_NO_CERTSIGN:
    case X509_V_ERR_KEYUSAGE_NO_DIGITAL_SIGNATURE:
      return trust::kIsNotValidForUsage;
    case X509_V_ERR_CERT_REJECTED:
      return trust::kIsExplicitDistrust;
    case X509_V_ERR_INVALID_CA:
    case X509_V_ERR_PATH_LENGTH_EXCEEDED:
    case X509_V_ERR_INVALID_NON_CA:
      return trust::kInvalidBasicConstraints;
    case X509_V_ERR_UNHANDLED_CRITICAL_EXTENSION:
    case X509_V_ERR_INVALID_EXTENSION:
      return trust::kInvalidExtension;
    case X509_V_ERR_INVALID_POLICY_EXTENSION:
    case X509_V_ERR_NO_EXPLICIT_POLICY:
      return trust::kInvalidPolicyConstraints;
    case X509_V_ERR_PERMITTED_VIOLATION:
    case X509_V_ERR_EXCLUDED_VIOLATION:
    case X509_V_ERR_SUBTREE_MINMAX:
    case X509_V_ERR_UNSUPPORTED_CONSTRAINT_TYPE:
    case X509_V_ERR_UNSUPPORTED_CONSTRAINT_SYNTAX:
    case X509_V_ERR_UNSUPPORTED_NAME_SYNTAX:
      return trust::kInvalidNameConstraints;
    case X509_V_ERR_CERT_CHAIN_TOO_LONG:
      return trust::kIsCyclic;
    default:
      // A signature that does not verify, an undecodable key, and whatever else stops the
      // chain from vouching for the certificate.
      return trust::kIsNotSignatureValid;
  }
}

PosixCertificate::PosixCertificate(X509* certificate, STACK_OF(X509) * messageCertificates,
                                   X509_STORE* trusted) {
  X509_up_ref(certificate);
  m_certificate.reset(certificate);
  m_messageCertificates.reset(messageCertificates ? X509_chain_up_ref(messageCertificates)
                                                  : sk_X509_new_null());
  X509_STORE_up_ref(trusted);
  m_trusted.reset(trusted);
}

int PosixCertificate::VerifyTimeValidity() {
  // X509_cmp_current_time: -1 when the time is in the past, 1 in the future, 0 unreadable.
  if (X509_cmp_current_time(X509_get0_notBefore(m_certificate.get())) >= 0)
    return -1;
  if (X509_cmp_current_time(X509_get0_notAfter(m_certificate.get())) <= 0)
    return 1;
  return 0;
}

bool PosixCertificate::BuildChain(ChainReport* report) {
  ClearOpenSslErrors clear;
  UniqueStoreContext context(X509_STORE_CTX_new());
  if (!context || !m_messageCertificates ||
      X509_STORE_CTX_init(context.get(), m_trusted.get(), m_certificate.get(),
                          m_messageCertificates.get()) != 1 ||
      X509_STORE_CTX_set_purpose(context.get(), X509_PURPOSE_SMIME_SIGN) != 1) {
    return false;
  }
  uint32_t bits = 0;
  X509_STORE_CTX_set_app_data(context.get(), &bits);
  X509_STORE_CTX_set_verify_cb(context.get(), CollectTrustErrors);
  if (X509_verify_cert(context.get()) < 0)
    return false;
  *report = {};
  report->errorStatus = bits;
  const STACK_OF(X509)* chain = X509_STORE_CTX_get0_chain(context.get());
  for (int i = 0; chain != nullptr && i < sk_X509_num(chain); ++i) {
    X509* element = sk_X509_value(chain, i);
    report->certificates.push_back({DerOf(element), TrustedPurposes(element)});
  }
  return true;
}

std::string PosixCertificate::Encoded() {
  return DerOf(m_certificate.get());
}

}  // namespace tp::host::posix
