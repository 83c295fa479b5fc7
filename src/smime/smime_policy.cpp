// The S/MIME rules on what was signed and by which certificates.
#include "smime/smime_policy.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "base/format.h"
#include "base/text.h"
#include "smime/certificate_facts.h"
#include "smime/certificate_names.h"
#include "smime/crypto_algorithms.h"

namespace tp {
namespace {

bool Lists(const std::vector<std::string>& purposes, std::string_view purpose) {
  return std::find(purposes.begin(), purposes.end(), purpose) != purposes.end();
}

std::wstring Name(const CertificateFacts& certificate) {
  return certificate.subject.empty() ? std::wstring(L"a certificate without a subject")
                                     : certificate.subject;
}

// The digest a certificate's own signature was made with.
DigestAlgorithm SignatureDigest(const CertificateFacts& certificate) {
  return DigestOf(certificate.signatureDigest.empty() ? certificate.signatureAlgorithm
                                                      : certificate.signatureDigest);
}

// What the signer's own certificate allows: e-mail protection when it names purposes (the
// "any purpose" purpose is not enough), signing when it has a key usage.
std::wstring RefusalOfSigner(const CertificateFacts& signer) {
  if (signer.extendedKeyUsage && !Lists(*signer.extendedKeyUsage, kOidEmailProtection))
    return L"the signer's certificate is not for e-mail protection (extended key usage)";
  if (signer.keyUsage &&
      (*signer.keyUsage & (kKeyUsageDigitalSignature | kKeyUsageNonRepudiation)) == 0) {
    return L"the signer's certificate allows neither digital signatures nor non-repudiation "
           L"(key usage)";
  }
  return {};
}

std::wstring RefusalOfCertificate(const CertificateFacts& certificate,
                                  const host::ChainCertificate& element, bool signer,
                                  bool belowRoot) {
  if (certificate.extensionRepeated)
    return Name(certificate) + L" repeats an extension";
  if (!signer && certificate.extendedKeyUsage &&
      !Lists(*certificate.extendedKeyUsage, kOidEmailProtection)) {
    return Name(certificate) + L" may not vouch for e-mail protection (extended key usage)";
  }
  if (element.trustedPurposes && !Lists(*element.trustedPurposes, kOidEmailProtection))
    return Name(certificate) + L" is trusted here for other purposes only";
  const DigestAlgorithm digest = SignatureDigest(certificate);
  if (digest.strength == DigestStrength::kBroken)
    return Format(L"%s is signed with %s, which is broken", Name(certificate), digest.name);
  if (digest.strength == DigestStrength::kWeak && belowRoot)
    return Format(L"%s is signed with %s below its root", Name(certificate), digest.name);
  if (certificate.rsaModulusBits != 0 && certificate.rsaModulusBits < kMinimumRsaModulusBits) {
    return Format(L"%s has an RSA key of %u bits, fewer than %u", Name(certificate),
                  certificate.rsaModulusBits, kMinimumRsaModulusBits);
  }
  return {};
}

}  // namespace

std::wstring RefusalOfSignedData(const host::SignerInfo& signer) {
  for (const std::string& algorithm : {signer.digestAlgorithm, signer.signatureAlgorithm}) {
    const DigestAlgorithm digest = DigestOf(algorithm);
    if (digest.strength == DigestStrength::kBroken)
      return Format(L"it is signed with %s, which is broken", digest.name);
  }
  if (!signer.signedAttributes)
    return {};
  const std::vector<std::string>& types = signer.contentTypeAttributes;
  if (types.empty())
    return L"its signed attributes name no content type";
  if (types.size() > 1)
    return L"its signed attributes name more than one content type";
  if (types.front().empty())
    return L"its signed content type cannot be read";
  if (types.front() != signer.contentType) {
    return Format(L"its signed content type %s is not its content's type %s",
                  Utf8ToWide(types.front()), Utf8ToWide(signer.contentType));
  }
  return {};
}

std::wstring RefusalOfChain(const host::ChainReport& chain) {
  std::vector<CertificateFacts> certificates;
  for (const host::ChainCertificate& element : chain.certificates) {
    std::optional<CertificateFacts> facts = ReadCertificateFacts(element.encoded);
    if (!facts)
      return L"a certificate of its chain cannot be read";
    certificates.push_back(std::move(*facts));
  }
  if (certificates.empty())
    return L"its chain is empty";
  if (std::wstring signer = RefusalOfSigner(certificates.front()); !signer.empty())
    return signer;
  // A chain that ends in a self-issued certificate ends at its root; every other certificate
  // is below it.
  const size_t count = certificates.size();
  const bool endsAtRoot = certificates.back().selfIssued;
  for (size_t i = 0; i < count; ++i) {
    const bool belowRoot = i + 1 < count || !endsAtRoot;
    std::wstring refusal =
        RefusalOfCertificate(certificates[i], chain.certificates[i], i == 0, belowRoot);
    if (!refusal.empty())
      return refusal;
  }
  return {};
}

}  // namespace tp
