// X.509 certificates read for their facts.
#include "smime/certificate_facts.h"

#include <set>

#include "smime/certificate_names.h"
#include "smime/crypto_algorithms.h"
#include "smime/der_reader.h"

namespace tp {
namespace {

constexpr char kOidRsassaPss[] = "1.2.840.113549.1.1.10";
constexpr char kOidSha1[] = "1.3.14.3.2.26";
constexpr char kOidKeyUsage[] = "2.5.29.15";
constexpr char kOidSubjectAltName[] = "2.5.29.17";
constexpr char kOidExtendedKeyUsage[] = "2.5.29.37";
constexpr uint8_t kRfc822Name = der::ContextTag(1, false);

// The algorithm of an AlgorithmIdentifier and its parameters (empty when absent).
struct Algorithm {
  std::string oid;
  std::string_view parameters;
};

std::optional<Algorithm> ReadAlgorithm(const der::Element& identifier) {
  der::Reader reader(identifier.content);
  const std::optional<der::Element> oid = reader.NextIf(der::kObjectIdentifier);
  if (!oid)
    return std::nullopt;
  Algorithm algorithm{der::ObjectIdentifierText(oid->content), {}};
  if (!reader.AtEnd()) {
    const std::optional<der::Element> parameters = reader.Next();
    if (!parameters || !reader.AtEnd())
      return std::nullopt;
    algorithm.parameters = identifier.content.substr(oid->encoded.size());
  }
  if (algorithm.oid.empty())
    return std::nullopt;
  return algorithm;
}

// RSASSA-PSS-params: the digest is its [0] hashAlgorithm, SHA-1 when absent.
std::string PssDigest(std::string_view parameters) {
  const std::optional<der::Element> sequence = der::ReadSingle(parameters, der::kSequence);
  if (!sequence)
    return {};
  der::Reader reader(sequence->content);
  const std::optional<der::Element> hash = reader.NextIf(der::ContextTag(0, true));
  if (!hash)
    return kOidSha1;
  const std::optional<der::Element> identifier = der::ReadSingle(hash->content, der::kSequence);
  const std::optional<Algorithm> digest = identifier ? ReadAlgorithm(*identifier) : std::nullopt;
  return digest ? digest->oid : std::string();
}

// The modulus length of an RSAPublicKey in a subjectPublicKey bit string.
uint32_t RsaModulusBits(std::string_view bitString) {
  if (bitString.empty() || bitString[0] != 0)
    return 0;
  const std::optional<der::Element> key = der::ReadSingle(bitString.substr(1), der::kSequence);
  if (!key)
    return 0;
  der::Reader reader(key->content);
  const std::optional<der::Element> modulus = reader.NextIf(der::kInteger);
  if (!modulus)
    return 0;
  std::string_view bytes = modulus->content;
  while (!bytes.empty() && bytes.front() == 0)
    bytes.remove_prefix(1);
  if (bytes.empty() || bytes.size() > 0x10000)
    return 0;
  uint32_t bits = static_cast<uint32_t>(bytes.size()) * 8;
  for (auto top = static_cast<uint8_t>(bytes.front()); (top & 0x80) == 0; top <<= 1)
    --bits;
  return bits;
}

std::optional<std::vector<std::string>> ReadPurposes(std::string_view value) {
  const std::optional<der::Element> sequence = der::ReadSingle(value, der::kSequence);
  if (!sequence)
    return std::nullopt;
  std::vector<std::string> purposes;
  der::Reader reader(sequence->content);
  while (!reader.AtEnd()) {
    const std::optional<der::Element> purpose = reader.NextIf(der::kObjectIdentifier);
    if (!purpose)
      return std::nullopt;
    purposes.push_back(der::ObjectIdentifierText(purpose->content));
  }
  return purposes;
}

std::optional<uint32_t> ReadKeyUsage(std::string_view value) {
  const std::optional<der::Element> bits = der::ReadSingle(value, der::kBitString);
  if (!bits || bits->content.empty())
    return std::nullopt;
  uint32_t usage = 0;
  for (size_t i = 1; i < bits->content.size() && i <= 2; ++i)
    usage |= static_cast<uint32_t>(static_cast<uint8_t>(bits->content[i])) << (8 * (i - 1));
  return usage;
}

bool ReadAltNameAddresses(std::string_view value, std::vector<std::wstring>* addresses) {
  const std::optional<der::Element> names = der::ReadSingle(value, der::kSequence);
  if (!names)
    return false;
  der::Reader reader(names->content);
  while (!reader.AtEnd()) {
    const std::optional<der::Element> name = reader.Next();
    if (!name)
      return false;
    if (name->tag == kRfc822Name)
      addresses->push_back(DirectoryStringText(der::kIa5String, name->content));
  }
  return true;
}

// Reads the extensions the rules need; false when they are malformed.
bool ReadExtensions(std::string_view extensions, CertificateFacts* facts,
                    std::vector<std::wstring>* altAddresses) {
  const std::optional<der::Element> list = der::ReadSingle(extensions, der::kSequence);
  if (!list)
    return false;
  std::set<std::string> seen;
  der::Reader reader(list->content);
  while (!reader.AtEnd()) {
    const std::optional<der::Element> extension = reader.NextIf(der::kSequence);
    if (!extension)
      return false;
    der::Reader parts(extension->content);
    const std::optional<der::Element> id = parts.NextIf(der::kObjectIdentifier);
    parts.NextIf(der::kBoolean);  // critical
    const std::optional<der::Element> value = parts.NextIf(der::kOctetString);
    if (!id || !value || !parts.AtEnd())
      return false;
    const std::string oid = der::ObjectIdentifierText(id->content);
    if (!seen.insert(oid).second)
      facts->extensionRepeated = true;
    if (oid == kOidExtendedKeyUsage && !facts->extendedKeyUsage) {
      facts->extendedKeyUsage = ReadPurposes(value->content);
      if (!facts->extendedKeyUsage)
        return false;
    } else if (oid == kOidKeyUsage && !facts->keyUsage) {
      facts->keyUsage = ReadKeyUsage(value->content);
      if (!facts->keyUsage)
        return false;
    } else if (oid == kOidSubjectAltName && altAddresses->empty()) {
      if (!ReadAltNameAddresses(value->content, altAddresses))
        return false;
    }
  }
  return true;
}

}  // namespace

std::optional<CertificateFacts> ReadCertificateFacts(std::string_view der) {
  const std::optional<der::Element> certificate = der::ReadSingle(der, der::kSequence);
  if (!certificate)
    return std::nullopt;
  der::Reader outer(certificate->content);
  const std::optional<der::Element> tbs = outer.NextIf(der::kSequence);
  const std::optional<der::Element> signatureIdentifier = outer.NextIf(der::kSequence);
  const std::optional<der::Element> signatureValue = outer.NextIf(der::kBitString);
  if (!tbs || !signatureIdentifier || !signatureValue || !outer.AtEnd())
    return std::nullopt;
  const std::optional<Algorithm> signature = ReadAlgorithm(*signatureIdentifier);
  if (!signature)
    return std::nullopt;

  der::Reader fields(tbs->content);
  fields.NextIf(der::ContextTag(0, true));  // version
  const std::optional<der::Element> serial = fields.NextIf(der::kInteger);
  const std::optional<der::Element> innerSignature = fields.NextIf(der::kSequence);
  const std::optional<der::Element> issuer = fields.NextIf(der::kSequence);
  const std::optional<der::Element> validity = fields.NextIf(der::kSequence);
  const std::optional<der::Element> subject = fields.NextIf(der::kSequence);
  const std::optional<der::Element> publicKeyInfo = fields.NextIf(der::kSequence);
  if (!serial || !innerSignature || !issuer || !validity || !subject || !publicKeyInfo)
    return std::nullopt;
  fields.NextIf(der::ContextTag(1, false));  // issuerUniqueID
  fields.NextIf(der::ContextTag(2, false));  // subjectUniqueID
  const std::optional<der::Element> extensions = fields.NextIf(der::ContextTag(3, true));
  if (!fields.AtEnd())
    return std::nullopt;

  CertificateFacts facts;
  facts.subject = DistinguishedNameText(subject->content);
  facts.selfIssued = issuer->content == subject->content;
  facts.signatureAlgorithm = signature->oid;
  if (signature->oid == kOidRsassaPss)
    facts.signatureDigest = PssDigest(signature->parameters);

  der::Reader keyInfo(publicKeyInfo->content);
  const std::optional<der::Element> keyAlgorithm = keyInfo.NextIf(der::kSequence);
  const std::optional<der::Element> key = keyInfo.NextIf(der::kBitString);
  const std::optional<Algorithm> algorithm =
      keyAlgorithm ? ReadAlgorithm(*keyAlgorithm) : std::nullopt;
  if (!algorithm || !key || !keyInfo.AtEnd())
    return std::nullopt;
  facts.publicKeyAlgorithm = algorithm->oid;
  if (IsRsaKey(facts.publicKeyAlgorithm))
    facts.rsaModulusBits = RsaModulusBits(key->content);

  std::vector<std::wstring> altAddresses;
  if (extensions && !ReadExtensions(extensions->content, &facts, &altAddresses))
    return std::nullopt;
  facts.emailAddresses = std::move(altAddresses);
  for (std::wstring& address : NameEmailAddresses(subject->content))
    facts.emailAddresses.push_back(std::move(address));
  return facts;
}

}  // namespace tp
