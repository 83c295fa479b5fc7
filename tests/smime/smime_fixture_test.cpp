// The signed messages of the S/MIME fixture through the platform's own cryptography (OpenSSL
// natively, CryptoAPI under Wine), as the simulated store presents them: each must give the
// same result code on both.
#include <gtest/gtest.h>

#include "base/text.h"
#include "host/mapi.h"
#include "host/sim/eml_reader.h"
#include "smime/smime_message.h"
#include "smime/smime_verification.h"
#include "support/smime_cases.h"
#include "support/smime_fixtures.h"
#include "support/test_host.h"

namespace tp {
namespace {

using host::sim::SimMail;
using testing::kSmimeCases;
using testing::SmimeCase;

class SmimeFixtureTest : public testing::SimHostTest {
 protected:
  void SetUp() override {
    if (testing::SmimeFixtureFolder().empty())
      GTEST_SKIP() << "TIDEPOST_SMIME_FIXTURES is not set: run the tests through ctest";
    UseCrypto(testing::TrustingFixtureRoot());
  }

  std::shared_ptr<SimMail> Load(const std::string& file) {
    SimMail mail;
    std::wstring error;
    EXPECT_TRUE(host::sim::ReadEmlFile(testing::SmimeFixtureFolder() / file, &mail, &error))
        << WideToUtf8(error);
    return sim().outlook.AddMail(*sim().outlook.AddFolder(L"Inbox"), mail);
  }
  SmimeMessageCheck Check(const std::shared_ptr<SimMail>& mail) {
    return VerifySMimeMessage(*sim().outlook.MailItemFor(mail)->MapiObject());
  }
};

TEST_F(SmimeFixtureTest, EveryMessageGivesItsResultCode) {
  for (const SmimeCase& expected : kSmimeCases) {
    SCOPED_TRACE(expected.file);
    const SmimeMessageCheck check = Check(Load(expected.file));
    if (expected.result == testing::kNoSignaturePart) {
      EXPECT_FALSE(check.hasSignaturePart);
      continue;
    }
    EXPECT_TRUE(check.hasSignaturePart);
    EXPECT_EQ(check.verdict.result, expected.result) << WideToUtf8(DescribeVerdict(check.verdict));
    EXPECT_EQ(check.verdict.ChainsToTrustedRoot(), expected.trustedRoot)
        << WideToUtf8(DescribeTrustErrors(check.verdict.chainErrors));
  }
}

TEST_F(SmimeFixtureTest, TheStorePresentsBothFormsAsOutlookDoes) {
  const auto clear = Load("detached-valid.eml");
  EXPECT_EQ(clear->props.at(host::kPrMessageClassW).text, L"IPM.Note.SMIME.MultipartSigned");
  ASSERT_FALSE(clear->attachments.empty());
  EXPECT_EQ(clear->attachments[0].fileName, L"smime.p7m");
  EXPECT_EQ(clear->attachments[0].bytes.rfind("Content-Type: multipart/signed;", 0), 0u);
  EXPECT_EQ(clear->props.at(host::kPrBodyW).text,
            L"Dear customer,\r\nyour statement is ready. Balance: 100.00 EUR.");
  const SignatureVerdict entity = VerifyDetachedSignature(clear->attachments[0].bytes);
  EXPECT_EQ(entity.result, kSignatureValid);

  const auto opaque = Load("opaque-uppercase-name.eml");
  EXPECT_EQ(opaque->props.at(host::kPrMessageClassW).text, L"IPM.Note.SMIME");
  ASSERT_EQ(opaque->attachments.size(), 1u);
  EXPECT_EQ(opaque->attachments[0].fileName, L"SMIME.P7M");
  EXPECT_EQ(VerifyOpaqueSignature(opaque->attachments[0].bytes).result, kSignatureValid);
  // Each form is refused by the other's check.
  EXPECT_NE(VerifyOpaqueSignature(clear->attachments[0].bytes).result, kSignatureValid);
  EXPECT_EQ(VerifyDetachedSignature(opaque->attachments[0].bytes).problem,
            L"it does not start with its Content-Type header");
}

TEST_F(SmimeFixtureTest, TheSignersNamesComeFromTheCertificate) {
  struct Case {
    const char* file;
    const wchar_t* commonName;
    std::vector<std::wstring> addresses;
  };
  const Case cases[] = {
      {"detached-valid.eml", L"Kestrel Bank Alerts", {L"alerts@kestrelbank.example"}},
      {"detached-subject-email.eml", L"Kestrel Bank Statements", {L"alerts@kestrelbank.example"}},
      {"detached-subdomain-signer.eml", L"Kestrel Bank News", {L"news@mail.kestrelbank.example"}},
      {"detached-foreign-domain.eml",
       L"Kestrel Secure",
       {L"alerts@kestrelbank-secure.example", L"alerts@kestrelbank.example.evil.example",
        L"alerts@notkestrelbank.example"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.file);
    const SignatureVerdict verdict = Check(Load(c.file)).verdict;
    EXPECT_EQ(verdict.signerAddresses, c.addresses);
    EXPECT_NE(verdict.signerSubject.find(std::wstring(L"CN=") + c.commonName), std::wstring::npos)
        << WideToUtf8(verdict.signerSubject);
  }
}

}  // namespace
}  // namespace tp
