// The branding decision as a value: from what was read of a message and the branding list,
// whether the message is given a branded class, keeps or loses the one it carries, or is left
// as it is, with the evidence that counted, the evidence that was ignored and why.
#pragma once

#include <optional>
#include <string>

#include "branding/auth_headers.h"
#include "branding/branding_list.h"
#include "branding/message_evidence.h"

namespace tp {

enum class BrandingOutcome {
  kLeave,             // the message keeps its class
  kBrand,             // the message is given `newClass`
  kKeepBrandedClass,  // its branded class is borne out by today's evidence
  kRestoreClass,      // its branded class is not borne out: it gets `newClass` back
};

// Why the decision ended as it did: the first rule that said no, or what vouched.
enum class BrandingReason {
  kExchangeNotSigned,        // Exchange mail without an S/MIME signature
  kNoProvider,               // the receiving account has no provider that writes verdicts
  kNoSender,                 // From names no sender (the sender's refusal says why; without
                             // transport headers there is no From to read)
  kSenderDomainNotHostName,  // the sender's domain is not a host name
  kSenderNotListed,          // no brand has the sender's domain
  kDkimSignerNotSender,      // DKIM passed, but for no domain of the sender's brand
  kSpfDomainNotSender,       // SPF passed, but for a domain outside the sender's brand
  kNoPass,                   // neither SPF nor DKIM passed
  kNotSigned,                // Exchange mail in a class that is not an S/MIME one
  kSignatureNotVerified,
  kSignatureUntrustedRoot,
  kSignerOutsideDomain,
  kClassTooLong,         // the branded class would be longer than a store keeps
  kClassBrandNotListed,  // a branded class whose brand the list does not know
  kClassBrandNotSender,  // a branded class of another brand than the sender's
  kVouchedByHeaders,     // the provider's verdicts vouch for the sender's brand
  kVouchedBySignature,   // the S/MIME signature vouches for the sender's brand
};

struct BrandingDecision {
  MessageEvidence evidence;
  BrandingOutcome outcome = BrandingOutcome::kLeave;
  BrandingReason reason = BrandingReason::kSenderNotListed;  // why, in the end

  // The sender look-up: the account first, then From's domain in the branding list.
  bool senderListed = false;
  BrandingReason lookupReason = BrandingReason::kSenderNotListed;  // why it found no brand
  std::wstring senderDomain;  // the domain looked up; empty when it was not reached
  std::wstring brandName;     // the sender's brand; empty when the sender is not listed
  SenderBrand brand;

  // What the message's own evidence said of that brand, when it was weighed.
  std::optional<BrandingReason> evidenceReason;
  // The provider's verdicts, when the decision read them (they are in `ignored` what was
  // left out and why).
  std::optional<AuthHeaderResult> verdicts;
  std::wstring vouchingDomain;  // the DKIM signer or SPF domain that vouched
  // The class to write for kBrand and kRestoreClass; for kClassTooLong, the class refused.
  std::wstring newClass;

  // Today's evidence vouches for the sender's brand (branded now, or borne out again).
  bool VouchesForSender() const {
    return evidenceReason == BrandingReason::kVouchedByHeaders ||
           evidenceReason == BrandingReason::kVouchedBySignature;
  }
};

// Decides for what was read of one message. No store access, no log: LogBrandingDecision
// writes the decision's lines.
BrandingDecision DecideBranding(MessageEvidence evidence, const BrandingList& brands);

// One sentence for the decision's reason, as the log says it.
std::wstring DescribeBrandingReason(const BrandingDecision& decision);

// The log lines of a decision, in the order the rules were applied.
void LogBrandingDecision(const BrandingDecision& decision);

}  // namespace tp
