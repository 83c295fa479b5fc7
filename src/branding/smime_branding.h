// The S/MIME branch of the branding decision, for mail received through an Exchange account,
// where no provider writes authentication verdicts. A signature vouches for a brand only when
// it verifies (result 0), its chain ends at a root the machine trusts (a partial chain proves
// nothing about who signed: anyone can issue a certificate for any address under an unknown
// issuer), and an e-mail address of the signer's certificate is in the brand's domain.
#pragma once

#include <string>
#include <string_view>

#include "branding/branding_list.h"
#include "smime/smime_verdict.h"

namespace tp {

enum class SignatureRefusal {
  kNone,                 // the signature vouches for the brand
  kNotVerified,          // the signature check did not give 0
  kUntrustedRoot,        // valid, but the chain stops short of a trusted root
  kSignerOutsideDomain,  // no address of the signer is in the brand's domain
};

// The first condition that a verdict fails for a brand, or kNone.
SignatureRefusal JudgeSignatureForBrand(const SignatureVerdict& verdict, const SenderBrand& brand);

// An address whose domain (after its last at sign) is `domain` or a sub-domain of it, letter
// case ignored. Only a plain host name counts (letters, digits, hyphens and dots).
bool IsAddressInDomain(std::wstring_view address, std::wstring_view domain);

}  // namespace tp
