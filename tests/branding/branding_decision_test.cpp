// The branding decision on what was read of a message, without a store: its outcome and
// reason, and the log lines written from it.
#include "branding/branding_decision.h"

#include <gtest/gtest.h>

#include "platform/log.h"
#include "support/test_host.h"

namespace tp {
namespace {

constexpr wchar_t kGmailBlock[] =
    L"Delivered-To: reader@gmail.com\r\n"
    L"Received: from out.sender.example (out.sender.example. [192.0.2.1])\r\n"
    L"        by mx.google.com with ESMTPS id s1si2\r\n"
    L"        for <reader@gmail.com>; Tue, 04 Mar 2025 01:02:11 -0800 (PST)\r\n"
    L"Authentication-Results: mx.google.com; dkim=pass header.i=@acme.example; spf=pass "
    L"(google.com: domain of b@acme.example designates 192.0.2.1 as permitted sender) "
    L"smtp.mailfrom=b@acme.example\r\n"
    L"From: news@acme.example\r\n";

class BrandingDecisionTest : public testing::SimHostTest {
 protected:
  BrandingDecisionTest() {
    brands.Load(L"{\"branding\":[{\"name\":\"Acme\",\"domain\":\"acme.example\"}]}");
  }
  // Mail from `sender` to a Gmail account, as read from the store.
  static MessageEvidence Gmail(const std::wstring& sender, const std::wstring& messageClass) {
    MessageEvidence evidence;
    evidence.accountType = 1;
    evidence.accountAddress = L"reader@gmail.com";
    evidence.mailProvider = L"@gmail.com";
    evidence.messageClass = messageClass;
    evidence.headers = MessageEvidence::Headers::kRead;
    evidence.transportHeaders = kGmailBlock;
    evidence.outlookSender = sender;
    evidence.sender.address = sender;
    return evidence;
  }
  // An S/MIME message to an Exchange account.
  static MessageEvidence Exchange(const std::wstring& sender) {
    MessageEvidence evidence;
    evidence.accountType = 0;
    evidence.accountAddress = L"@corp.example";
    evidence.messageClass = L"IPM.Note.SMIME.MultipartSigned";
    evidence.headers = MessageEvidence::Headers::kMissing;
    evidence.outlookSender = sender;
    evidence.sender.address = sender;
    return evidence;
  }
  // What logging `decision` writes.
  std::vector<std::wstring> LinesOf(const BrandingDecision& decision) {
    std::vector<std::wstring> lines;
    ScopedLogObserver observer([&lines](std::wstring_view line) { lines.emplace_back(line); });
    LogBrandingDecision(decision);
    return lines;
  }

  BrandingList brands;
};

TEST_F(BrandingDecisionTest, EachRuleEndsTheDecisionWithItsOwnReason) {
  MessageEvidence noProvider = Gmail(L"news@acme.example", L"IPM.Note");
  noProvider.mailProvider.clear();
  MessageEvidence unreadSignature = Exchange(L"alerts@acme.example");
  MessageEvidence unsignedExchange = Exchange(L"alerts@acme.example");
  unsignedExchange.messageClass = L"IPM.Note";
  const struct {
    const char* name;
    MessageEvidence evidence;
    BrandingOutcome outcome;
    BrandingReason reason;
    bool weighed;  // the message's own evidence was looked at
  } cases[] = {
      {"authentic", Gmail(L"news@acme.example", L"IPM.Note"), BrandingOutcome::kBrand,
       BrandingReason::kVouchedByHeaders, true},
      {"a provider nobody vouches for", noProvider, BrandingOutcome::kLeave,
       BrandingReason::kNoProvider, false},
      {"a domain that is not a host name", Gmail(L"news@acme..example", L"IPM.Note"),
       BrandingOutcome::kLeave, BrandingReason::kSenderDomainNotHostName, false},
      {"an address without a domain", Gmail(L"postmaster", L"IPM.Note"), BrandingOutcome::kLeave,
       BrandingReason::kNoSender, false},
      {"the verdicts vouch for another sender", Gmail(L"news@other.example", L"IPM.Note"),
       BrandingOutcome::kLeave, BrandingReason::kSenderNotListed, false},
      {"Exchange mail that is not signed", unsignedExchange, BrandingOutcome::kLeave,
       BrandingReason::kExchangeNotSigned, false},
      // A signature that was never read is no signature.
      {"Exchange mail whose signature was not read", unreadSignature, BrandingOutcome::kLeave,
       BrandingReason::kSignatureNotVerified, true},
      {"a branded class of a brand the list does not know",
       Gmail(L"news@acme.example", L"IPM.Note.Tidepost.Gone"), BrandingOutcome::kLeave,
       BrandingReason::kClassBrandNotListed, false},
      {"a branded class on another sender's mail",
       Gmail(L"news@other.example", L"IPM.Note.Tidepost.Acme"), BrandingOutcome::kRestoreClass,
       BrandingReason::kClassBrandNotSender, false},
      {"a branded class borne out", Gmail(L"news@acme.example", L"IPM.Note.Tidepost.Acme"),
       BrandingOutcome::kKeepBrandedClass, BrandingReason::kVouchedByHeaders, true},
  };
  for (const auto& c : cases) {
    const BrandingDecision decision = DecideBranding(c.evidence, brands);
    EXPECT_EQ(decision.outcome, c.outcome) << c.name;
    EXPECT_EQ(decision.reason, c.reason) << c.name;
    EXPECT_EQ(decision.evidenceReason.has_value(), c.weighed) << c.name;
    EXPECT_EQ(decision.VouchesForSender(), c.reason == BrandingReason::kVouchedByHeaders) << c.name;
    EXPECT_FALSE(DescribeBrandingReason(decision).empty()) << c.name;
  }
}

TEST_F(BrandingDecisionTest, AClassTheDecisionRestoresOrRefusesIsNamed) {
  const BrandingDecision restored =
      DecideBranding(Gmail(L"news@other.example", L"IPM.Note.SMIME.Tidepost.Acme"), brands);
  EXPECT_EQ(restored.newClass, L"IPM.Note.SMIME");
  BrandingList longName;
  longName.Load(L"{\"branding\":[{\"name\":\"" + std::wstring(250, L'n') +
                L"\",\"domain\":\"acme.example\"}]}");
  const BrandingDecision tooLong =
      DecideBranding(Gmail(L"news@acme.example", L"IPM.Note"), longName);
  EXPECT_EQ(tooLong.outcome, BrandingOutcome::kLeave);
  EXPECT_EQ(tooLong.reason, BrandingReason::kClassTooLong);
  // The evidence vouched: the sender is authentic though its class cannot be stored.
  EXPECT_TRUE(tooLong.VouchesForSender());
}

// The lines follow the rules in the order they were applied, from the value alone.
TEST_F(BrandingDecisionTest, TheLogIsWrittenFromTheDecision) {
  EXPECT_EQ(LinesOf(DecideBranding(Gmail(L"news@acme.example", L"IPM.Note"), brands)),
            (std::vector<std::wstring>{
                L"Account mail provider @gmail.com should be checked for branding",
                L"Sender address for branding check: acme.example",
                L"Found sender in branding list. Name=Acme, Domain=acme.example",
                L"Header analysis result: Mail provider=@gmail.com, SPF=pass, "
                L"SPFDomain=acme.example, DKIM=pass, DKIMDomain=acme.example",
                L"Header layout: Gmail (RFC 8601), inbound hop on line 2",
                L"Branding message for sender Acme SPF=pass, DKIM=pass, DKIMDomain=acme.example",
            }));
  EXPECT_EQ(
      LinesOf(DecideBranding(Gmail(L"news@other.example", L"IPM.Note.Tidepost.Acme"), brands)),
      (std::vector<std::wstring>{
          L"Account mail provider @gmail.com should be checked for branding",
          L"Sender address for branding check: other.example",
          L"Sender not found in branding list",
          L"Should not check branding for this message. Sender=",
          L"Message class name is already branded - IPM.Note.Tidepost.Acme",
          L"The sender of this message is not listed for brand Acme",
      }));
  EXPECT_EQ(LinesOf(DecideBranding(Exchange(L"alerts@acme.example"), brands)),
            (std::vector<std::wstring>{
                L"Message from an exchange account is SMIME signed: its signature decides",
                L"Sender address for branding check: acme.example",
                L"Found sender in branding list. Name=Acme, Domain=acme.example",
                L"Message is from an exchange account",
                L"Message failed SMIME verification: the signature was not read",
            }));
}

}  // namespace
}  // namespace tp
