// Verifying S/MIME signatures.
#include "net/smime_verification.h"

#include <memory>

#include "host/host.h"
#include "net/smime_cutter.h"
#include "support/text.h"

namespace tp {
namespace {

// A signer's certificate comes with the message: only so many of its addresses are looked at
// (real ones carry a handful).
constexpr size_t kMaxSignerAddresses = 64;

// The result of a signature check from the platform's answer and the signer it gave back.
SignatureVerdict Judge(HResult answer, std::unique_ptr<host::Certificate> signer) {
  SignatureVerdict verdict;
  if (hr::Failed(answer)) {
    verdict.failure = answer;
    verdict.result = answer == host::crypt::kBadSignature ? kSignatureMalformed
                     : answer == host::crypt::kHashValue  ? kSignatureHashMismatch
                                                          : kSignatureRejected;
    return verdict;
  }
  if (!signer) {
    verdict.result = kSignatureNoSigner;
    return verdict;
  }
  verdict.result = CheckSignerCertificate(*signer, &verdict);
  return verdict;
}

}  // namespace

SignatureVerdict VerifyOpaqueSignature(std::string_view data) {
  std::unique_ptr<host::Certificate> signer;
  const HResult answer = host::crypto().VerifyMessageSignature(data, &signer);
  return Judge(answer, std::move(signer));
}

SignatureVerdict VerifyDetachedSignature(std::string_view data) {
  SignatureVerdict verdict;
  const std::optional<DetachedSignature> cut = CutDetachedSignature(data, &verdict.problem);
  if (!cut)
    return verdict;
  std::unique_ptr<host::Certificate> signer;
  const HResult answer =
      host::crypto().VerifyDetachedMessageSignature(cut->signature, cut->signedPart, &signer);
  return Judge(answer, std::move(signer));
}

int CheckSignerCertificate(host::Certificate& certificate, SignatureVerdict* verdict) {
  verdict->signerSubject = certificate.Subject();
  verdict->signerAddresses.clear();
  for (const std::wstring& address : certificate.EmailAddresses()) {
    if (verdict->signerAddresses.size() == kMaxSignerAddresses)
      break;
    bool seen = false;
    for (const std::wstring& listed : verdict->signerAddresses)
      seen = seen || EqualsIgnoreCase(listed, address);
    if (!seen)
      verdict->signerAddresses.push_back(address);
  }
  verdict->timeValidity = certificate.VerifyTimeValidity();
  if (verdict->timeValidity != 0)
    return kSignerNotTimeValid;
  if (!certificate.GetChainErrorStatus(&verdict->chainErrors))
    return kSignerNoChain;
  if ((verdict->chainErrors & ~host::trust::kIsPartialChain) != 0)
    return kSignerChainError;
  return kSignatureValid;
}

}  // namespace tp
