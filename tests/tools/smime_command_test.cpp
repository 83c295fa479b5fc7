// tidepost smime, and tidepost check and run on signed mail received through an Exchange
// account, end to end on the S/MIME fixture's messages.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "commands.h"
#include "support/smime_fixtures.h"
#include "support/test_host.h"

namespace tp {
namespace {

using ::testing::HasSubstr;
using ::testing::Not;

const std::filesystem::path kSenders =
    std::filesystem::path(TP_SOURCE_DIR) / "examples" / "sendersList.xml";

class SmimeToolTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (testing::SmimeFixtureFolder().empty())
      GTEST_SKIP() << "TIDEPOST_SMIME_FIXTURES is not set: run the tests through ctest";
  }
  static std::string Fixture(const char* name) {
    return (testing::SmimeFixtureFolder() / name).string();
  }
  static int Run(int (*command)(const tool::Arguments&), const tool::Arguments& arguments,
                 std::string* output) {
    ::testing::internal::CaptureStdout();
    const int status = command(arguments);
    *output = ::testing::internal::GetCapturedStdout();
    return status;
  }
};

TEST_F(SmimeToolTest, SmimeGivesEachMessagesCodeMeaningAndSigner) {
  std::string output;
  EXPECT_EQ(Run(tool::SmimeCommand,
                {"--trust", Fixture("trusted-root.pem"), Fixture("detached-valid.eml"),
                 Fixture("opaque-valid.eml")},
                &output),
            0);
  EXPECT_THAT(output, HasSubstr(Fixture("detached-valid.eml") +
                                ": 0 signature valid, chain trusted\n"
                                "  signer:    CN=Kestrel Bank Alerts, O=Tidepost tests\n"
                                "  addresses: alerts@kestrelbank.example\n"));
  EXPECT_THAT(output, HasSubstr(Fixture("opaque-valid.eml") + ": 0 signature valid"));

  EXPECT_EQ(Run(tool::SmimeCommand,
                {"--trust", Fixture("trusted-root.pem"), Fixture("detached-valid.eml"),
                 Fixture("detached-tampered.eml"), Fixture("detached-expired-signer.eml"),
                 Fixture("detached-rogue-root.eml"), Fixture("unsigned.eml"),
                 Fixture("opaque-garbage.eml")},
                &output),
            1);
  for (const std::string& line :
       {Fixture("detached-tampered.eml") + ": -2 content altered after signing (hash mismatch)",
        Fixture("detached-expired-signer.eml") + ": -5 signer certificate expired",
        Fixture("detached-rogue-root.eml") + ": -7 certificate chain not trusted: untrusted root",
        Fixture("unsigned.eml") + ": none no S/MIME signature part",
        Fixture("opaque-garbage.eml") +
            ": -3 message rejected: not a DER-encoded PKCS #7 object\n"}) {
    EXPECT_THAT(output, HasSubstr(line));
  }
}

TEST_F(SmimeToolTest, TrustComesFromTheGivenFilesBesideTheSystemsCertificates) {
  std::string output;
  // Without the fixture's root the chain stops at the intermediate the message carries.
  EXPECT_EQ(Run(tool::SmimeCommand, {Fixture("detached-valid.eml")}, &output), 0);
  EXPECT_THAT(output,
              HasSubstr(": 0 signature valid, but the chain stops short of a trusted root"));
  // A self-signed signer is an untrusted root, trusted only when its file is given.
  EXPECT_EQ(Run(tool::SmimeCommand, {Fixture("detached-rogue-root.eml")}, &output), 1);

  EXPECT_EQ(
      Run(tool::SmimeCommand, {"--trust", "/nonexistent.pem", Fixture("unsigned.eml")}, &output),
      66);
  EXPECT_EQ(Run(tool::SmimeCommand,
                {"--trust", Fixture("unsigned.eml"), Fixture("detached-valid.eml")}, &output),
            66);
  EXPECT_EQ(Run(tool::SmimeCommand, {"--trust", Fixture("trusted-root.pem")}, &output), 64);
  EXPECT_EQ(Run(tool::SmimeCommand, {"/nonexistent/message.eml"}, &output), 1);
  EXPECT_THAT(output, HasSubstr("/nonexistent/message.eml: cannot be read: "));
}

TEST_F(SmimeToolTest, CheckOnExchangeBrandsATrustedSignatureAndExplainsEachRefusal) {
  std::string output;
  ASSERT_EQ(
      Run(tool::CheckCommand,
          {"--account", "alex.sample@harborworks.example", "--type", "exchange", "--senders",
           kSenders.string(), "--trust", Fixture("trusted-root.pem"), Fixture("detached-valid.eml"),
           Fixture("detached-foreign-domain.eml"), Fixture("detached-without-intermediate.eml"),
           Fixture("opaque-tampered.eml"), Fixture("unsigned.eml")},
          &output),
      0);
  EXPECT_THAT(output, HasSubstr("  S/MIME:    0 signature valid, chain trusted; signer "
                                "CN=Kestrel Bank Alerts, O=Tidepost tests; addresses "
                                "alerts@kestrelbank.example\n"));
  EXPECT_THAT(output, HasSubstr("  decision:  branded: "));
  EXPECT_THAT(output, HasSubstr("Branding SMIME message for sender Kestrel Bank"));
  EXPECT_THAT(output, HasSubstr("  class:     IPM.Note.SMIME.MultipartSigned -> "
                                "IPM.Note.SMIME.MultipartSigned.Tidepost.Kestrel "
                                "Bank.SMIME.MultipartSigned\n"));
  EXPECT_THAT(output, HasSubstr("Message failed SMIME verification: no address of the signer is "
                                "in the domain kestrelbank.example"));
  EXPECT_THAT(output, HasSubstr("Message failed SMIME verification: the signer's chain does not "
                                "reach a trusted root"));
  EXPECT_THAT(output, HasSubstr("  S/MIME:    -2 content altered after signing (hash mismatch)"));
  EXPECT_THAT(output, HasSubstr("  S/MIME:    none\n"));
  EXPECT_THAT(output,
              HasSubstr("not branded: Should not check a message from an exchange account"));
}

TEST_F(SmimeToolTest, RunTrustsTheGivenFilesForItsMailbox) {
  testing::TempFolder mailbox;
  std::ofstream(mailbox.path() / "mailbox.ini")
      << "[account]\naddress = alex.sample@harborworks.example\ntype = exchange\n";
  std::filesystem::copy_file(Fixture("detached-valid.eml"), mailbox.path() / "signed.eml");
  testing::TempFolder data;
  std::string output;
  ASSERT_EQ(Run(tool::RunCommand,
                {"--mailbox", mailbox.path().string(), "--senders", kSenders.string(), "--data",
                 data.path().string(), "--trust", Fixture("trusted-root.pem")},
                &output),
            0);
  EXPECT_THAT(output, HasSubstr("branded as IPM.Note.SMIME.MultipartSigned.Tidepost.Kestrel "
                                "Bank.SMIME.MultipartSigned"));
  EXPECT_THAT(output, Not(HasSubstr("not branded")));
}

}  // namespace
}  // namespace tp
