// CMS signature verification over CryptoAPI.
#include "host/win32/win32_crypto.h"

#include <algorithm>
#include <string>
#include <vector>

#include "host/win32/crypt_resources.h"
#include "host/win32/win32_certificate.h"

namespace tp::host::win32 {
namespace {

constexpr DWORD kEncoding = X509_ASN_ENCODING | PKCS_7_ASN_ENCODING;

static_assert(kEncoding == 0x10001);
static_assert(crypt::kBadSignature == static_cast<HResult>(NTE_BAD_SIGNATURE));
static_assert(crypt::kUnknownAlgorithm == static_cast<HResult>(CRYPT_E_UNKNOWN_ALGO));
static_assert(crypt::kAuthAttrMissing == static_cast<HResult>(CRYPT_E_AUTH_ATTR_MISSING));
static_assert(crypt::kHashValue == static_cast<HResult>(CRYPT_E_HASH_VALUE));
static_assert(crypt::kInvalidIndex == static_cast<HResult>(CRYPT_E_INVALID_INDEX));
static_assert(crypt::kNotFound == static_cast<HResult>(CRYPT_E_NOT_FOUND));
static_assert(crypt::kUnexpectedMsgType == static_cast<HResult>(CRYPT_E_UNEXPECTED_MSG_TYPE));
static_assert(crypt::kAsn1BadTag == static_cast<HResult>(CRYPT_E_ASN1_BADTAG));
static_assert(trust::kIsNotTimeValid == CERT_TRUST_IS_NOT_TIME_VALID);
static_assert(trust::kIsNotSignatureValid == CERT_TRUST_IS_NOT_SIGNATURE_VALID);
static_assert(trust::kIsUntrustedRoot == CERT_TRUST_IS_UNTRUSTED_ROOT);
static_assert(trust::kInvalidBasicConstraints == CERT_TRUST_INVALID_BASIC_CONSTRAINTS);
static_assert(trust::kIsPartialChain == CERT_TRUST_IS_PARTIAL_CHAIN);
static_assert(trust::kIsExplicitDistrust == CERT_TRUST_IS_EXPLICIT_DISTRUST);

// CryptoAPI sets HRESULTs as its last error; plain Win32 errors become HRESULTs.
HResult LastCryptError() {
  const DWORD error = ::GetLastError();
  if (error == 0)
    return ToHResult(E_FAIL);
  return ToHResult(error > 0xFFFF ? static_cast<HRESULT>(error) : HRESULT_FROM_WIN32(error));
}

CRYPT_VERIFY_MESSAGE_PARA VerifyParameters() {
  // No provider, no callback: the signer's certificate comes from the message.
  CRYPT_VERIFY_MESSAGE_PARA parameters{};
  parameters.cbSize = sizeof(parameters);
  parameters.dwMsgAndCertEncodingType = kEncoding;
  return parameters;
}

const BYTE* Bytes(std::string_view data) {
  return reinterpret_cast<const BYTE*>(data.data());
}

// A parameter of a decoded message, whole.
bool GetParam(HCRYPTMSG message, DWORD type, DWORD index, std::vector<BYTE>* value) {
  DWORD size = 0;
  if (!::CryptMsgGetParam(message, type, index, nullptr, &size))
    return false;
  value->resize(size);
  if (!::CryptMsgGetParam(message, type, index, value->data(), &size))
    return false;
  value->resize(size);
  return true;
}

// Signer 0's signed attributes must carry the digest of the content that was verified.
HResult CheckSignedDigest(std::string_view signedData, const std::string_view* content) {
  UniqueCryptMsg message(
      ::CryptMsgOpenToDecode(kEncoding, content ? CMSG_DETACHED_FLAG : 0, 0, 0, nullptr, nullptr));
  if (!message)
    return LastCryptError();
  if (!::CryptMsgUpdate(message.get(), Bytes(signedData), static_cast<DWORD>(signedData.size()),
                        TRUE) ||
      (content != nullptr && !::CryptMsgUpdate(message.get(), Bytes(*content),
                                               static_cast<DWORD>(content->size()), TRUE))) {
    return LastCryptError();
  }
  // Without signed attributes the signature itself is over the content's digest. CryptoAPI
  // says so with CRYPT_E_ATTRIBUTES_MISSING, Wine's with an empty list.
  std::vector<BYTE> attributes;
  if (!GetParam(message.get(), CMSG_SIGNER_AUTH_ATTR_PARAM, 0, &attributes)) {
    return ::GetLastError() == static_cast<DWORD>(CRYPT_E_ATTRIBUTES_MISSING) ? hr::kOk
                                                                              : LastCryptError();
  }
  const auto* list = reinterpret_cast<const CRYPT_ATTRIBUTES*>(attributes.data());
  if (attributes.size() < sizeof(CRYPT_ATTRIBUTES) || list->cAttr == 0 || list->rgAttr == nullptr)
    return hr::kOk;
  const CRYPT_ATTRIBUTE* digest = nullptr;
  for (DWORD i = 0; i < list->cAttr; ++i) {
    const CRYPT_ATTRIBUTE& attribute = list->rgAttr[i];
    if (attribute.pszObjId != nullptr &&
        std::string_view(attribute.pszObjId) == szOID_RSA_messageDigest && attribute.cValue == 1 &&
        attribute.rgValue != nullptr) {
      digest = &attribute;
    }
  }
  if (digest == nullptr)
    return crypt::kAuthAttrMissing;
  UniqueLocalMemory signedDigest;
  DWORD size = 0;
  if (!::CryptDecodeObjectEx(kEncoding, X509_OCTET_STRING, digest->rgValue[0].pbData,
                             digest->rgValue[0].cbData, CRYPT_DECODE_ALLOC_FLAG, nullptr,
                             signedDigest.Receive(), &size)) {
    return crypt::kHashValue;
  }
  std::vector<BYTE> computed;
  if (!GetParam(message.get(), CMSG_COMPUTED_HASH_PARAM, 0, &computed))
    return LastCryptError();
  const auto* blob = static_cast<const CRYPT_DATA_BLOB*>(signedDigest.get());
  if (blob->cbData != computed.size() ||
      !std::equal(computed.begin(), computed.end(), blob->pbData)) {
    return crypt::kHashValue;
  }
  return hr::kOk;
}

// After a signature verified: the digest check, and the signer with the message's
// certificates.
HResult Conclude(std::string_view signedData, const std::string_view* content,
                 UniqueCertContext certificate, std::unique_ptr<Certificate>* signer) {
  const HResult digest = CheckSignedDigest(signedData, content);
  if (hr::Failed(digest))
    return digest;
  if (certificate) {
    UniqueCertStore messageCertificates(::CryptGetMessageCertificates(
        kEncoding, 0, 0, Bytes(signedData), static_cast<DWORD>(signedData.size())));
    *signer =
        std::make_unique<Win32Certificate>(std::move(certificate), std::move(messageCertificates));
  }
  return hr::kOk;
}

}  // namespace

HResult Win32MessageCrypto::VerifyMessageSignature(std::string_view signedData,
                                                   std::unique_ptr<Certificate>* signer) {
  signer->reset();
  if (signedData.size() > MAXDWORD)
    return crypt::kAsn1BadTag;
  CRYPT_VERIFY_MESSAGE_PARA parameters = VerifyParameters();
  UniqueCertContext certificate;
  if (!::CryptVerifyMessageSignature(&parameters, 0, Bytes(signedData),
                                     static_cast<DWORD>(signedData.size()), nullptr, nullptr,
                                     certificate.Receive())) {
    return LastCryptError();
  }
  return Conclude(signedData, nullptr, std::move(certificate), signer);
}

HResult Win32MessageCrypto::VerifyDetachedMessageSignature(std::string_view signature,
                                                           std::string_view content,
                                                           std::unique_ptr<Certificate>* signer) {
  signer->reset();
  if (signature.size() > MAXDWORD)
    return crypt::kAsn1BadTag;
  if (content.size() > MAXDWORD)
    return crypt::kHashValue;
  CRYPT_VERIFY_MESSAGE_PARA parameters = VerifyParameters();
  const BYTE* parts[] = {Bytes(content)};
  DWORD sizes[] = {static_cast<DWORD>(content.size())};
  UniqueCertContext certificate;
  if (!::CryptVerifyDetachedMessageSignature(&parameters, 0, Bytes(signature),
                                             static_cast<DWORD>(signature.size()), 1, parts, sizes,
                                             certificate.Receive())) {
    return LastCryptError();
  }
  return Conclude(signature, &content, std::move(certificate), signer);
}

}  // namespace tp::host::win32
