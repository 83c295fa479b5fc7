// Verifying S/MIME signatures.
#include "smime/smime_verification.h"

#include <memory>
#include <optional>

#include "base/text.h"
#include "host/host.h"
#include "smime/certificate_facts.h"
#include "smime/smime_cutter.h"
#include "smime/smime_policy.h"

namespace tp {
namespace {

// A signer's certificate comes with the message: only so many of its addresses are looked at
// (real ones carry a handful).
constexpr size_t kMaxSignerAddresses = 64;

// The result of a signature check from the platform's answer and what it gave back.
SignatureVerdict Judge(HResult answer, host::VerifiedSignature verified) {
  SignatureVerdict verdict;
  if (hr::Failed(answer)) {
    verdict.failure = answer;
    verdict.result = answer == host::crypt::kBadSignature ? kSignatureMalformed
                     : answer == host::crypt::kHashValue  ? kSignatureHashMismatch
                                                          : kSignatureRejected;
    return verdict;
  }
  verdict.problem = RefusalOfSignedData(verified.signer);
  if (!verdict.problem.empty()) {
    verdict.result = kSignatureRejected;
    return verdict;
  }
  if (!verified.certificate) {
    verdict.result = kSignatureNoSigner;
    return verdict;
  }
  verdict.result = CheckSignerCertificate(*verified.certificate, &verdict);
  return verdict;
}

void RecordSigner(const CertificateFacts& facts, SignatureVerdict* verdict) {
  verdict->signerSubject = facts.subject;
  verdict->signerAddresses.clear();
  for (const std::wstring& address : facts.emailAddresses) {
    if (verdict->signerAddresses.size() == kMaxSignerAddresses)
      break;
    bool seen = false;
    for (const std::wstring& listed : verdict->signerAddresses)
      seen = seen || EqualsIgnoreCase(listed, address);
    if (!seen)
      verdict->signerAddresses.push_back(address);
  }
}

}  // namespace

SignatureVerdict VerifyOpaqueSignature(std::string_view data) {
  host::VerifiedSignature verified;
  const HResult answer = host::crypto().VerifyMessageSignature(data, &verified);
  return Judge(answer, std::move(verified));
}

SignatureVerdict VerifyDetachedSignature(std::string_view data) {
  SignatureVerdict verdict;
  const std::optional<DetachedSignature> cut = CutDetachedSignature(data, &verdict.problem);
  if (!cut)
    return verdict;
  host::VerifiedSignature verified;
  const HResult answer =
      host::crypto().VerifyDetachedMessageSignature(cut->signature, cut->signedPart, &verified);
  return Judge(answer, std::move(verified));
}

int CheckSignerCertificate(host::Certificate& certificate, SignatureVerdict* verdict) {
  const std::optional<CertificateFacts> facts = ReadCertificateFacts(certificate.Encoded());
  if (facts)
    RecordSigner(*facts, verdict);
  verdict->timeValidity = certificate.VerifyTimeValidity();
  if (verdict->timeValidity != 0)
    return kSignerNotTimeValid;
  host::ChainReport chain;
  if (!certificate.BuildChain(&chain))
    return kSignerNoChain;
  verdict->chainErrors = chain.errorStatus;
  verdict->problem = facts ? RefusalOfChain(chain) : L"the signer's certificate cannot be read";
  if (!verdict->problem.empty())
    return kSignerChainError;
  if ((verdict->chainErrors & ~host::trust::kIsPartialChain) != 0)
    return kSignerChainError;
  return kSignatureValid;
}

}  // namespace tp
