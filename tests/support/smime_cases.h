// The signed messages that the S/MIME test fixture makes (tests/smime), and what each must
// give on every platform: the same result code from OpenSSL natively and from CryptoAPI under
// Wine, and the same branding decision for a message from the brand "Kestrel Bank"
// (kestrelbank.example) received through an Exchange account. The fixture's trusted roots
// are the main one, one whose own extension names servers only, and one the machine trusts
// for servers only.
#pragma once

namespace tp::testing {

// The result of a message without a signature part.
inline constexpr int kNoSignaturePart = 1;

inline constexpr char kRefusedUnsigned[] = "Should not check a message from an exchange account";
inline constexpr char kRefusedFailed[] = "Message failed SMIME verification";
inline constexpr char kRefusedUntrusted[] =
    "Message failed SMIME verification: the signer's chain does not reach a trusted root";
inline constexpr char kRefusedOutside[] =
    "Message failed SMIME verification: no address of the signer is in the domain "
    "kestrelbank.example";

struct SmimeCase {
  const char* file;
  int result;           // 0 to -7, or kNoSignaturePart
  bool trustedRoot;     // the signer's chain ends at the fixture's trusted root
  const char* refusal;  // the log line that refuses to brand it; null when it is branded
};

inline constexpr SmimeCase kSmimeCases[] = {
    {"detached-valid.eml", 0, true, nullptr},
    {"opaque-valid.eml", 0, true, nullptr},
    {"detached-subdomain-signer.eml", 0, true, nullptr},
    {"detached-subject-email.eml", 0, true, nullptr},
    {"detached-uppercase-names.eml", 0, true, nullptr},
    {"opaque-uppercase-name.eml", 0, true, nullptr},
    {"detached-lf-line-ends.eml", 0, true, nullptr},
    {"detached-unquoted-boundary.eml", 0, true, nullptr},
    {"detached-no-signed-attributes.eml", 0, true, nullptr},
    {"detached-without-intermediate.eml", 0, false, kRefusedUntrusted},
    {"detached-foreign-domain.eml", 0, true, kRefusedOutside},
    {"detached-bad-signature.eml", -1, false, kRefusedFailed},
    {"opaque-bad-signature.eml", -1, false, kRefusedFailed},
    {"detached-tampered-no-signed-attributes.eml", -1, false, kRefusedFailed},
    {"detached-truncated.eml", -1, false, kRefusedFailed},
    {"detached-tampered.eml", -2, false, kRefusedFailed},
    {"opaque-tampered.eml", -2, false, kRefusedFailed},
    {"opaque-without-certificates.eml", -3, false, kRefusedFailed},
    {"opaque-garbage.eml", -3, false, kRefusedFailed},
    {"opaque-truncated.eml", -3, false, kRefusedFailed},
    {"detached-expired-signer.eml", -5, false, kRefusedFailed},
    {"detached-signer-not-yet-valid.eml", -5, false, kRefusedFailed},
    {"detached-rogue-root.eml", -7, false, kRefusedFailed},
    {"detached-self-signed.eml", -7, false, kRefusedFailed},
    {"detached-expired-intermediate.eml", -7, false, kRefusedFailed},
    {"unsigned.eml", kNoSignaturePart, false, kRefusedUnsigned},
    // What the certificate is for.
    {"detached-server-certificate.eml", -7, false, kRefusedFailed},
    {"detached-any-purpose-signer.eml", -7, false, kRefusedFailed},
    {"detached-no-extended-key-usage.eml", 0, true, nullptr},
    {"detached-key-encipherment-only.eml", -7, false, kRefusedFailed},
    {"detached-non-repudiation-only.eml", 0, true, nullptr},
    {"detached-server-intermediate.eml", -7, false, kRefusedFailed},
    {"detached-server-root.eml", -7, false, kRefusedFailed},
    {"detached-restricted-root.eml", -7, false, kRefusedFailed},
    // Broken or weak cryptography.
    {"detached-md5-certificate.eml", -7, false, kRefusedFailed},
    {"detached-sha1-intermediate.eml", -7, false, kRefusedFailed},
    {"detached-1024-bit-signer.eml", -7, false, kRefusedFailed},
    {"detached-md5-digest.eml", -3, false, kRefusedFailed},
    {"opaque-md5-digest.eml", -3, false, kRefusedFailed},
    // Signed attributes.
    {"detached-content-type-mismatch.eml", -3, false, kRefusedFailed},
    {"opaque-content-type-mismatch.eml", -3, false, kRefusedFailed},
    // Cutting the signed entity as mail readers do.
    {"detached-padded-delimiters.eml", 0, true, nullptr},
    {"detached-genuine-part-in-preamble.eml", -1, false, kRefusedFailed},
    {"detached-third-part.eml", -1, false, kRefusedFailed},
    {"detached-repeated-boundary.eml", -1, false, kRefusedFailed},
    {"detached-boundary-in-quoted-parameter.eml", -2, false, kRefusedFailed},
    {"detached-no-closing-delimiter.eml", -1, false, kRefusedFailed},
    {"detached-bare-carriage-return.eml", -1, false, kRefusedFailed},
    // Names shown whole: an address that a zero byte would cut into the brand's domain.
    {"detached-nul-in-address.eml", 0, true, kRefusedOutside},
};

}  // namespace tp::testing
