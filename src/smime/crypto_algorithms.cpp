// Digest algorithms by object identifier.
#include "smime/crypto_algorithms.h"

#include "base/text.h"

namespace tp {
namespace {

struct KnownDigest {
  const char* oid;
  DigestAlgorithm digest;
};

constexpr DigestAlgorithm kMd2{L"MD2", DigestStrength::kBroken};
constexpr DigestAlgorithm kMd4{L"MD4", DigestStrength::kBroken};
constexpr DigestAlgorithm kMd5{L"MD5", DigestStrength::kBroken};
constexpr DigestAlgorithm kSha1{L"SHA-1", DigestStrength::kWeak};
constexpr DigestAlgorithm kSha224{L"SHA-224", DigestStrength::kStrong};
constexpr DigestAlgorithm kSha256{L"SHA-256", DigestStrength::kStrong};
constexpr DigestAlgorithm kSha384{L"SHA-384", DigestStrength::kStrong};
constexpr DigestAlgorithm kSha512{L"SHA-512", DigestStrength::kStrong};

constexpr KnownDigest kKnownDigests[] = {
    // Digests.
    {"1.2.840.113549.2.2", kMd2},
    {"1.2.840.113549.2.4", kMd4},
    {"1.2.840.113549.2.5", kMd5},
    {"1.3.14.3.2.26", kSha1},
    {"2.16.840.1.101.3.4.2.4", kSha224},
    {"2.16.840.1.101.3.4.2.1", kSha256},
    {"2.16.840.1.101.3.4.2.2", kSha384},
    {"2.16.840.1.101.3.4.2.3", kSha512},
    // Signatures with RSA (PKCS #1 and the older OIW numbers).
    {"1.2.840.113549.1.1.2", kMd2},
    {"1.2.840.113549.1.1.3", kMd4},
    {"1.2.840.113549.1.1.4", kMd5},
    {"1.3.14.3.2.24", kMd2},
    {"1.3.14.3.2.3", kMd5},
    {"1.3.14.3.2.25", kMd5},
    {"1.2.840.113549.1.1.5", kSha1},
    {"1.3.14.3.2.29", kSha1},
    {"1.2.840.113549.1.1.14", kSha224},
    {"1.2.840.113549.1.1.11", kSha256},
    {"1.2.840.113549.1.1.12", kSha384},
    {"1.2.840.113549.1.1.13", kSha512},
    // Signatures with DSA and ECDSA.
    {"1.2.840.10040.4.3", kSha1},
    {"1.3.14.3.2.27", kSha1},
    {"1.2.840.10045.4.1", kSha1},
    {"2.16.840.1.101.3.4.3.1", kSha224},
    {"2.16.840.1.101.3.4.3.2", kSha256},
    {"1.2.840.10045.4.3.1", kSha224},
    {"1.2.840.10045.4.3.2", kSha256},
    {"1.2.840.10045.4.3.3", kSha384},
    {"1.2.840.10045.4.3.4", kSha512},
};

}  // namespace

DigestAlgorithm DigestOf(std::string_view oid) {
  for (const KnownDigest& known : kKnownDigests) {
    if (oid == known.oid)
      return known.digest;
  }
  return {};
}

bool IsRsaKey(std::string_view oid) {
  return oid == "1.2.840.113549.1.1.1" || oid == "1.2.840.113549.1.1.10" ||
         oid == "1.2.840.113549.1.1.7";
}

std::wstring DigestName(std::string_view oid) {
  const DigestAlgorithm digest = DigestOf(oid);
  return digest.name != nullptr ? std::wstring(digest.name) : Utf8ToWide(oid);
}

}  // namespace tp
