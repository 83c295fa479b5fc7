// The S/MIME checks of the core over a scripted message crypto: how the platform's answers
// become result codes, and how a message's signature part is found and read through MAPI.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "host/crypto.h"
#include "host/sim/sim_outlook.h"
#include "smime/smime_message.h"
#include "smime/smime_verification.h"
#include "support/test_certificates.h"
#include "support/test_host.h"

namespace tp {
namespace {

using host::sim::SimAttachment;
using host::sim::SimMail;

struct CertificateScript {
  int timeValidity = 0;
  std::optional<uint32_t> chainErrors = 0;  // nullopt: no chain
  std::vector<std::string> addresses = {"alerts@kestrelbank.example"};
};

testing::TestCertificate Signer(const CertificateScript& script) {
  testing::TestCertificate signer;
  signer.issuerName = "Kestrel Test Root";
  signer.sanEmails = script.addresses;
  signer.extendedKeyUsage = std::vector<std::string>{testing::kOidEmail};
  signer.keyUsage = 0xA0;
  return signer;
}

class ScriptedCertificate final : public host::Certificate {
 public:
  explicit ScriptedCertificate(CertificateScript script) : m_script(std::move(script)) {}
  int VerifyTimeValidity() override { return m_script.timeValidity; }
  bool BuildChain(host::ChainReport* report) override {
    if (!m_script.chainErrors)
      return false;
    testing::TestCertificate root;
    root.commonName = "Kestrel Test Root";
    report->errorStatus = *m_script.chainErrors;
    report->certificates = {{Encoded(), std::nullopt},
                            {testing::MakeCertificateDer(root), std::nullopt}};
    return true;
  }
  std::string Encoded() override { return testing::MakeCertificateDer(Signer(m_script)); }

 private:
  CertificateScript m_script;
};

// Answers every verification with the same script, and records what it was asked.
class ScriptedCrypto final : public host::MessageCrypto {
 public:
  HResult opaqueAnswer = hr::kOk;
  HResult detachedAnswer = hr::kOk;
  bool withSigner = true;
  CertificateScript certificate;
  host::SignerInfo signer{"2.16.840.1.101.3.4.2.1",
                          "1.2.840.113549.1.1.1",
                          "1.2.840.113549.1.7.1",
                          true,
                          {"1.2.840.113549.1.7.1"}};

  std::vector<std::string> calls;  // "opaque" or "detached"
  std::string lastData;
  std::string lastContent;

  HResult VerifyMessageSignature(std::string_view signedData,
                                 host::VerifiedSignature* verified) override {
    calls.push_back("opaque");
    lastData = signedData;
    return Answer(opaqueAnswer, verified);
  }
  HResult VerifyDetachedMessageSignature(std::string_view signature, std::string_view content,
                                         host::VerifiedSignature* verified) override {
    calls.push_back("detached");
    lastData = signature;
    lastContent = content;
    return Answer(detachedAnswer, verified);
  }

 private:
  HResult Answer(HResult answer, host::VerifiedSignature* verified) {
    if (hr::Succeeded(answer)) {
      verified->signer = signer;
      if (withSigner)
        verified->certificate = std::make_unique<ScriptedCertificate>(certificate);
    }
    return answer;
  }
};

TEST(SmimeVerificationTest, ThePlatformsAnswersBecomeResultCodes) {
  using namespace host::trust;
  struct Case {
    const char* name;
    HResult answer;
    bool withSigner;
    CertificateScript certificate;
    int result;
    bool trustedRoot;
    const wchar_t* meaning;
  };
  const Case cases[] = {
      {"verified, chain trusted", hr::kOk, true, {}, 0, true, L"signature valid, chain trusted"},
      {"partial chain",
       hr::kOk,
       true,
       {0, kIsPartialChain},
       0,
       false,
       L"signature valid, but the chain stops short of a trusted root"},
      {"bad signature",
       host::crypt::kBadSignature,
       true,
       {},
       -1,
       false,
       L"bad signature: it does not verify with the signer's key"},
      {"hash mismatch",
       host::crypt::kHashValue,
       true,
       {},
       -2,
       false,
       L"content altered after signing (hash mismatch)"},
      {"not DER",
       host::crypt::kAsn1BadTag,
       true,
       {},
       -3,
       false,
       L"message rejected: not a DER-encoded PKCS #7 object"},
      {"signer not in the message",
       host::crypt::kNotFound,
       true,
       {},
       -3,
       false,
       L"message rejected: the signer's certificate is not in the message"},
      {"any other failure",
       static_cast<HResult>(0x80070057),
       true,
       {},
       -3,
       false,
       L"message rejected (80070057)"},
      {"no signer certificate",
       hr::kOk,
       false,
       {},
       -4,
       false,
       L"signature verified, but no signer certificate"},
      {"not yet valid", hr::kOk, true, {-1, 0}, -5, false, L"signer certificate not yet valid"},
      {"expired", hr::kOk, true, {1, 0}, -5, false, L"signer certificate expired"},
      {"no chain",
       hr::kOk,
       true,
       {0, std::nullopt},
       -6,
       false,
       L"no certificate chain could be built for the signer"},
      {"untrusted root",
       hr::kOk,
       true,
       {0, kIsUntrustedRoot},
       -7,
       false,
       L"certificate chain not trusted: untrusted root"},
      {"partial and an expired issuer",
       hr::kOk,
       true,
       {0, kIsPartialChain | kIsNotTimeValid},
       -7,
       false,
       L"certificate chain not trusted: a certificate outside its validity"},
      {"an unnamed error",
       hr::kOk,
       true,
       {0, 0x00400000},
       -7,
       false,
       L"certificate chain not trusted: trust error 00400000"},
  };
  testing::TempFolder folder;
  host::sim::SimHost sim(folder.wpath());
  ScriptedCrypto crypto;
  host::Host withCrypto = sim.host();
  withCrypto.crypto = &crypto;
  host::ScopedHost installed(withCrypto);
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    crypto.opaqueAnswer = c.answer;
    crypto.withSigner = c.withSigner;
    crypto.certificate = c.certificate;
    const SignatureVerdict verdict = VerifyOpaqueSignature("\x30\x80");
    EXPECT_EQ(verdict.result, c.result);
    EXPECT_EQ(verdict.ChainsToTrustedRoot(), c.trustedRoot);
    EXPECT_EQ(DescribeVerdict(verdict), c.meaning);
  }
}

TEST(SmimeVerificationTest, TheSignersAddressesAreListedOnceAndBounded) {
  testing::TempFolder folder;
  host::sim::SimHost sim(folder.wpath());
  ScriptedCrypto crypto;
  crypto.certificate.addresses = {"a@x.example", "A@X.example", "b@x.example"};
  for (int i = 0; i < 1000; ++i)
    crypto.certificate.addresses.push_back("n" + std::to_string(i) + "@x.example");
  host::Host withCrypto = sim.host();
  withCrypto.crypto = &crypto;
  host::ScopedHost installed(withCrypto);
  const SignatureVerdict verdict = VerifyOpaqueSignature("\x30\x80");
  ASSERT_EQ(verdict.signerAddresses.size(), 64u);
  EXPECT_EQ(verdict.signerAddresses[0], L"a@x.example");
  EXPECT_EQ(verdict.signerAddresses[1], L"b@x.example");
  EXPECT_EQ(verdict.signerSubject, L"CN=Kestrel Bank Alerts, O=Tidepost tests");
}

// A signed message's signature part as the simulated store keeps it.
class SmimeMessageTest : public testing::SimHostTest {
 protected:
  SmimeMessageTest() { UseCrypto(crypto); }

  std::shared_ptr<SimMail> AddMessage(std::vector<SimAttachment> attachments,
                                      const wchar_t* messageClass = L"IPM.Note.SMIME") {
    SimMail mail;
    mail.entryId = L"m" + std::to_wstring(++m_messages);
    if (messageClass != nullptr)
      mail.SetProp(host::kPrMessageClassW, messageClass);
    mail.attachments = std::move(attachments);
    return sim().outlook.AddMail(*sim().outlook.AddFolder(L"Inbox"), mail);
  }
  SmimeMessageCheck Check(const std::shared_ptr<SimMail>& mail) {
    return VerifySMimeMessage(*sim().outlook.MailItemFor(mail)->MapiObject());
  }
  static SimAttachment Attachment(const wchar_t* name, std::string bytes) {
    SimAttachment attachment;
    attachment.fileName = name;
    attachment.bytes = std::move(bytes);
    return attachment;
  }
  bool Opened(const std::wstring& call) {
    const auto& calls = sim().outlook.calls;
    return std::find(calls.begin(), calls.end(), call) != calls.end();
  }

  ScriptedCrypto crypto;

 private:
  int m_messages = 0;
};

TEST_F(SmimeMessageTest, AMessageWithoutASignaturePartNeverReachesTheCrypto) {
  const std::vector<std::shared_ptr<SimMail>> mails = {
      AddMessage({}), AddMessage({Attachment(L"smime.p7m.txt", "x"), Attachment(L"p7s", "x"),
                                  Attachment(L"smime.p7", "x")})};
  for (const auto& mail : mails) {
    const SmimeMessageCheck check = Check(mail);
    EXPECT_FALSE(check.hasSignaturePart);
    EXPECT_FALSE(check.Valid());
    EXPECT_EQ(check.verdict.problem, L"no attachment is named smime.p7m or smime.p7s");
  }
  EXPECT_TRUE(crypto.calls.empty());
  EXPECT_TRUE(sim().outlook.calls.empty());
}

TEST_F(SmimeMessageTest, TheFirstAttachmentNamedLikeASignaturePartIsRead) {
  auto mail = AddMessage({Attachment(L"statement.pdf", "%PDF"), Attachment(L"SMIME.P7S", "first"),
                          Attachment(L"smime.p7m", "second")});
  const SmimeMessageCheck check = Check(mail);
  EXPECT_TRUE(check.Valid());
  EXPECT_EQ(check.partName, L"SMIME.P7S");
  EXPECT_TRUE(Opened(L"OpenAttach m1 1"));
  EXPECT_EQ(crypto.lastData, "first");
  EXPECT_EQ(crypto.calls, std::vector<std::string>{"opaque"});
}

TEST_F(SmimeMessageTest, SixteenMebibytesAreReadAndOneByteMoreIsRefusedUnread) {
  const std::string limit(kMaxSignaturePartSize, '\x30');
  EXPECT_TRUE(Check(AddMessage({Attachment(L"smime.p7m", limit)})).Valid());
  EXPECT_EQ(crypto.lastData.size(), kMaxSignaturePartSize);

  crypto.calls.clear();
  const SmimeMessageCheck refused = Check(AddMessage({Attachment(L"smime.p7m", limit + "0")}));
  EXPECT_TRUE(refused.hasSignaturePart);
  EXPECT_EQ(refused.verdict.result, kSignatureMalformed);
  EXPECT_EQ(refused.verdict.problem, L"the signature part is refused: it is larger than 16 MiB");
  EXPECT_TRUE(crypto.calls.empty());

  // A stream that announces more than it has gives what it has; one that announces less gives
  // only that much.
  SimAttachment shortStream = Attachment(L"smime.p7m", "0123456789");
  shortStream.statSize = 1000;
  EXPECT_TRUE(Check(AddMessage({shortStream})).Valid());
  EXPECT_EQ(crypto.lastData, "0123456789");
  SimAttachment longStream = Attachment(L"smime.p7m", "0123456789");
  longStream.statSize = 4;
  EXPECT_TRUE(Check(AddMessage({longStream})).Valid());
  EXPECT_EQ(crypto.lastData, "0123");
  longStream.statSize = kMaxSignaturePartSize + 1;
  EXPECT_FALSE(Check(AddMessage({longStream})).Valid());
}

TEST_F(SmimeMessageTest, AnUnreadableMessageIsRefused) {
  auto noClass = AddMessage({Attachment(L"smime.p7m", "x")}, nullptr);
  EXPECT_EQ(Check(noClass).verdict.problem, L"the message class cannot be read");
  auto noTable = AddMessage({Attachment(L"smime.p7m", "x")});
  noTable->attachmentTableFailure = static_cast<HResult>(0x80040102);  // MAPI_E_NO_SUPPORT
  EXPECT_EQ(Check(noTable).verdict.problem, L"the attachment table cannot be read");
  EXPECT_TRUE(crypto.calls.empty());
}

TEST_F(SmimeMessageTest, TheOpaqueFormIsTriedFirstAndTheVerdictIsTheFormsTheDataIsIn) {
  const std::string entity =
      "Content-Type: multipart/signed; boundary=\"b\"\r\n\r\n--b\r\nContent-Type: text/plain"
      "\r\n\r\nsigned text\r\n--b\r\nContent-Type: application/pkcs7-signature\r\n\r\n"
      "MIIBAgMEBQYH\r\n--b--\r\n";
  // Opaque verifies: the entity form is never tried.
  auto opaque = AddMessage({Attachment(L"smime.p7m", "\x30\x80 der")});
  EXPECT_TRUE(Check(opaque).Valid());
  EXPECT_EQ(crypto.calls, std::vector<std::string>{"opaque"});

  // A clear-signed entity: the opaque attempt fails, the entity's verdict counts.
  crypto.calls.clear();
  crypto.opaqueAnswer = host::crypt::kAsn1BadTag;
  crypto.detachedAnswer = host::crypt::kHashValue;
  auto clear = AddMessage({Attachment(L"smime.p7m", entity)}, L"IPM.Note.SMIME.MultipartSigned");
  const SmimeMessageCheck altered = Check(clear);
  EXPECT_EQ(crypto.calls, (std::vector<std::string>{"opaque", "detached"}));
  EXPECT_EQ(altered.verdict.result, kSignatureHashMismatch);
  EXPECT_EQ(crypto.lastContent, "Content-Type: text/plain\r\n\r\nsigned text");
  EXPECT_EQ(crypto.lastData, "\x30\x82\x01\x02\x03\x04\x05\x06\x07");

  // DER whose signature is bad: the opaque verdict counts, not the entity form's refusal.
  crypto.opaqueAnswer = host::crypt::kBadSignature;
  const SmimeMessageCheck bad = Check(AddMessage({Attachment(L"smime.p7m", "\x30\x80 der")}));
  EXPECT_EQ(bad.verdict.result, kSignatureMalformed);
  EXPECT_EQ(bad.verdict.failure, host::crypt::kBadSignature);
  EXPECT_TRUE(bad.verdict.problem.empty());
}

// A store that names its attachments only in 8-bit text and leaves out attachment numbers.
class NarrowNamesMessage final : public host::MapiMessage {
 public:
  HResult GetProp(host::PropTag, host::PropValue* value) override {
    value->tag = host::kPrMessageClassW;
    value->text = L"IPM.Note.SMIME";
    return hr::kOk;
  }
  HResult SetProp(const host::PropValue&) override { return hr::kOk; }
  HResult ReadStream(host::PropTag, std::string*) override { return hr::kMapiNotFound; }
  HResult SaveChanges(uint32_t) override { return hr::kOk; }
  HResult GetAttachmentRows(std::vector<host::AttachmentRow>* rows) override {
    host::AttachmentRow unnamed;
    host::AttachmentRow narrow;
    narrow.fileNameA = "Smime.P7m";
    *rows = {unnamed, narrow};
    return hr::kOk;
  }
  HResult OpenAttach(int32_t number, std::unique_ptr<host::MapiAttachment>*) override {
    opened = number;
    return hr::kMapiNotFound;
  }
  std::optional<int32_t> opened;
};

TEST_F(SmimeMessageTest, AnEightBitNameCountsAndAMissingNumberIsZero) {
  NarrowNamesMessage message;
  const SmimeMessageCheck check = VerifySMimeMessage(message);
  EXPECT_TRUE(check.hasSignaturePart);
  EXPECT_EQ(check.partName, L"Smime.P7m");
  EXPECT_EQ(message.opened, 0);
  EXPECT_EQ(check.verdict.problem, L"the signature part cannot be opened");
}

}  // namespace
}  // namespace tp
