// Signer certificates over CryptoAPI.
#include "host/win32/win32_certificate.h"

#include <optional>
#include <string>
#include <vector>

namespace tp::host::win32 {
namespace {

std::string EncodedOf(PCCERT_CONTEXT certificate) {
  return std::string(reinterpret_cast<const char*>(certificate->pbCertEncoded),
                     certificate->cbCertEncoded);
}

// The purposes a certificate store's property restricts a certificate to (the user's
// "Disable all purposes" or "Enable only the following purposes"); nothing without it.
std::optional<std::vector<std::string>> TrustedPurposes(PCCERT_CONTEXT certificate) {
  DWORD size = 0;
  if (!::CertGetCertificateContextProperty(certificate, CERT_ENHKEY_USAGE_PROP_ID, nullptr,
                                           &size) ||
      !::CertGetEnhancedKeyUsage(certificate, CERT_FIND_PROP_ONLY_ENHKEY_USAGE_FLAG, nullptr,
                                 &size)) {
    return std::nullopt;
  }
  std::vector<BYTE> buffer(size);
  auto* usage = reinterpret_cast<CERT_ENHKEY_USAGE*>(buffer.data());
  if (!::CertGetEnhancedKeyUsage(certificate, CERT_FIND_PROP_ONLY_ENHKEY_USAGE_FLAG, usage,
                                 &size)) {
    return std::nullopt;
  }
  std::vector<std::string> purposes;
  for (DWORD i = 0; i < usage->cUsageIdentifier; ++i) {
    if (usage->rgpszUsageIdentifier[i] != nullptr)
      purposes.emplace_back(usage->rgpszUsageIdentifier[i]);
  }
  return purposes;
}

// A store searched for the chain's certificates: the message's and the added roots.
UniqueCertStore Candidates(HCERTSTORE messageCertificates, HCERTSTORE addedRoots) {
  UniqueCertStore collection(
      ::CertOpenStore(CERT_STORE_PROV_COLLECTION, 0, 0, CERT_STORE_CREATE_NEW_FLAG, nullptr));
  if (!collection)
    return collection;
  for (HCERTSTORE store : {messageCertificates, addedRoots}) {
    if (store != nullptr)
      ::CertAddStoreToCollection(collection.get(), store, 0, 0);
  }
  return collection;
}

// Whether the added roots hold `certificate`, compared byte for byte: a certificate that only
// repeats a trusted root's issuer and serial number (what CertCompareCertificate looks at)
// must not pass for it.
bool IsAddedRoot(HCERTSTORE addedRoots, PCCERT_CONTEXT certificate) {
  const std::string encoded = EncodedOf(certificate);
  PCCERT_CONTEXT added = nullptr;
  while (addedRoots != nullptr &&
         (added = ::CertEnumCertificatesInStore(addedRoots, added)) != nullptr) {
    if (EncodedOf(added) == encoded) {
      ::CertFreeCertificateContext(added);
      return true;
    }
  }
  return false;
}

}  // namespace

Win32Certificate::Win32Certificate(UniqueCertContext certificate,
                                   UniqueCertStore messageCertificates, HCERTSTORE addedRoots)
    : m_certificate(std::move(certificate)),
      m_messageCertificates(std::move(messageCertificates)),
      m_addedRoots(addedRoots) {}

int Win32Certificate::VerifyTimeValidity() {
  return static_cast<int>(::CertVerifyTimeValidity(nullptr, m_certificate.get()->pCertInfo));
}

bool Win32Certificate::BuildChain(ChainReport* report) {
  // Valid for e-mail protection: without a requested usage, CryptoAPI applies no restriction
  // of a certificate's or a root's purposes at all. No revocation check; the message's
  // certificates and the added roots are candidates (the signer's own store is not searched
  // by every chain engine). Only cached URLs are used: this runs on Outlook's user-interface
  // thread, which must never wait for issuers to be fetched from the network.
  LPSTR usages[] = {const_cast<LPSTR>(szOID_PKIX_KP_EMAIL_PROTECTION)};
  CERT_CHAIN_PARA parameters{};
  parameters.cbSize = sizeof(parameters);
  parameters.RequestedUsage.dwType = USAGE_MATCH_TYPE_AND;
  parameters.RequestedUsage.Usage.cUsageIdentifier = 1;
  parameters.RequestedUsage.Usage.rgpszUsageIdentifier = usages;
  const UniqueCertStore candidates = Candidates(m_messageCertificates.get(), m_addedRoots);
  UniqueCertChain chain;
  if (!::CertGetCertificateChain(nullptr, m_certificate.get(), nullptr, candidates.get(),
                                 &parameters, CERT_CHAIN_CACHE_ONLY_URL_RETRIEVAL, nullptr,
                                 chain.Receive()) ||
      !chain) {
    return false;
  }
  *report = {};
  report->errorStatus = chain.get()->TrustStatus.dwErrorStatus;
  PCCERT_CONTEXT root = nullptr;
  for (DWORD i = 0; i < chain.get()->cChain; ++i) {
    const CERT_SIMPLE_CHAIN* simple = chain.get()->rgpChain[i];
    for (DWORD k = 0; k < simple->cElement; ++k) {
      PCCERT_CONTEXT element = simple->rgpElement[k]->pCertContext;
      report->certificates.push_back({EncodedOf(element), TrustedPurposes(element)});
      root = element;
    }
  }
  // A root the caller added is trusted here, as the user's own roots are.
  if (root != nullptr && IsAddedRoot(m_addedRoots, root))
    report->errorStatus &= ~static_cast<uint32_t>(CERT_TRUST_IS_UNTRUSTED_ROOT);
  return true;
}

std::string Win32Certificate::Encoded() {
  return EncodedOf(m_certificate.get());
}

}  // namespace tp::host::win32
