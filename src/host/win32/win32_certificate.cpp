// Signer certificates over CryptoAPI.
#include "host/win32/win32_certificate.h"

#include <string>

namespace tp::host::win32 {
namespace {

constexpr DWORD kEncoding = X509_ASN_ENCODING | PKCS_7_ASN_ENCODING;

// A value of a name attribute as text.
std::wstring ValueText(DWORD valueType, CERT_RDN_VALUE_BLOB* value) {
  const DWORD length = ::CertRDNValueToStrW(valueType, value, nullptr, 0);
  if (length <= 1)
    return {};
  std::wstring text(length, L'\0');
  ::CertRDNValueToStrW(valueType, value, text.data(), length);
  text.resize(length - 1);
  return text;
}

}  // namespace

Win32Certificate::Win32Certificate(UniqueCertContext certificate,
                                   UniqueCertStore messageCertificates)
    : certificate_(std::move(certificate)), messageCertificates_(std::move(messageCertificates)) {}

int Win32Certificate::VerifyTimeValidity() {
  return static_cast<int>(::CertVerifyTimeValidity(nullptr, certificate_.get()->pCertInfo));
}

bool Win32Certificate::GetChainErrorStatus(uint32_t* errorStatus) {
  // No required usage, no revocation check; the message's certificates are candidates for
  // the intermediates (the signer's own store is not searched by every chain engine). Only
  // cached URLs are used: this runs on Outlook's user-interface thread, which must never wait
  // for issuers to be fetched from the network.
  CERT_CHAIN_PARA parameters{};
  parameters.cbSize = sizeof(parameters);
  UniqueCertChain chain;
  if (!::CertGetCertificateChain(nullptr, certificate_.get(), nullptr, messageCertificates_.get(),
                                 &parameters, CERT_CHAIN_CACHE_ONLY_URL_RETRIEVAL, nullptr,
                                 chain.Receive()) ||
      !chain) {
    return false;
  }
  *errorStatus = chain.get()->TrustStatus.dwErrorStatus;
  return true;
}

std::wstring Win32Certificate::Subject() {
  CERT_NAME_BLOB* subject = &certificate_.get()->pCertInfo->Subject;
  // Most specific first, as the posix adapter writes it.
  const DWORD flags = CERT_X500_NAME_STR | CERT_NAME_STR_REVERSE_FLAG;
  const DWORD length = ::CertNameToStrW(X509_ASN_ENCODING, subject, flags, nullptr, 0);
  if (length <= 1)
    return {};
  std::wstring text(length, L'\0');
  ::CertNameToStrW(X509_ASN_ENCODING, subject, flags, text.data(), length);
  text.resize(length - 1);
  return text;
}

std::vector<std::wstring> Win32Certificate::EmailAddresses() {
  std::vector<std::wstring> addresses;
  const CERT_INFO* info = certificate_.get()->pCertInfo;
  if (const CERT_EXTENSION* extension =
          ::CertFindExtension(szOID_SUBJECT_ALT_NAME2, info->cExtension, info->rgExtension)) {
    UniqueLocalMemory decoded;
    DWORD size = 0;
    if (::CryptDecodeObjectEx(kEncoding, X509_ALTERNATE_NAME, extension->Value.pbData,
                              extension->Value.cbData, CRYPT_DECODE_ALLOC_FLAG, nullptr,
                              decoded.Receive(), &size)) {
      const auto* names = static_cast<const CERT_ALT_NAME_INFO*>(decoded.get());
      for (DWORD i = 0; i < names->cAltEntry; ++i) {
        const CERT_ALT_NAME_ENTRY& entry = names->rgAltEntry[i];
        if (entry.dwAltNameChoice == CERT_ALT_NAME_RFC822_NAME && entry.pwszRfc822Name != nullptr)
          addresses.emplace_back(entry.pwszRfc822Name);
      }
    }
  }
  UniqueLocalMemory decoded;
  DWORD size = 0;
  if (::CryptDecodeObjectEx(kEncoding, X509_NAME, info->Subject.pbData, info->Subject.cbData,
                            CRYPT_DECODE_ALLOC_FLAG, nullptr, decoded.Receive(), &size)) {
    const auto* name = static_cast<const CERT_NAME_INFO*>(decoded.get());
    for (DWORD i = 0; i < name->cRDN; ++i) {
      for (DWORD j = 0; j < name->rgRDN[i].cRDNAttr; ++j) {
        CERT_RDN_ATTR& attribute = name->rgRDN[i].rgRDNAttr[j];
        if (attribute.pszObjId != nullptr &&
            std::string_view(attribute.pszObjId) == szOID_RSA_emailAddr) {
          addresses.push_back(ValueText(attribute.dwValueType, &attribute.Value));
        }
      }
    }
  }
  return addresses;
}

}  // namespace tp::host::win32
