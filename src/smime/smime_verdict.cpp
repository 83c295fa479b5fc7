// Describing S/MIME verdicts.
#include "smime/smime_verdict.h"

#include "base/format.h"
#include "host/crypto.h"
#include "smime/certificate_names.h"

namespace tp {
namespace {

struct TrustErrorName {
  uint32_t bit;
  const wchar_t* name;
};

constexpr TrustErrorName kTrustErrorNames[] = {
    {host::trust::kIsNotTimeValid, L"a certificate outside its validity"},
    {host::trust::kIsRevoked, L"revoked"},
    {host::trust::kIsNotSignatureValid, L"a certificate signature does not verify"},
    {host::trust::kIsNotValidForUsage, L"not valid for this usage"},
    {host::trust::kIsUntrustedRoot, L"untrusted root"},
    {host::trust::kRevocationStatusUnknown, L"revocation status unknown"},
    {host::trust::kIsCyclic, L"cyclic chain"},
    {host::trust::kInvalidExtension, L"invalid extension"},
    {host::trust::kInvalidPolicyConstraints, L"invalid policy constraints"},
    {host::trust::kInvalidBasicConstraints, L"invalid basic constraints"},
    {host::trust::kInvalidNameConstraints, L"invalid name constraints"},
    {host::trust::kIsPartialChain, L"partial chain"},
    {host::trust::kIsExplicitDistrust, L"explicitly distrusted"},
};

std::wstring DescribeRejection(HResult failure) {
  switch (failure) {
    case host::crypt::kAsn1BadTag:
      return L"message rejected: not a DER-encoded PKCS #7 object";
    case host::crypt::kUnexpectedMsgType:
      return L"message rejected: not signed data";
    case host::crypt::kInvalidIndex:
      return L"message rejected: it has no signer";
    case host::crypt::kNotFound:
      return L"message rejected: the signer's certificate is not in the message";
    case host::crypt::kAuthAttrMissing:
      return L"message rejected: its signed attributes hold no message digest";
    case host::crypt::kUnknownAlgorithm:
      return L"message rejected: its digest cannot be computed";
    default:
      return Format(L"message rejected (%08x)", failure);
  }
}

std::wstring DescribeUnescaped(const SignatureVerdict& verdict) {
  switch (verdict.result) {
    case kSignatureValid:
      return verdict.ChainsToTrustedRoot()
                 ? L"signature valid, chain trusted"
                 : L"signature valid, but the chain stops short of a trusted root";
    case kSignatureMalformed:
      if (!verdict.problem.empty())
        return L"not in the expected form: " + verdict.problem;
      return L"bad signature: it does not verify with the signer's key";
    case kSignatureHashMismatch:
      return L"content altered after signing (hash mismatch)";
    case kSignatureRejected:
      if (!verdict.problem.empty())
        return L"message rejected: " + verdict.problem;
      return DescribeRejection(verdict.failure);
    case kSignatureNoSigner:
      return L"signature verified, but no signer certificate";
    case kSignerNotTimeValid:
      return verdict.timeValidity < 0 ? L"signer certificate not yet valid"
                                      : L"signer certificate expired";
    case kSignerNoChain:
      return L"no certificate chain could be built for the signer";
    case kSignerChainError:
      return L"certificate chain not trusted: " +
             (verdict.problem.empty()
                  ? DescribeTrustErrors(verdict.chainErrors & ~host::trust::kIsPartialChain)
                  : verdict.problem);
    default:
      return Format(L"result %d", verdict.result);
  }
}

}  // namespace

bool SignatureVerdict::ChainsToTrustedRoot() const {
  return Valid() && (chainErrors & host::trust::kIsPartialChain) == 0;
}

std::wstring DescribeTrustErrors(uint32_t errorStatus) {
  std::wstring names;
  uint32_t unnamed = errorStatus;
  for (const TrustErrorName& error : kTrustErrorNames) {
    if ((errorStatus & error.bit) == 0)
      continue;
    unnamed &= ~error.bit;
    names += (names.empty() ? L"" : L", ") + std::wstring(error.name);
  }
  if (unnamed != 0)
    names += (names.empty() ? L"" : L", ") + Format(L"trust error %08x", unnamed);
  return names;
}

std::wstring DescribeVerdict(const SignatureVerdict& verdict) {
  return EscapeForDiagnostics(DescribeUnescaped(verdict));
}

std::wstring DescribeSignerAddresses(const SignatureVerdict& verdict) {
  std::wstring addresses;
  for (const std::wstring& address : verdict.signerAddresses)
    addresses += (addresses.empty() ? L"" : L", ") + EscapeForDiagnostics(address);
  return addresses.empty() ? L"(none)" : addresses;
}

std::wstring DescribeSigner(const SignatureVerdict& verdict) {
  if (verdict.signerSubject.empty() && verdict.signerAddresses.empty())
    return {};
  return EscapeForDiagnostics(verdict.signerSubject) + L"; addresses " +
         DescribeSignerAddresses(verdict);
}

}  // namespace tp
