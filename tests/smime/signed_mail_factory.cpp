// Test certificates and signed messages made with OpenSSL.
#include "signed_mail_factory.h"

#include <openssl/bio.h>
#include <openssl/cms.h>
#include <openssl/err.h>
#include <openssl/pem.h>
#include <openssl/rsa.h>
#include <openssl/x509v3.h>

#include <atomic>
#include <map>
#include <stdexcept>

namespace tp::testing {
namespace {

[[noreturn]] void Fail(const char* what) {
  ERR_print_errors_fp(stderr);
  throw std::runtime_error(what);
}

void Require(bool ok, const char* what) {
  if (!ok)
    Fail(what);
}

struct BioDeleter {
  void operator()(BIO* bio) const { BIO_free_all(bio); }
};
using Bio = std::unique_ptr<BIO, BioDeleter>;
struct CmsDeleter {
  void operator()(CMS_ContentInfo* cms) const { CMS_ContentInfo_free(cms); }
};
struct StackDeleter {
  void operator()(STACK_OF(X509) * stack) const { sk_X509_free(stack); }
};

std::string BioText(BIO* bio) {
  char* data = nullptr;
  const long size = BIO_get_mem_data(bio, &data);
  return std::string(data, static_cast<size_t>(size));
}

void AddExtension(X509* certificate, X509V3_CTX* context, int nid, const std::string& value) {
  X509_EXTENSION* extension = X509V3_EXT_conf_nid(nullptr, context, nid, value.c_str());
  Require(extension != nullptr, "X509V3_EXT_conf_nid");
  Require(X509_add_ext(certificate, extension, -1) == 1, "X509_add_ext");
  X509_EXTENSION_free(extension);
}

// rfc822Name entries written byte for byte (OpenSSL's configuration syntax stops at a zero).
void AddEmailNames(X509* certificate, const std::vector<std::string>& emails) {
  GENERAL_NAMES* names = GENERAL_NAMES_new();
  Require(names != nullptr, "GENERAL_NAMES_new");
  for (const std::string& email : emails) {
    ASN1_IA5STRING* text = ASN1_IA5STRING_new();
    Require(text != nullptr && ASN1_STRING_set(text, email.data(), static_cast<int>(email.size())),
            "ASN1_STRING_set");
    GENERAL_NAME* name = GENERAL_NAME_new();
    Require(name != nullptr, "GENERAL_NAME_new");
    GENERAL_NAME_set0_value(name, GEN_EMAIL, text);
    Require(sk_GENERAL_NAME_push(names, name) > 0, "sk_GENERAL_NAME_push");
  }
  Require(X509_add1_ext_i2d(certificate, NID_subject_alt_name, names, 0, X509V3_ADD_DEFAULT) == 1,
          "X509_add1_ext_i2d");
  GENERAL_NAMES_free(names);
}

// A key for the identity. Signers, which issue nothing, share one key of each size (a key
// costs a tenth of a second or more to make); every authority has its own, so that no two
// issuers can be taken for each other.
Key NewKey(const CertificateProfile& profile) {
  static std::map<int, Key> signerKeys;
  const auto bits = static_cast<unsigned int>(profile.keyBits);
  if (profile.authority) {
    Key key(EVP_RSA_gen(bits));
    Require(key != nullptr, "EVP_RSA_gen");
    return key;
  }
  Key& shared = signerKeys[profile.keyBits];
  if (!shared) {
    shared.reset(EVP_RSA_gen(bits));
    Require(shared != nullptr, "EVP_RSA_gen");
  }
  Require(EVP_PKEY_up_ref(shared.get()) == 1, "EVP_PKEY_up_ref");
  return Key(shared.get());
}

}  // namespace

Identity MakeIdentity(const CertificateProfile& profile, const Identity* issuer) {
  static std::atomic<long> serial{1000};
  Identity made;
  made.key = NewKey(profile);
  made.certificate.reset(X509_new());
  X509* certificate = made.certificate.get();
  Require(X509_set_version(certificate, 2) == 1, "X509_set_version");
  ASN1_INTEGER_set(X509_get_serialNumber(certificate), ++serial);
  X509_gmtime_adj(X509_getm_notBefore(certificate), profile.notBeforeDays * 86400);
  X509_gmtime_adj(X509_getm_notAfter(certificate), profile.notAfterDays * 86400);
  Require(X509_set_pubkey(certificate, made.key.get()) == 1, "X509_set_pubkey");

  X509_NAME* name = X509_get_subject_name(certificate);
  auto addText = [name](const char* field, const std::string& value) {
    Require(X509_NAME_add_entry_by_txt(name, field, MBSTRING_UTF8,
                                       reinterpret_cast<const unsigned char*>(value.c_str()), -1,
                                       -1, 0) == 1,
            "X509_NAME_add_entry_by_txt");
  };
  addText("O", "Tidepost tests");
  addText("CN", profile.commonName);
  if (!profile.subjectEmail.empty()) {
    Require(
        X509_NAME_add_entry_by_NID(
            name, NID_pkcs9_emailAddress, MBSTRING_ASC,
            reinterpret_cast<const unsigned char*>(profile.subjectEmail.c_str()), -1, -1, 0) == 1,
        "X509_NAME_add_entry_by_NID");
  }
  X509* issuerCertificate = issuer ? issuer->certificate.get() : certificate;
  Require(X509_set_issuer_name(certificate, X509_get_subject_name(issuerCertificate)) == 1,
          "X509_set_issuer_name");

  X509V3_CTX context;
  X509V3_set_ctx(&context, issuerCertificate, certificate, nullptr, nullptr, 0);
  const std::string keyUsage = profile.keyUsage != "default" ? profile.keyUsage
                               : profile.authority           ? "critical,keyCertSign,cRLSign"
                                                   : "critical,digitalSignature,keyEncipherment";
  const std::string extendedKeyUsage = profile.extendedKeyUsage != "default"
                                           ? profile.extendedKeyUsage
                                       : profile.authority ? ""
                                                           : "emailProtection";
  AddExtension(certificate, &context, NID_basic_constraints,
               profile.authority ? "critical,CA:TRUE" : "CA:FALSE");
  if (!keyUsage.empty())
    AddExtension(certificate, &context, NID_key_usage, keyUsage);
  if (!extendedKeyUsage.empty())
    AddExtension(certificate, &context, NID_ext_key_usage, extendedKeyUsage);
  AddExtension(certificate, &context, NID_subject_key_identifier, "hash");
  if (issuer != nullptr)
    AddExtension(certificate, &context, NID_authority_key_identifier, "keyid:always");
  if (!profile.sanEmails.empty())
    AddEmailNames(certificate, profile.sanEmails);
  EVP_PKEY* signingKey = issuer ? issuer->key.get() : made.key.get();
  const EVP_MD* digest = profile.signatureDigest ? profile.signatureDigest : EVP_sha256();
  Require(X509_sign(certificate, signingKey, digest) > 0, "X509_sign");
  return made;
}

std::string CertificatePem(X509* certificate) {
  Bio out(BIO_new(BIO_s_mem()));
  Require(PEM_write_bio_X509(out.get(), certificate) == 1, "PEM_write_bio_X509");
  return BioText(out.get());
}

std::string TrustedCertificatePem(X509* certificate, const std::string& purpose) {
  CertificatePtr copy(X509_dup(certificate));
  ASN1_OBJECT* object = OBJ_txt2obj(purpose.c_str(), 1);
  Require(copy && object != nullptr && X509_add1_trust_object(copy.get(), object) == 1,
          "X509_add1_trust_object");
  ASN1_OBJECT_free(object);
  Bio out(BIO_new(BIO_s_mem()));
  Require(PEM_write_bio_X509_AUX(out.get(), copy.get()) == 1, "PEM_write_bio_X509_AUX");
  return BioText(out.get());
}

std::string CertificateDer(X509* certificate) {
  unsigned char* der = nullptr;
  const int length = i2d_X509(certificate, &der);
  Require(length > 0, "i2d_X509");
  std::string bytes(reinterpret_cast<char*>(der), static_cast<size_t>(length));
  OPENSSL_free(der);
  return bytes;
}

std::string SignContent(const Identity& signer, const std::vector<const Identity*>& chain,
                        std::string_view content, const SignOptions& options) {
  std::unique_ptr<STACK_OF(X509), StackDeleter> extra(sk_X509_new_null());
  for (const Identity* identity : chain)
    sk_X509_push(extra.get(), identity->certificate.get());
  unsigned int flags = CMS_BINARY | CMS_NOSMIMECAP;
  if (options.detached)
    flags |= CMS_DETACHED;
  if (!options.includeCertificates)
    flags |= CMS_NOCERTS;
  if (!options.signedAttributes)
    flags |= CMS_NOATTR;
  Bio in(BIO_new_mem_buf(content.data(), static_cast<int>(content.size())));
  // Signed in steps, so that the signer's digest and attributes can be chosen.
  std::unique_ptr<CMS_ContentInfo, CmsDeleter> cms(
      CMS_sign(nullptr, nullptr, options.includeCertificates ? extra.get() : nullptr, nullptr,
               flags | CMS_PARTIAL));
  Require(cms != nullptr, "CMS_sign");
  CMS_SignerInfo* signerInfo =
      CMS_add1_signer(cms.get(), signer.certificate.get(), signer.key.get(),
                      options.digest ? options.digest : EVP_sha256(), flags | CMS_PARTIAL);
  Require(signerInfo != nullptr, "CMS_add1_signer");
  // Another signed content type: the object claims it while signing, so that the signed
  // attribute names it, and the content's own type is put back after.
  auto setType = [&cms](const char* oid) {
    ASN1_OBJECT* type = OBJ_txt2obj(oid, 1);
    Require(type != nullptr && CMS_set1_eContentType(cms.get(), type) == 1,
            "CMS_set1_eContentType");
    ASN1_OBJECT_free(type);
  };
  if (!options.signedContentType.empty())
    setType(options.signedContentType.c_str());
  Require(CMS_final(cms.get(), in.get(), nullptr, flags) == 1, "CMS_final");
  if (!options.signedContentType.empty())
    setType("1.2.840.113549.1.7.1");
  if (options.breakSignature) {
    ASN1_OCTET_STRING* signature = CMS_SignerInfo_get0_signature(signerInfo);
    std::string value(reinterpret_cast<const char*>(ASN1_STRING_get0_data(signature)),
                      static_cast<size_t>(ASN1_STRING_length(signature)));
    value[value.size() / 2] = static_cast<char>(value[value.size() / 2] ^ 0x01);
    Require(ASN1_OCTET_STRING_set(signature, reinterpret_cast<const unsigned char*>(value.data()),
                                  static_cast<int>(value.size())) == 1,
            "ASN1_OCTET_STRING_set");
  }
  unsigned char* der = nullptr;
  const int length = i2d_CMS_ContentInfo(cms.get(), &der);
  Require(length > 0, "i2d_CMS_ContentInfo");
  std::string bytes(reinterpret_cast<char*>(der), static_cast<size_t>(length));
  OPENSSL_free(der);
  return bytes;
}

std::string Base64Lines(std::string_view bytes) {
  Bio base64(BIO_new(BIO_f_base64()));
  BIO* memory = BIO_new(BIO_s_mem());
  BIO_push(base64.get(), memory);
  BIO_write(base64.get(), bytes.data(), static_cast<int>(bytes.size()));
  (void)BIO_flush(base64.get());
  // OpenSSL writes 64-character lines ended by LF.
  std::string lines;
  for (const char ch : BioText(memory)) {
    if (ch == '\n')
      lines += '\r';
    lines += ch;
  }
  return lines;
}

}  // namespace tp::testing
