// Signer certificates over OpenSSL.
#include "host/posix/posix_certificate.h"

#include <string>

#include "support/text.h"

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

std::wstring Utf8Of(const ASN1_STRING* value) {
  unsigned char* utf8 = nullptr;
  const int length = ASN1_STRING_to_UTF8(&utf8, value);
  if (length < 0)
    return {};
  std::wstring text = Utf8ToWide(
      std::string_view(reinterpret_cast<const char*>(utf8), static_cast<size_t>(length)));
  OPENSSL_free(utf8);
  return text;
}

}  // namespace

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
  certificate_.reset(certificate);
  messageCertificates_.reset(messageCertificates ? X509_chain_up_ref(messageCertificates)
                                                 : sk_X509_new_null());
  X509_STORE_up_ref(trusted);
  trusted_.reset(trusted);
}

int PosixCertificate::VerifyTimeValidity() {
  // X509_cmp_current_time: -1 when the time is in the past, 1 in the future, 0 unreadable.
  if (X509_cmp_current_time(X509_get0_notBefore(certificate_.get())) >= 0)
    return -1;
  if (X509_cmp_current_time(X509_get0_notAfter(certificate_.get())) <= 0)
    return 1;
  return 0;
}

bool PosixCertificate::GetChainErrorStatus(uint32_t* errorStatus) {
  ClearOpenSslErrors clear;
  UniqueStoreContext context(X509_STORE_CTX_new());
  if (!context || !messageCertificates_ ||
      X509_STORE_CTX_init(context.get(), trusted_.get(), certificate_.get(),
                          messageCertificates_.get()) != 1) {
    return false;
  }
  uint32_t bits = 0;
  X509_STORE_CTX_set_app_data(context.get(), &bits);
  X509_STORE_CTX_set_verify_cb(context.get(), CollectTrustErrors);
  if (X509_verify_cert(context.get()) < 0)
    return false;
  *errorStatus = bits;
  return true;
}

std::wstring PosixCertificate::Subject() {
  ClearOpenSslErrors clear;
  UniqueBio out(BIO_new(BIO_s_mem()));
  if (!out)
    return {};
  // Most specific first, ", " between names, non-ASCII kept as UTF-8.
  const unsigned long flags = (ASN1_STRFLGS_RFC2253 & ~ASN1_STRFLGS_ESC_MSB) |
                              XN_FLAG_SEP_CPLUS_SPC | XN_FLAG_DN_REV | XN_FLAG_FN_SN;
  if (X509_NAME_print_ex(out.get(), X509_get_subject_name(certificate_.get()), 0, flags) < 0)
    return {};
  char* data = nullptr;
  const long size = BIO_get_mem_data(out.get(), &data);
  return size > 0 ? Utf8ToWide(std::string_view(data, static_cast<size_t>(size))) : L"";
}

std::vector<std::wstring> PosixCertificate::EmailAddresses() {
  ClearOpenSslErrors clear;
  std::vector<std::wstring> addresses;
  UniqueGeneralNames names(static_cast<GENERAL_NAMES*>(
      X509_get_ext_d2i(certificate_.get(), NID_subject_alt_name, nullptr, nullptr)));
  for (int i = 0; names && i < sk_GENERAL_NAME_num(names.get()); ++i) {
    const GENERAL_NAME* name = sk_GENERAL_NAME_value(names.get(), i);
    if (name->type == GEN_EMAIL)
      addresses.push_back(Utf8Of(name->d.rfc822Name));
  }
  const X509_NAME* subject = X509_get_subject_name(certificate_.get());
  for (int at = X509_NAME_get_index_by_NID(subject, NID_pkcs9_emailAddress, -1); at >= 0;
       at = X509_NAME_get_index_by_NID(subject, NID_pkcs9_emailAddress, at)) {
    addresses.push_back(Utf8Of(X509_NAME_ENTRY_get_data(X509_NAME_get_entry(subject, at))));
  }
  return addresses;
}

}  // namespace tp::host::posix
