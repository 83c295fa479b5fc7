// The branding decision's rules.
#include "branding/branding_decision.h"

#include <algorithm>

#include "base/host_name.h"
#include "base/text.h"
#include "branding/message_class.h"
#include "branding/smime_branding.h"

namespace tp {
namespace {

// The longest message class a store keeps; a longer branded class is not written.
constexpr size_t kLongestMessageClass = 255;

BrandingReason ReasonOfRefusal(SignatureRefusal refusal) {
  switch (refusal) {
    case SignatureRefusal::kNotVerified:
      return BrandingReason::kSignatureNotVerified;
    case SignatureRefusal::kUntrustedRoot:
      return BrandingReason::kSignatureUntrustedRoot;
    case SignatureRefusal::kSignerOutsideDomain:
      return BrandingReason::kSignerOutsideDomain;
    case SignatureRefusal::kNone:
      break;
  }
  return BrandingReason::kVouchedBySignature;
}

// Which brand the message's account and sender lead to; the look-up's reason when none.
void FindSenderBrand(const BrandingList& brands, BrandingDecision* decision) {
  const MessageEvidence& evidence = decision->evidence;
  BrandingReason& refusal = decision->lookupReason;
  if (evidence.accountType == host::kOlExchangeAccount) {
    // No provider vouches for Exchange mail: only an S/MIME signature can.
    if (!IsSmimeClass(evidence.messageClass)) {
      refusal = BrandingReason::kExchangeNotSigned;
      return;
    }
  } else if (evidence.mailProvider.empty()) {
    refusal = BrandingReason::kNoProvider;
    return;
  }
  if (evidence.sender.address.find(L'@') == std::wstring::npos) {
    refusal = BrandingReason::kNoSender;
    return;
  }
  decision->senderDomain = SenderDomainOf(evidence.sender.address);
  if (HostNameProblem(decision->senderDomain) != nullptr) {
    refusal = BrandingReason::kSenderDomainNotHostName;
    return;
  }
  // The brand's own domain or a sub-domain of it; a domain that merely contains the brand's
  // ("news.brand.example.attacker.example") is someone else's.
  const BrandingList::Match match = brands.FindDomain(decision->senderDomain);
  if (match.record == nullptr) {
    refusal = BrandingReason::kSenderNotListed;
    return;
  }
  decision->senderListed = true;
  decision->brandName = *match.name;
  decision->brand = *match.record;
}

// The S/MIME signature of Exchange mail.
BrandingReason WeighSignature(const BrandingDecision& decision) {
  const MessageEvidence& evidence = decision.evidence;
  if (!IsSmimeClass(evidence.messageClass))
    return BrandingReason::kNotSigned;
  if (!evidence.signature)
    return BrandingReason::kSignatureNotVerified;
  return ReasonOfRefusal(JudgeSignatureForBrand(*evidence.signature, decision.brand));
}

// The receiving provider's authentication verdicts. A sender was read, so were the headers.
BrandingReason WeighVerdicts(BrandingDecision* decision) {
  const MessageEvidence& evidence = decision->evidence;
  const AuthHeaderResult& verdicts = decision->verdicts.emplace(
      AnalyzeAuthHeaders(evidence.mailProvider, evidence.transportHeaders));
  const SenderBrand& brand = decision->brand;
  if (EqualsIgnoreCase(verdicts.dkimResult, L"pass")) {
    // Any passing signature of the sender's vouches: a message may carry an ESP's too.
    const auto signer =
        std::find_if(verdicts.dkimPassDomains.begin(), verdicts.dkimPassDomains.end(),
                     [&brand](const std::wstring& domain) { return AcceptsDomain(brand, domain); });
    if (signer == verdicts.dkimPassDomains.end())
      return BrandingReason::kDkimSignerNotSender;
    decision->vouchingDomain = *signer;
    return BrandingReason::kVouchedByHeaders;
  }
  if (brand.spf && EqualsIgnoreCase(verdicts.spfResult, L"pass")) {
    if (!AcceptsDomain(brand, verdicts.spfDomain))
      return BrandingReason::kSpfDomainNotSender;
    decision->vouchingDomain = verdicts.spfDomain;
    return BrandingReason::kVouchedByHeaders;
  }
  return BrandingReason::kNoPass;
}

// Whether the message's own evidence vouches for the sender's brand.
bool EvidenceVouches(BrandingDecision* decision) {
  const BrandingReason said = decision->evidence.accountType == host::kOlExchangeAccount
                                  ? WeighSignature(*decision)
                                  : WeighVerdicts(decision);
  decision->evidenceReason = said;
  decision->reason = said;
  return said == BrandingReason::kVouchedByHeaders || said == BrandingReason::kVouchedBySignature;
}

// A message can arrive with a class of its own choosing (a TNEF part carries one), so a
// branded class is believed only when the decision gives this message that very brand today.
// While the list cannot judge the brand (not loaded yet, or the brand has left it), the
// message is left as it is.
void DecideOnBrandedClass(const BrandingList& brands, BrandingDecision* decision) {
  const std::wstring& messageClass = decision->evidence.messageClass;
  const std::wstring classBrand = BrandOfBrandedClass(messageClass).value_or(std::wstring());
  if (brands.senders().count(classBrand) == 0) {
    decision->reason = BrandingReason::kClassBrandNotListed;
    return;
  }
  if (decision->senderListed && decision->brandName == classBrand) {
    if (EvidenceVouches(decision)) {
      decision->outcome = BrandingOutcome::kKeepBrandedClass;
      return;
    }
  } else {
    decision->reason = BrandingReason::kClassBrandNotSender;
  }
  decision->outcome = BrandingOutcome::kRestoreClass;
  decision->newClass = UnbrandedClassOf(messageClass);
}

}  // namespace

BrandingDecision DecideBranding(MessageEvidence evidence, const BrandingList& brands) {
  BrandingDecision decision;
  decision.evidence = std::move(evidence);
  FindSenderBrand(brands, &decision);
  decision.reason = decision.lookupReason;
  const MessageEvidence& read = decision.evidence;
  if (IsBrandedClass(read.messageClass)) {
    DecideOnBrandedClass(brands, &decision);
    return decision;
  }
  if (!decision.senderListed)
    return decision;
  if (!EvidenceVouches(&decision))
    return decision;
  decision.newClass = BrandedClassFor(read.messageClass, decision.brandName);
  if (decision.newClass.size() > kLongestMessageClass) {
    decision.reason = BrandingReason::kClassTooLong;
    return decision;
  }
  decision.outcome = BrandingOutcome::kBrand;
  return decision;
}

}  // namespace tp
