// CMS signature verification over OpenSSL.
#include "host/posix/posix_crypto.h"

#include <climits>

#include <openssl/pem.h>

#include "host/posix/posix_certificate.h"

namespace tp::host::posix {
namespace {

// Reads the content through the digest BIOs that CMS_dataInit chained up.
bool ReadThrough(BIO* chain) {
  char buffer[16384];
  for (;;) {
    const int read = BIO_read(chain, buffer, sizeof(buffer));
    if (read > 0)
      continue;
    return read == 0 || BIO_eof(chain);
  }
}

// What signer 0 signed and with which algorithms.
SignerInfo DescribeSigner(CMS_ContentInfo* cms, CMS_SignerInfo* signerInfo) {
  SignerInfo signer;
  X509_ALGOR* digest = nullptr;
  X509_ALGOR* signature = nullptr;
  CMS_SignerInfo_get0_algs(signerInfo, nullptr, nullptr, &digest, &signature);
  const ASN1_OBJECT* algorithm = nullptr;
  if (digest != nullptr) {
    X509_ALGOR_get0(&algorithm, nullptr, nullptr, digest);
    signer.digestAlgorithm = ObjectIdentifierText(algorithm);
  }
  if (signature != nullptr) {
    X509_ALGOR_get0(&algorithm, nullptr, nullptr, signature);
    signer.signatureAlgorithm = ObjectIdentifierText(algorithm);
  }
  signer.contentType = ObjectIdentifierText(CMS_get0_eContentType(cms));
  signer.signedAttributes = CMS_signed_get_attr_count(signerInfo) >= 0;
  for (int at = CMS_signed_get_attr_by_NID(signerInfo, NID_pkcs9_contentType, -1); at >= 0;
       at = CMS_signed_get_attr_by_NID(signerInfo, NID_pkcs9_contentType, at)) {
    X509_ATTRIBUTE* attribute = CMS_signed_get_attr(signerInfo, at);
    for (int i = 0; attribute != nullptr && i < X509_ATTRIBUTE_count(attribute); ++i) {
      const ASN1_TYPE* value = X509_ATTRIBUTE_get0_type(attribute, i);
      signer.contentTypeAttributes.push_back(value != nullptr && value->type == V_ASN1_OBJECT
                                                 ? ObjectIdentifierText(value->value.object)
                                                 : std::string());
    }
  }
  return signer;
}

// Frees the digest BIOs that CMS_dataInit put in front of a caller's content, and the
// content with the rest when it is the object's own.
struct ChainOwner {
  BIO* chain;
  BIO* content;
  ~ChainOwner() {
    while (chain != nullptr && chain != content) {
      BIO* next = BIO_pop(chain);
      BIO_free(chain);
      chain = next;
    }
  }
};

// Checks signer 0's signature once the content has been read through `chain`.
HResult CheckSignature(CMS_SignerInfo* signerInfo, BIO* chain) {
  if (CMS_signed_get_attr_count(signerInfo) < 0) {
    // No signed attributes: the signature is over the content's digest itself.
    if (CMS_SignerInfo_verify_content(signerInfo, chain) != 1)
      return crypt::kBadSignature;
  } else {
    if (CMS_signed_get0_data_by_OBJ(signerInfo, OBJ_nid2obj(NID_pkcs9_messageDigest), -3,
                                    V_ASN1_OCTET_STRING) == nullptr) {
      return crypt::kAuthAttrMissing;
    }
    if (CMS_SignerInfo_verify(signerInfo) != 1)
      return crypt::kBadSignature;
    const int digest = CMS_SignerInfo_verify_content(signerInfo, chain);
    if (digest == 0)
      return crypt::kHashValue;
    if (digest != 1)
      return crypt::kUnknownAlgorithm;
  }
  return hr::kOk;
}

X509* FindSignerCertificate(CMS_SignerInfo* signerInfo, STACK_OF(X509) * certificates) {
  for (int i = 0; certificates && i < sk_X509_num(certificates); ++i) {
    X509* candidate = sk_X509_value(certificates, i);
    if (CMS_SignerInfo_cert_cmp(signerInfo, candidate) == 0)
      return candidate;
  }
  return nullptr;
}

}  // namespace

PosixMessageCrypto::PosixMessageCrypto() : m_trusted(X509_STORE_new()) {}

void PosixMessageCrypto::LoadSystemTrust() {
  std::call_once(m_systemTrust, [this] {
    ClearOpenSslErrors clear;
    X509_STORE_set_default_paths(m_trusted.get());
    m_systemTrustLoaded = true;
  });
}

bool PosixMessageCrypto::SystemTrustLoaded() const {
  return m_systemTrustLoaded;
}

bool PosixMessageCrypto::TrustCertificates(const std::filesystem::path& pemFile,
                                           std::string* error) {
  ClearOpenSslErrors clear;
  const std::string name = pemFile.string();
  UniqueBio in(BIO_new_file(name.c_str(), "rb"));
  if (!in) {
    *error = "cannot read " + name;
    return false;
  }
  int added = 0;
  while (UniqueX509 certificate{PEM_read_bio_X509_AUX(in.get(), nullptr, nullptr, nullptr)}) {
    if (!m_trusted || X509_STORE_add_cert(m_trusted.get(), certificate.get()) != 1) {
      *error = "cannot trust the certificates of " + name;
      return false;
    }
    ++added;
  }
  if (added == 0) {
    *error = name + " holds no PEM certificate";
    return false;
  }
  return true;
}

HResult PosixMessageCrypto::VerifyMessageSignature(std::string_view signedData,
                                                   VerifiedSignature* verified) {
  return Verify(signedData, nullptr, verified);
}

HResult PosixMessageCrypto::VerifyDetachedMessageSignature(std::string_view signature,
                                                           std::string_view content,
                                                           VerifiedSignature* verified) {
  return Verify(signature, &content, verified);
}

HResult PosixMessageCrypto::Verify(std::string_view signedData,
                                   const std::string_view* detachedContent,
                                   VerifiedSignature* verified) {
  *verified = {};
  if (!m_trusted)
    return hr::kOutOfMemory;
  LoadSystemTrust();
  ClearOpenSslErrors clear;
  if (signedData.size() > static_cast<size_t>(INT_MAX))
    return crypt::kAsn1BadTag;
  const auto* der = reinterpret_cast<const unsigned char*>(signedData.data());
  UniqueCms cms(d2i_CMS_ContentInfo(nullptr, &der, static_cast<long>(signedData.size())));
  if (!cms)
    return crypt::kAsn1BadTag;
  if (OBJ_obj2nid(CMS_get0_type(cms.get())) != NID_pkcs7_signed)
    return crypt::kUnexpectedMsgType;
  STACK_OF(CMS_SignerInfo)* signerInfos = CMS_get0_SignerInfos(cms.get());
  if (signerInfos == nullptr || sk_CMS_SignerInfo_num(signerInfos) == 0)
    return crypt::kInvalidIndex;
  CMS_SignerInfo* signerInfo = sk_CMS_SignerInfo_value(signerInfos, 0);
  const UniqueX509Stack certificates(CMS_get1_certs(cms.get()));
  X509* signerCertificate = FindSignerCertificate(signerInfo, certificates.get());
  if (signerCertificate == nullptr)
    return crypt::kNotFound;
  CMS_SignerInfo_set1_signer_cert(signerInfo, signerCertificate);

  // A signature without its content is not an opaque signed message.
  if (detachedContent == nullptr && CMS_is_detached(cms.get()) == 1)
    return crypt::kBadSignature;
  UniqueBio content;
  if (detachedContent != nullptr) {
    if (detachedContent->size() > static_cast<size_t>(INT_MAX))
      return crypt::kHashValue;
    content.reset(
        BIO_new_mem_buf(detachedContent->data(), static_cast<int>(detachedContent->size())));
    if (!content)
      return hr::kOutOfMemory;
  }
  // CMS_dataInit chains digest BIOs in front of the content; the chain owns the content BIO
  // only when the content is the object's own.
  BIO* chain = CMS_dataInit(cms.get(), content.get());
  if (chain == nullptr)
    return crypt::kUnknownAlgorithm;
  ChainOwner owner{chain, content.get()};
  if (!ReadThrough(chain))
    return crypt::kUnknownAlgorithm;

  const HResult signature = CheckSignature(signerInfo, chain);
  if (signature != hr::kOk)
    return signature;
  verified->signer = DescribeSigner(cms.get(), signerInfo);
  verified->certificate =
      std::make_unique<PosixCertificate>(signerCertificate, certificates.get(), m_trusted.get());
  return hr::kOk;
}

}  // namespace tp::host::posix
