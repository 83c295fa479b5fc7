// The OpenSSL message crypto: how OpenSSL's verify errors become CryptoAPI's trust bits, where
// its trust comes from, and what it refuses to trust.
#include "host/posix/posix_crypto.h"

#include <gtest/gtest.h>

#include "host/posix/posix_certificate.h"
#include "host/sim/eml_reader.h"
#include "smime/smime_message.h"
#include "support/smime_fixtures.h"
#include "support/test_host.h"

namespace tp {
namespace {

TEST(PosixCryptoTest, VerifyErrorsBecomeTheTrustBitsCryptoApiSets) {
  using namespace host::trust;
  struct Case {
    int error;
    uint32_t bit;
  };
  const Case cases[] = {
      {X509_V_OK, 0},
      {X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT_LOCALLY, kIsPartialChain},
      {X509_V_ERR_UNABLE_TO_GET_ISSUER_CERT, kIsPartialChain},
      {X509_V_ERR_UNABLE_TO_VERIFY_LEAF_SIGNATURE, kIsPartialChain},
      {X509_V_ERR_DEPTH_ZERO_SELF_SIGNED_CERT, kIsUntrustedRoot},
      {X509_V_ERR_SELF_SIGNED_CERT_IN_CHAIN, kIsUntrustedRoot},
      {X509_V_ERR_CERT_HAS_EXPIRED, kIsNotTimeValid},
      {X509_V_ERR_CERT_NOT_YET_VALID, kIsNotTimeValid},
      {X509_V_ERR_CERT_SIGNATURE_FAILURE, kIsNotSignatureValid},
      {X509_V_ERR_INVALID_CA, kInvalidBasicConstraints},
      {X509_V_ERR_PATH_LENGTH_EXCEEDED, kInvalidBasicConstraints},
      {X509_V_ERR_KEYUSAGE_NO_CERTSIGN, kIsNotValidForUsage},
      {X509_V_ERR_UNHANDLED_CRITICAL_EXTENSION, kInvalidExtension},
      {X509_V_ERR_PERMITTED_VIOLATION, kInvalidNameConstraints},
      {X509_V_ERR_CERT_REJECTED, kIsExplicitDistrust},
      {X509_V_ERR_OUT_OF_MEM, kIsNotSignatureValid},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(X509_verify_cert_error_string(c.error));
    EXPECT_EQ(host::posix::TrustErrorOfVerifyError(c.error), c.bit);
  }
}

TEST(PosixCryptoTest, OnlyFilesOfCertificatesCanBeTrusted) {
  testing::TempFolder folder;
  host::posix::PosixMessageCrypto crypto;
  std::string error;
  EXPECT_FALSE(crypto.TrustCertificates((folder.path() / "missing.pem").string(), &error));
  EXPECT_EQ(error, "cannot read " + (folder.path() / "missing.pem").string());
  testing::WriteFileBytes(folder.path() / "text.pem", "-----BEGIN NOTHING-----\n");
  EXPECT_FALSE(crypto.TrustCertificates((folder.path() / "text.pem").string(), &error));
  EXPECT_EQ(error, (folder.path() / "text.pem").string() + " holds no PEM certificate");
}

TEST(PosixCryptoTest, TheSystemsCaBundleIsReadWhenASignatureIsFirstVerified) {
  testing::TempFolder folder;
  testing::WriteFileBytes(folder.path() / "empty.pem", "");
  host::posix::PosixMessageCrypto crypto;
  std::string error;
  EXPECT_FALSE(crypto.TrustCertificates(folder.path() / "empty.pem", &error));
  EXPECT_FALSE(crypto.SystemTrustLoaded());
  host::VerifiedSignature verified;
  EXPECT_EQ(crypto.VerifyMessageSignature("\x30\x03\x02\x01\x01", &verified),
            host::crypt::kAsn1BadTag);
  EXPECT_TRUE(crypto.SystemTrustLoaded());
}

// The fixture's messages with and without its root among the trusted certificates.
class PosixTrustTest : public testing::SimHostTest {
 protected:
  void SetUp() override {
    if (testing::SmimeFixtureFolder().empty())
      GTEST_SKIP() << "TIDEPOST_SMIME_FIXTURES is not set: run the tests through ctest";
  }
  SmimeMessageCheck Check(host::MessageCrypto& crypto, const std::string& file) {
    UseCrypto(crypto);
    host::sim::SimMail mail;
    std::wstring error;
    EXPECT_TRUE(host::sim::ReadEmlFile(testing::SmimeFixtureFolder() / file, &mail, &error));
    auto added = sim().outlook.AddMail(*sim().outlook.AddFolder(L"Inbox"), std::move(mail));
    return VerifySMimeMessage(*sim().outlook.MailItemFor(added)->MapiObject());
  }
};

TEST_F(PosixTrustTest, TheSystemsCertificatesAloneDoNotTrustTheFixturesRoot) {
  host::posix::PosixMessageCrypto systemOnly;
  const SmimeMessageCheck valid = Check(systemOnly, "detached-valid.eml");
  EXPECT_EQ(valid.verdict.result, kSignatureValid);
  EXPECT_EQ(valid.verdict.chainErrors, host::trust::kIsPartialChain);
  EXPECT_EQ(Check(systemOnly, "detached-self-signed.eml").verdict.chainErrors,
            host::trust::kIsUntrustedRoot);

  host::posix::PosixMessageCrypto trusting;
  std::string error;
  ASSERT_TRUE(trusting.TrustCertificates(
      (testing::SmimeFixtureFolder() / "trusted-root.pem").string(), &error));
  EXPECT_TRUE(Check(trusting, "detached-valid.eml").verdict.ChainsToTrustedRoot());
  // An expired issuer makes the chain not time valid, though the signer itself is.
  EXPECT_EQ(Check(trusting, "detached-expired-intermediate.eml").verdict.chainErrors,
            host::trust::kIsNotTimeValid);
}

}  // namespace
}  // namespace tp
