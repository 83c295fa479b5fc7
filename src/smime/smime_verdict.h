// The outcome of an S/MIME signature check: the result code the add-in decides on, and what
// the platform answered on the way there, for the log, the branding rules and the tool.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "base/hresult.h"

namespace tp {

// Result codes of the signature checks.
constexpr int kSignatureValid = 0;  // valid, signer time-valid, chain without errors but partial
constexpr int kSignatureMalformed = -1;     // not in the expected form, or a bad signature
constexpr int kSignatureHashMismatch = -2;  // the content differs from what was signed
constexpr int kSignatureRejected = -3;      // rejected for any other reason
constexpr int kSignatureNoSigner = -4;      // verified, but no signer certificate came back
constexpr int kSignerNotTimeValid = -5;     // the signer certificate is outside its validity
constexpr int kSignerNoChain = -6;          // no certificate chain could be built
constexpr int kSignerChainError = -7;       // the chain has an error other than being partial

struct SignatureVerdict {
  int result = kSignatureMalformed;
  // Why the data was not in the expected form (result -1 before the platform was asked), or
  // why a rule refused what the platform accepted (-3 for the signed data, -7 for the
  // certificates). Certificate names in it are as written, not escaped.
  std::wstring problem;
  HResult failure = hr::kOk;  // the platform's answer when the signature did not verify
  int timeValidity = 0;       // of the signer certificate: -1 not yet valid, 1 expired
  uint32_t chainErrors = 0;   // the trust error bits of the signer's chain, when one was built
  std::wstring signerSubject;
  std::vector<std::wstring> signerAddresses;  // as the certificate lists them, duplicates once

  bool Valid() const { return result == kSignatureValid; }
  // Valid, and the chain ends at a root the machine trusts rather than stopping short of one.
  bool ChainsToTrustedRoot() const;
};

// A few words on the verdict, always with its reason: "signature valid, chain trusted",
// "content altered after signing (hash mismatch)", "certificate chain not trusted: untrusted
// root", ... Names from the certificates are escaped (certificate_names.h).
std::wstring DescribeVerdict(const SignatureVerdict& verdict);

// The signer's addresses escaped for one line: "a@b.example, c@d.example", or "(none)".
std::wstring DescribeSignerAddresses(const SignatureVerdict& verdict);

// Who signed, escaped for one line: "CN=..., O=...; addresses a@b.example"; empty when no
// signer's certificate was read.
std::wstring DescribeSigner(const SignatureVerdict& verdict);

// The names of a chain's trust error bits, joined by ", ".
std::wstring DescribeTrustErrors(uint32_t errorStatus);

}  // namespace tp
