// X.509 certificates composed in DER for the core's certificate rules: not signed (the core
// never checks a signature; the platform does), but with every field the rules read.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tp::testing {

inline constexpr char kOidSha256WithRsa[] = "1.2.840.113549.1.1.11";
inline constexpr char kOidSha1WithRsa[] = "1.2.840.113549.1.1.5";
inline constexpr char kOidMd5WithRsa[] = "1.2.840.113549.1.1.4";
inline constexpr char kOidRsaPss[] = "1.2.840.113549.1.1.10";
inline constexpr char kOidRsa[] = "1.2.840.113549.1.1.1";
inline constexpr char kOidEcPublicKey[] = "1.2.840.10045.2.1";
inline constexpr char kOidServerAuth[] = "1.3.6.1.5.5.7.3.1";
inline constexpr char kOidEmail[] = "1.3.6.1.5.5.7.3.4";
inline constexpr char kOidAnyPurpose[] = "2.5.29.37.0";

// DER pieces.
std::string Tlv(uint8_t tag, const std::string& content);
std::string OidDer(const std::string& dotted);
// A Name of one RDN per (type OID, UTF8String value) pair, most general first.
std::string NameDer(const std::vector<std::pair<std::string, std::string>>& attributes);

struct TestCertificate {
  std::string commonName = "Kestrel Bank Alerts";
  std::string issuerName;  // its issuer's common name; empty: the certificate's own (self-issued)
  std::vector<std::string> sanEmails;
  std::string subjectEmail;
  std::string signatureAlgorithm = kOidSha256WithRsa;
  std::string signatureParameters;  // DER, after the algorithm
  std::string keyAlgorithm = kOidRsa;
  uint32_t rsaBits = 2048;
  std::optional<std::vector<std::string>> extendedKeyUsage;
  std::optional<uint8_t> keyUsage;  // the first byte of the bit string
  bool repeatExtendedKeyUsage = false;
};

std::string MakeCertificateDer(const TestCertificate& certificate);

}  // namespace tp::testing
