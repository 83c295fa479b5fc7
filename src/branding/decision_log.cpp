// The branding decision's log lines, written from the decision.
#include <string>

#include "base/format.h"
#include "base/host_name.h"
#include "base/text.h"
#include "branding/branding_decision.h"
#include "branding/message_class.h"
#include "platform/log.h"
#include "smime/certificate_names.h"

namespace tp {
namespace {

// DKIM's domain as the decision saw it: the signer that vouched, or the one the verdict named.
std::wstring DkimDomainOf(const BrandingDecision& decision) {
  if (!decision.vouchingDomain.empty() && EqualsIgnoreCase(decision.verdicts->dkimResult, L"pass"))
    return decision.vouchingDomain;
  return decision.verdicts->dkimDomain;
}

std::wstring Describe(const BrandingDecision& decision, BrandingReason reason) {
  const MessageEvidence& evidence = decision.evidence;
  switch (reason) {
    case BrandingReason::kExchangeNotSigned:
      return L"Should not check a message from an exchange account";
    case BrandingReason::kNoProvider:
      return Format(L"SMTP address %s should not be checked for branding", evidence.accountAddress);
    case BrandingReason::kNoSender:
      if (!evidence.sender.refusal.empty())
        return evidence.sender.refusal;
      if (!evidence.sender.address.empty())
        return Format(L"The sender address \"%s\" has no domain", evidence.sender.address);
      return L"The message names no sender address";
    case BrandingReason::kSenderDomainNotHostName:
      return Format(L"Sender domain %s is not a host name (%s); it matches no brand",
                    decision.senderDomain, HostNameProblem(decision.senderDomain));
    case BrandingReason::kSenderNotListed:
      return L"Sender not found in branding list";
    case BrandingReason::kDkimSignerNotSender:
      return L"DKIM is OK but not the DKIM signer";
    case BrandingReason::kSpfDomainNotSender:
      return L"SPF is OK but not the SPF allowed domain";
    case BrandingReason::kNoPass:
      return L"Failed SPF\\DKIM check";
    case BrandingReason::kNotSigned:
      return L"Message is not SMIME signed";
    case BrandingReason::kSignatureNotVerified:
      if (!evidence.signature)
        return L"Message failed SMIME verification: the signature was not read";
      return Format(L"Message failed SMIME verification: result %d, %s", evidence.signature->result,
                    DescribeVerdict(*evidence.signature));
    case BrandingReason::kSignatureUntrustedRoot:
      return L"Message failed SMIME verification: the signer's chain does not reach a trusted "
             L"root";
    case BrandingReason::kSignerOutsideDomain:
      return Format(
          L"Message failed SMIME verification: no address of the signer is in the "
          L"domain %s",
          decision.brand.domain);
    case BrandingReason::kClassTooLong:
      return Format(L"Message class %s is too long to be stored; message left as it is",
                    decision.newClass);
    case BrandingReason::kClassBrandNotListed:
      return Format(L"The brand of class %s is not in the branding list; message left as it is",
                    evidence.messageClass);
    case BrandingReason::kClassBrandNotSender:
      return Format(L"The sender of this message is not listed for brand %s",
                    BrandOfBrandedClass(evidence.messageClass).value_or(std::wstring()));
    case BrandingReason::kVouchedByHeaders:
      return Format(L"Branding message for sender %s SPF=%s, DKIM=%s, DKIMDomain=%s",
                    decision.brandName, decision.verdicts->spfResult, decision.verdicts->dkimResult,
                    DkimDomainOf(decision));
    case BrandingReason::kVouchedBySignature:
      return Format(L"Branding SMIME message for sender %s", decision.brandName);
  }
  return std::wstring();
}

// The account and the sender look-up.
void LogSenderLookup(const BrandingDecision& decision) {
  const MessageEvidence& evidence = decision.evidence;
  const BrandingReason refusal = decision.lookupReason;
  const bool listed = decision.senderListed;
  if (!listed &&
      (refusal == BrandingReason::kExchangeNotSigned || refusal == BrandingReason::kNoProvider)) {
    WriteLog(Describe(decision, refusal));
    return;
  }
  if (evidence.accountType == host::kOlExchangeAccount)
    WriteLog(L"Message from an exchange account is SMIME signed: its signature decides");
  else
    WriteLogFormat(L"Account mail provider %s should be checked for branding",
                   evidence.mailProvider);
  if (!evidence.sender.refusal.empty())
    WriteLog(evidence.sender.refusal);
  if (!listed && refusal == BrandingReason::kNoSender)
    return;
  WriteLogFormat(L"Sender address for branding check: %s", decision.senderDomain);
  if (listed) {
    WriteLogFormat(L"Found sender in branding list. Name=%s, Domain=%s", decision.brandName,
                   decision.brand.domain);
  } else {
    WriteLog(Describe(decision, refusal));
  }
}

// What the message's own evidence said.
void LogEvidence(const BrandingDecision& decision, BrandingReason said) {
  const MessageEvidence& evidence = decision.evidence;
  if (evidence.accountType == host::kOlExchangeAccount) {
    WriteLog(L"Message is from an exchange account");
    if (const auto& verdict = evidence.signature; verdict && said != BrandingReason::kNotSigned) {
      WriteLogFormat(L"SMIME signature result=%d (%s), signer=%s, addresses=%s", verdict->result,
                     DescribeVerdict(*verdict), EscapeForDiagnostics(verdict->signerSubject),
                     DescribeSignerAddresses(*verdict));
    }
  } else if (const auto& verdicts = decision.verdicts) {
    WriteLogFormat(
        L"Header analysis result: Mail provider=%s, SPF=%s, SPFDomain=%s, DKIM=%s, DKIMDomain=%s",
        evidence.mailProvider, verdicts->spfResult, verdicts->spfDomain, verdicts->dkimResult,
        verdicts->dkimDomain);
    if (!verdicts->layout.empty()) {
      WriteLogFormat(L"Header layout: %s, inbound hop on line %u", verdicts->layout,
                     static_cast<uint32_t>(verdicts->inboundLine));
    }
    for (const std::wstring& note : verdicts->ignored)
      WriteLogFormat(L"Verdict ignored: %s", note);
  }
  WriteLog(Describe(decision, said));
}

}  // namespace

std::wstring DescribeBrandingReason(const BrandingDecision& decision) {
  return Describe(decision, decision.reason);
}

void LogBrandingDecision(const BrandingDecision& decision) {
  LogSenderLookup(decision);
  if (!decision.senderListed)
    WriteLogFormat(L"Should not check branding for this message. Sender=%s", decision.brandName);
  const MessageEvidence& evidence = decision.evidence;
  if (IsBrandedClass(evidence.messageClass)) {
    WriteLogFormat(L"Message class name is already branded - %s", evidence.messageClass);
    if (decision.reason == BrandingReason::kClassBrandNotListed ||
        decision.reason == BrandingReason::kClassBrandNotSender) {
      WriteLog(DescribeBrandingReason(decision));
    }
  }
  if (decision.evidenceReason)
    LogEvidence(decision, *decision.evidenceReason);
  if (decision.reason == BrandingReason::kClassTooLong)
    WriteLog(DescribeBrandingReason(decision));
}

}  // namespace tp
