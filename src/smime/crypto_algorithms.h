// The digest algorithms behind signature and digest object identifiers, and how much each
// can still be trusted: MD2, MD4 and MD5 are broken (collisions are made at will), SHA-1 is
// weak (chosen-prefix collisions exist, so a certificate signed with it can be forged).
#pragma once

#include <string>
#include <string_view>

namespace tp {

enum class DigestStrength { kUnknown, kBroken, kWeak, kStrong };

struct DigestAlgorithm {
  const wchar_t* name = nullptr;  // "MD5", "SHA-1", ...; null when unknown
  DigestStrength strength = DigestStrength::kUnknown;
};

// The digest of a digest algorithm identifier (1.2.840.113549.2.5), or of a signature
// algorithm identifier that names one (1.2.840.113549.1.1.4, md5WithRSAEncryption).
DigestAlgorithm DigestOf(std::string_view oid);

// An RSA key's algorithm identifier (rsaEncryption, RSASSA-PSS, RSAES-OAEP).
bool IsRsaKey(std::string_view oid);

inline constexpr char kOidEmailProtection[] = "1.3.6.1.5.5.7.3.4";

// "MD5" for a known digest, else the identifier itself.
std::wstring DigestName(std::string_view oid);

}  // namespace tp
