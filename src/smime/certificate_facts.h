// What the S/MIME rules need of an X.509 certificate, read from its DER encoding in the core
// so that every platform's certificates are judged alike: its names, its e-mail addresses,
// its signature's digest, its key's size, and what it may be used for.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tp {

// Key usage bits as RFC 5280 numbers them in the first byte.
inline constexpr uint32_t kKeyUsageDigitalSignature = 0x80;
inline constexpr uint32_t kKeyUsageNonRepudiation = 0x40;

struct CertificateFacts {
  std::wstring subject;  // written out, most specific first (certificate_names.h)
  // The rfc822Name entries of its subject alternative names, then the e-mail attributes of
  // its subject, every byte kept.
  std::vector<std::wstring> emailAddresses;
  bool selfIssued = false;         // its subject and issuer are the same name
  std::string signatureAlgorithm;  // dotted object identifier
  std::string signatureDigest;     // of an RSASSA-PSS signature, from its parameters
  std::string publicKeyAlgorithm;  // dotted object identifier
  uint32_t rsaModulusBits = 0;     // 0 for keys other than RSA
  std::optional<std::vector<std::string>> extendedKeyUsage;
  std::optional<uint32_t> keyUsage;  // first byte, then the second shifted by 8
  bool extensionRepeated = false;    // an extension appears twice (RFC 5280 forbids it)
};

// The facts of a DER-encoded certificate; nothing when it is not one.
std::optional<CertificateFacts> ReadCertificateFacts(std::string_view der);

}  // namespace tp
