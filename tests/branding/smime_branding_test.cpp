// The S/MIME branch of the branding decision: which signer addresses are in a brand's
// domain, which verdicts vouch for a brand, and the whole decision for signed mail received
// through an Exchange account, on the platform's own cryptography.
#include "branding/smime_branding.h"
#include "branding/branding_decision.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "addin/add_in_fixture.h"
#include "base/format.h"
#include "base/text.h"
#include "branding/message_class.h"
#include "host/crypto.h"
#include "host/sim/eml_reader.h"
#include "platform/log.h"
#include "support/smime_cases.h"
#include "support/smime_fixtures.h"

namespace tp {
namespace {

using host::sim::SimMail;

TEST(SmimeBrandingTest, OnlyAddressesInTheBrandsDomainOrASubDomainCount) {
  struct Case {
    std::wstring address;
    bool inDomain;
  };
  const Case cases[] = {
      {L"alerts@kestrelbank.example", true},
      {L"ALERTS@KestrelBank.EXAMPLE", true},
      {L"news@mail.kestrelbank.example", true},
      {L"\"a@b\"@kestrelbank.example", true},
      {L"alerts@kestrelbank.example.evil.example", false},
      {L"alerts@notkestrelbank.example", false},
      {L"alerts@kestrelbank-secure.example", false},
      {L"alerts@kestrelbank.example.", false},
      {L"alerts@.kestrelbank.example", false},
      {L"alerts@mail..kestrelbank.example", false},
      {L"alerts@k\u00e9strelbank.example", false},
      {L"alerts@evil.example kestrelbank.example", false},
      {std::wstring(L"alerts@kestrelbank.example\0.evil.example", 40), false},
      {L"@kestrelbank.example", false},
      {L"kestrelbank.example", false},
      {L"", false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(WideToUtf8(c.address));
    EXPECT_EQ(IsAddressInDomain(c.address, L"kestrelbank.example"), c.inDomain);
  }
  EXPECT_FALSE(IsAddressInDomain(L"alerts@kestrelbank.example", L""));
}

TEST(SmimeBrandingTest, AVerdictVouchesOnlyWhenValidTrustedAndFromTheBrandsDomain) {
  SenderBrand brand;
  brand.domain = L"kestrelbank.example";
  brand.dkimSigners = L"mailer.example";
  auto verdict = [](int result, uint32_t chain, std::vector<std::wstring> addresses) {
    SignatureVerdict made;
    made.result = result;
    made.chainErrors = chain;
    made.signerAddresses = std::move(addresses);
    return made;
  };
  struct Case {
    const char* name;
    SignatureVerdict verdict;
    SignatureRefusal refusal;
  };
  const Case cases[] = {
      {"valid", verdict(0, 0, {L"alerts@kestrelbank.example"}), SignatureRefusal::kNone},
      {"the second address", verdict(0, 0, {L"x@other.example", L"a@mail.kestrelbank.example"}),
       SignatureRefusal::kNone},
      {"partial chain", verdict(0, host::trust::kIsPartialChain, {L"alerts@kestrelbank.example"}),
       SignatureRefusal::kUntrustedRoot},
      {"hash mismatch", verdict(-2, 0, {L"alerts@kestrelbank.example"}),
       SignatureRefusal::kNotVerified},
      {"chain error", verdict(-7, host::trust::kIsUntrustedRoot, {L"alerts@kestrelbank.example"}),
       SignatureRefusal::kNotVerified},
      {"a signer domain of DKIM", verdict(0, 0, {L"alerts@mailer.example"}),
       SignatureRefusal::kSignerOutsideDomain},
      {"no address", verdict(0, 0, {}), SignatureRefusal::kSignerOutsideDomain},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(JudgeSignatureForBrand(c.verdict, brand), c.refusal);
  }
}

// Signed mail of the S/MIME fixture, received by an Exchange account and decided by the
// add-in for the brand "Kestrel Bank".
class ExchangeSignedMailTest : public testing::AddinTest {
 protected:
  void SetUp() override {
    if (testing::SmimeFixtureFolder().empty())
      GTEST_SKIP() << "TIDEPOST_SMIME_FIXTURES is not set: run the tests through ctest";
    UseCrypto(testing::TrustingFixtureRoot());
    WriteSendersList(
        L"{\"branding\":[{\"name\":\"Kestrel Bank\",\"domain\":\"kestrelbank.example\"},"
        L"{\"name\":\"Acme\",\"domain\":\"acme.example\"}]}");
    ASSERT_EQ(Connect(), hr::kOk);
  }

  std::shared_ptr<SimMail> Receive(const std::string& file, int accountType = 0) {
    SimMail mail;
    std::wstring error;
    EXPECT_TRUE(host::sim::ReadEmlFile(testing::SmimeFixtureFolder() / file, &mail, &error));
    mail.account = std::make_shared<host::sim::SimAccount>(host::sim::SimAccount{
        accountType,
        accountType == 0 ? L"alex.sample@harborworks.example" : L"alex.sample@gmail.com", L"Alex"});
    return sim().outlook.AddMail(*inbox, mail);
  }
  static std::wstring ClassOf(const SimMail& mail) {
    return mail.props.at(host::kPrMessageClassW).text;
  }
};

TEST_F(ExchangeSignedMailTest, OnlyATrustedSignatureFromTheBrandsDomainBrands) {
  for (const testing::SmimeCase& expected : testing::kSmimeCases) {
    SCOPED_TRACE(expected.file);
    const auto mail = Receive(expected.file);
    const std::wstring before = ClassOf(*mail);
    const bool branded = connect->BrandMailItem(*Item(mail), false);
    const BrandingDecision& decision = *connect->last_decision();
    if (expected.refusal == nullptr) {
      EXPECT_TRUE(branded);
      EXPECT_EQ(ClassOf(*mail), BrandedClassFor(before, L"Kestrel Bank"));
      EXPECT_EQ(decision.reason, BrandingReason::kVouchedBySignature);
      EXPECT_EQ(decision.brandName, L"Kestrel Bank");
      EXPECT_EQ(mail->saveFlags.size(), 1u);
    } else {
      EXPECT_FALSE(branded);
      const std::wstring refusal = Utf8ToWide(expected.refusal);
      const std::wstring reason = DescribeBrandingReason(decision);
      EXPECT_TRUE(reason == refusal || reason.rfind(refusal + L": ", 0) == 0)
          << WideToUtf8(reason) << " is not and does not start with " << expected.refusal;
      EXPECT_EQ(ClassOf(*mail), before);
      EXPECT_TRUE(mail->saveFlags.empty());
    }
    if (expected.result != testing::kNoSignaturePart) {
      ASSERT_TRUE(decision.evidence.signature);
      EXPECT_EQ(decision.evidence.signature->result, expected.result);
    }
  }
}

TEST_F(ExchangeSignedMailTest, ABrandedSignedMessageKeepsItsClassOnlyBySignatureAgain) {
  const auto mail = Receive("detached-valid.eml");
  ASSERT_TRUE(connect->BrandMailItem(*Item(mail), false));
  EXPECT_FALSE(connect->BrandMailItem(*Item(mail), true));
  // Its class came with it as far as a new look can tell, so the signature decides again;
  // a class it bears out is not saved a second time.
  EXPECT_EQ(connect->last_decision()->outcome, BrandingOutcome::kKeepBrandedClass);
  EXPECT_EQ(connect->last_decision()->reason, BrandingReason::kVouchedBySignature);
  EXPECT_EQ(mail->saveFlags.size(), 1u);
  EXPECT_EQ(ClassOf(*mail),
            L"IPM.Note.SMIME.MultipartSigned.Tidepost.Kestrel Bank.SMIME.MultipartSigned");
}

TEST_F(ExchangeSignedMailTest, SignedMailOfAnUnlistedSenderIsNotChecked) {
  auto mail = Receive("detached-valid.eml");
  // The same message from a sender the list does not name: its From field and the sender
  // Outlook shows.
  std::wstring headers = mail->props.at(host::kPrTransportMessageHeadersW).text;
  const size_t at = headers.find(L"@kestrelbank.example");
  ASSERT_NE(at, std::wstring::npos);
  headers.replace(at, 20, L"@harborweekly.example");
  mail->SetProp(host::kPrTransportMessageHeadersW, headers);
  mail->SetProp(host::kPrSentRepresentingEmailAddressW, L"alerts@harborweekly.example");
  EXPECT_FALSE(connect->BrandMailItem(*Item(mail), false));
  const BrandingDecision& decision = *connect->last_decision();
  EXPECT_EQ(decision.reason, BrandingReason::kSenderNotListed);
  // Nobody's signature is verified for a sender the list does not name.
  EXPECT_FALSE(decision.evidence.signature);
  EXPECT_FALSE(decision.evidenceReason);
}

// Exchange mail reads From as Internet mail does when it crossed the Internet; mail that never
// did has no transport headers, and the sender Outlook shows is then the only reading.
TEST_F(ExchangeSignedMailTest, FromIsReadOneWayAndWithoutHeadersOutlooksSenderCounts) {
  auto twoFroms = Receive("detached-valid.eml");
  twoFroms->SetProp(host::kPrTransportMessageHeadersW,
                    twoFroms->props.at(host::kPrTransportMessageHeadersW).text +
                        L"From: <other@harborweekly.example>\r\n");
  EXPECT_FALSE(connect->BrandMailItem(*Item(twoFroms), false));
  EXPECT_EQ(connect->last_decision()->reason, BrandingReason::kNoSender);
  EXPECT_EQ(DescribeBrandingReason(*connect->last_decision()),
            L"From field refused for branding: the message has 2 From fields");

  auto internal = Receive("detached-valid.eml");
  internal->props.erase(host::kPrTransportMessageHeadersW);
  EXPECT_TRUE(connect->BrandMailItem(*Item(internal), false));
  EXPECT_EQ(connect->last_decision()->evidence.sender.address, L"alerts@kestrelbank.example");
}

TEST_F(ExchangeSignedMailTest, OtherAccountsKeepTheirHeaderDecision) {
  // A valid signature does not stand in for a provider's verdicts on a Gmail account.
  const auto mail = Receive("detached-valid.eml", 1);
  EXPECT_FALSE(connect->BrandMailItem(*Item(mail), false));
  const BrandingDecision& decision = *connect->last_decision();
  EXPECT_EQ(decision.evidence.mailProvider, L"@gmail.com");
  EXPECT_EQ(decision.reason, BrandingReason::kNoPass);
  EXPECT_FALSE(decision.evidence.signature);
  EXPECT_EQ(ClassOf(*mail), L"IPM.Note.SMIME.MultipartSigned");
}

}  // namespace
}  // namespace tp
