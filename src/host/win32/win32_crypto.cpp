// CMS signature verification over CryptoAPI.
#include "host/win32/win32_crypto.h"

#include <algorithm>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "host/win32/win32_certificate.h"

namespace tp::host::win32 {
namespace {

constexpr DWORD kEncoding = X509_ASN_ENCODING | PKCS_7_ASN_ENCODING;
constexpr std::string_view kPemBegin = "-----BEGIN CERTIFICATE-----";
constexpr std::string_view kPemEnd = "-----END CERTIFICATE-----";

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
static_assert(trust::kIsNotValidForUsage == CERT_TRUST_IS_NOT_VALID_FOR_USAGE);
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

std::string Text(LPCSTR text) {
  return text == nullptr ? std::string() : std::string(text);
}

// An attribute value holding an object identifier, as dotted text; empty when it is not one.
std::string ObjectIdentifierValue(const CRYPT_ATTR_BLOB& value) {
  UniqueLocalMemory decoded;
  DWORD size = 0;
  if (!::CryptDecodeObjectEx(kEncoding, X509_OBJECT_IDENTIFIER, value.pbData, value.cbData,
                             CRYPT_DECODE_ALLOC_FLAG, nullptr, decoded.Receive(), &size) ||
      size < sizeof(LPSTR)) {
    return {};
  }
  return Text(*static_cast<const LPSTR*>(decoded.get()));
}

// The signed digest must equal the content's: CryptoAPI computed the content's digest while
// decoding.
HResult CheckDigest(HCRYPTMSG message, const CRYPT_ATTRIBUTE& digest) {
  if (digest.cValue != 1 || digest.rgValue == nullptr)
    return crypt::kAuthAttrMissing;
  UniqueLocalMemory signedDigest;
  DWORD size = 0;
  if (!::CryptDecodeObjectEx(kEncoding, X509_OCTET_STRING, digest.rgValue[0].pbData,
                             digest.rgValue[0].cbData, CRYPT_DECODE_ALLOC_FLAG, nullptr,
                             signedDigest.Receive(), &size)) {
    return crypt::kHashValue;
  }
  std::vector<BYTE> computed;
  if (!GetParam(message, CMSG_COMPUTED_HASH_PARAM, 0, &computed))
    return LastCryptError();
  const auto* blob = static_cast<const CRYPT_DATA_BLOB*>(signedDigest.get());
  if (blob->cbData != computed.size() ||
      !std::equal(computed.begin(), computed.end(), blob->pbData)) {
    return crypt::kHashValue;
  }
  return hr::kOk;
}

// Signer 0 of the message as it was signed, with its signed digest checked against the
// content.
HResult ReadSigner(std::string_view signedData, const std::string_view* content,
                   SignerInfo* signer) {
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
  std::vector<BYTE> infoBytes;
  std::vector<BYTE> contentType;
  if (!GetParam(message.get(), CMSG_SIGNER_INFO_PARAM, 0, &infoBytes) ||
      infoBytes.size() < sizeof(CMSG_SIGNER_INFO) ||
      !GetParam(message.get(), CMSG_INNER_CONTENT_TYPE_PARAM, 0, &contentType)) {
    return LastCryptError();
  }
  const auto* info = reinterpret_cast<const CMSG_SIGNER_INFO*>(infoBytes.data());
  signer->digestAlgorithm = Text(info->HashAlgorithm.pszObjId);
  signer->signatureAlgorithm = Text(info->HashEncryptionAlgorithm.pszObjId);
  contentType.push_back(0);
  signer->contentType = Text(reinterpret_cast<LPCSTR>(contentType.data()));
  // Without signed attributes the signature itself is over the content's digest.
  const CRYPT_ATTRIBUTES& attributes = info->AuthAttrs;
  signer->signedAttributes = attributes.cAttr != 0 && attributes.rgAttr != nullptr;
  const CRYPT_ATTRIBUTE* digest = nullptr;
  for (DWORD i = 0; signer->signedAttributes && i < attributes.cAttr; ++i) {
    const CRYPT_ATTRIBUTE& attribute = attributes.rgAttr[i];
    const std::string oid = Text(attribute.pszObjId);
    if (oid == szOID_RSA_messageDigest) {
      digest = &attribute;
    } else if (oid == szOID_RSA_contentType) {
      for (DWORD k = 0; k < attribute.cValue && attribute.rgValue != nullptr; ++k)
        signer->contentTypeAttributes.push_back(ObjectIdentifierValue(attribute.rgValue[k]));
    }
  }
  if (!signer->signedAttributes)
    return hr::kOk;
  if (digest == nullptr)
    return crypt::kAuthAttrMissing;
  return CheckDigest(message.get(), *digest);
}

}  // namespace

Win32MessageCrypto::Win32MessageCrypto() = default;

bool Win32MessageCrypto::TrustCertificates(const std::filesystem::path& pemFile,
                                           std::string* error) {
  const std::u8string utf8 = pemFile.u8string();
  const std::string name(utf8.begin(), utf8.end());
  std::ifstream in(pemFile, std::ios::binary);
  if (!in) {
    *error = "cannot read " + name;
    return false;
  }
  const std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  if (!m_trusted)
    m_trusted.Reset(::CertOpenStore(CERT_STORE_PROV_MEMORY, 0, 0, 0, nullptr));
  int added = 0;
  for (size_t begin = text.find(kPemBegin); m_trusted && begin != std::string::npos;
       begin = text.find(kPemBegin, begin + 1)) {
    const size_t end = text.find(kPemEnd, begin);
    if (end == std::string::npos)
      break;
    const std::string block = text.substr(begin, end + kPemEnd.size() - begin);
    DWORD size = 0;
    if (!::CryptStringToBinaryA(block.c_str(), static_cast<DWORD>(block.size()),
                                CRYPT_STRING_BASE64HEADER, nullptr, &size, nullptr, nullptr)) {
      continue;
    }
    std::vector<BYTE> der(size);
    if (::CryptStringToBinaryA(block.c_str(), static_cast<DWORD>(block.size()),
                               CRYPT_STRING_BASE64HEADER, der.data(), &size, nullptr, nullptr) &&
        ::CertAddEncodedCertificateToStore(m_trusted.get(), X509_ASN_ENCODING, der.data(), size,
                                           CERT_STORE_ADD_USE_EXISTING, nullptr)) {
      ++added;
    }
  }
  if (added == 0) {
    *error = name + " holds no PEM certificate";
    return false;
  }
  return true;
}

HResult Win32MessageCrypto::Conclude(std::string_view signedData, const std::string_view* content,
                                     UniqueCertContext certificate, VerifiedSignature* verified) {
  const HResult read = ReadSigner(signedData, content, &verified->signer);
  if (hr::Failed(read))
    return read;
  if (certificate) {
    UniqueCertStore messageCertificates(::CryptGetMessageCertificates(
        kEncoding, 0, 0, Bytes(signedData), static_cast<DWORD>(signedData.size())));
    verified->certificate = std::make_unique<Win32Certificate>(
        std::move(certificate), std::move(messageCertificates), m_trusted.get());
  }
  return hr::kOk;
}

HResult Win32MessageCrypto::VerifyMessageSignature(std::string_view signedData,
                                                   VerifiedSignature* verified) {
  *verified = {};
  if (signedData.size() > MAXDWORD)
    return crypt::kAsn1BadTag;
  CRYPT_VERIFY_MESSAGE_PARA parameters = VerifyParameters();
  UniqueCertContext certificate;
  if (!::CryptVerifyMessageSignature(&parameters, 0, Bytes(signedData),
                                     static_cast<DWORD>(signedData.size()), nullptr, nullptr,
                                     certificate.Receive())) {
    return LastCryptError();
  }
  return Conclude(signedData, nullptr, std::move(certificate), verified);
}

HResult Win32MessageCrypto::VerifyDetachedMessageSignature(std::string_view signature,
                                                           std::string_view content,
                                                           VerifiedSignature* verified) {
  *verified = {};
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
  return Conclude(signature, &content, std::move(certificate), verified);
}

}  // namespace tp::host::win32
