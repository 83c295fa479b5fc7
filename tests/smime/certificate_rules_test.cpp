// The core's reading of certificates (DER, names, every byte kept and escaped for people) and
// the S/MIME rules on what was signed and by which chain.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/text.h"
#include "smime/certificate_facts.h"
#include "smime/certificate_names.h"
#include "smime/der_reader.h"
#include "smime/smime_policy.h"
#include "support/test_certificates.h"

namespace tp {
namespace {

using testing::MakeCertificateDer;
using testing::TestCertificate;

TestCertificate Signer() {
  TestCertificate signer;
  signer.issuerName = "Kestrel Test Intermediate";
  signer.sanEmails = {"alerts@kestrelbank.example"};
  signer.extendedKeyUsage = std::vector<std::string>{testing::kOidEmail};
  signer.keyUsage = 0xA0;  // digitalSignature, keyEncipherment
  return signer;
}

TestCertificate Authority(const std::string& name, const std::string& issuer) {
  TestCertificate authority;
  authority.commonName = name;
  authority.issuerName = issuer;
  authority.keyUsage = 0x06;  // keyCertSign, cRLSign
  return authority;
}

TEST(DerReaderTest, ObjectIdentifiersAndMalformedEncodings) {
  EXPECT_EQ(der::ObjectIdentifierText(testing::OidDer("1.2.840.113549.1.1.11").substr(2)),
            "1.2.840.113549.1.1.11");
  EXPECT_EQ(der::ObjectIdentifierText(testing::OidDer("2.999.3").substr(2)), "2.999.3");
  EXPECT_EQ(der::ObjectIdentifierText(std::string("\x2A\x80\x01", 3)), "");    // a padded arc
  EXPECT_EQ(der::ObjectIdentifierText(std::string("\x2A\x86", 2)), "");        // an unended arc
  EXPECT_EQ(der::ObjectIdentifierText(std::string(12, '\xFF') + "\x01"), "");  // too large
  EXPECT_EQ(der::ObjectIdentifierText(""), "");

  struct Case {
    const char* name;
    std::string bytes;
  };
  const Case malformed[] = {
      {"length beyond the data", std::string("\x30\x05\x01\x01", 4)},
      {"indefinite length", std::string("\x30\x80\x00\x00", 4)},
      {"high tag number", std::string("\x1F\x01\x00", 3)},
      {"five length bytes", std::string("\x04\x85\x00\x00\x00\x00\x01", 7)},
      {"long length beyond the data", std::string("\x04\x84\xFF\xFF\xFF\xFF", 6)},
      {"one byte", std::string("\x30", 1)},
  };
  for (const Case& c : malformed) {
    SCOPED_TRACE(c.name);
    der::Reader reader(c.bytes);
    EXPECT_FALSE(reader.Next().has_value());
    EXPECT_TRUE(reader.AtEnd());
  }
  EXPECT_FALSE(der::ReadSingle(std::string("\x05\x00\x05\x00", 4), 0x05).has_value());
}

TEST(CertificateFactsTest, ReadsWhatTheRulesNeed) {
  TestCertificate signer = Signer();
  signer.subjectEmail = "statements@kestrelbank.example";
  const auto facts = ReadCertificateFacts(MakeCertificateDer(signer));
  ASSERT_TRUE(facts.has_value());
  EXPECT_EQ(facts->subject,
            L"E=statements@kestrelbank.example, CN=Kestrel Bank Alerts, O=Tidepost tests");
  EXPECT_EQ(facts->emailAddresses, (std::vector<std::wstring>{L"alerts@kestrelbank.example",
                                                              L"statements@kestrelbank.example"}));
  EXPECT_FALSE(facts->selfIssued);
  EXPECT_EQ(facts->signatureAlgorithm, testing::kOidSha256WithRsa);
  EXPECT_EQ(facts->rsaModulusBits, 2048u);
  EXPECT_EQ(facts->extendedKeyUsage, std::vector<std::string>{testing::kOidEmail});
  EXPECT_EQ(facts->keyUsage, 0xA0u);
  EXPECT_FALSE(facts->extensionRepeated);

  const auto root = ReadCertificateFacts(MakeCertificateDer(Authority("Root", "")));
  ASSERT_TRUE(root.has_value());
  EXPECT_TRUE(root->selfIssued);
  EXPECT_FALSE(root->extendedKeyUsage.has_value());

  TestCertificate pss = Signer();
  pss.signatureAlgorithm = testing::kOidRsaPss;
  pss.signatureParameters = testing::Tlv(0x30, "");  // every parameter at its default: SHA-1
  EXPECT_EQ(ReadCertificateFacts(MakeCertificateDer(pss))->signatureDigest, "1.3.14.3.2.26");
  pss.signatureParameters = testing::Tlv(
      0x30, testing::Tlv(0xA0, testing::Tlv(0x30, testing::OidDer("2.16.840.1.101.3.4.2.1"))));
  EXPECT_EQ(ReadCertificateFacts(MakeCertificateDer(pss))->signatureDigest,
            "2.16.840.1.101.3.4.2.1");

  TestCertificate small = Signer();
  small.rsaBits = 1024;
  EXPECT_EQ(ReadCertificateFacts(MakeCertificateDer(small))->rsaModulusBits, 1024u);
}

TEST(CertificateFactsTest, NothingButAWholeCertificateIsRead) {
  const std::string der = MakeCertificateDer(Signer());
  // Every truncation, and anything after the certificate.
  for (size_t length = 0; length < der.size(); ++length)
    ASSERT_FALSE(ReadCertificateFacts(der.substr(0, length)).has_value()) << length;
  EXPECT_FALSE(ReadCertificateFacts(der + '\0').has_value());
  EXPECT_FALSE(ReadCertificateFacts("not a certificate at all").has_value());
}

TEST(CertificateNamesTest, EveryByteIsKeptAndShownEscaped) {
  struct Case {
    const char* name;
    std::string address;   // an rfc822Name (IA5String)
    const wchar_t* shown;  // escaped for a diagnostic line
  };
  const Case cases[] = {
      {"a zero byte", std::string("alerts@kestrelbank.example\0.evil.example", 40),
       L"alerts@kestrelbank.example\\x00.evil.example"},
      {"a line break", "a@b.example\r\nX-Injected: yes", L"a@b.example\\x0d\\x0aX-Injected: yes"},
      {"an eighth bit", "caf\xE9@b.example", L"caf\\xe9@b.example"},
      {"a backslash", "a\\x00@b.example", L"a\\\\x00@b.example"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    TestCertificate certificate = Signer();
    certificate.sanEmails = {c.address};
    const auto facts = ReadCertificateFacts(MakeCertificateDer(certificate));
    ASSERT_TRUE(facts.has_value());
    ASSERT_EQ(facts->emailAddresses.size(), 1u);
    EXPECT_EQ(facts->emailAddresses[0].size(), c.address.size());
    EXPECT_EQ(EscapeForDiagnostics(facts->emailAddresses[0]), c.shown);
  }

  struct Text {
    uint8_t tag;
    std::string bytes;
    const wchar_t* shown;
  };
  const Text texts[] = {
      {der::kUtf8String, "Caf\xC3\xA9", L"Caf\u00e9"},
      {der::kUtf8String, "bad \xC3( \xED\xA0\x80", L"bad \\xc3( \\xed\\xa0\\x80"},
      {der::kUtf8String, "right\xE2\x80\xAEtxt.exe", L"right\\u202etxt.exe"},
      {der::kBmpString, std::string("\x00K\xD8\x3D\xDE\x00\xDC\x00", 8), L"K\U0001F600\\xdc\\x00"},
      {der::kUniversalString, std::string("\x00\x00\x00K\x00\x11\x00\x00", 8),
       L"K\\x00\\x11\\x00\\x00"},
      {der::kTeletexString, "Z\xFCrich", L"Z\u00fcrich"},
      {der::kOctetString, "\x01\xAB", L"#01ab"},
  };
  for (const Text& t : texts) {
    SCOPED_TRACE(WideToUtf8(t.shown));
    EXPECT_EQ(EscapeForDiagnostics(DirectoryStringText(t.tag, t.bytes)), t.shown);
  }
}

TEST(CertificateNamesTest, NamesAreWrittenMostSpecificFirstAndQuotedWhereTheyCouldMislead) {
  EXPECT_EQ(DistinguishedNameText(testing::NameDer({{"2.5.4.6", "DE"},
                                                    {"2.5.4.10", "Kestrel, Bank"},
                                                    {"2.5.4.3", "Say \"hi\""},
                                                    {"1.2.3.4", "x"}})
                                      .substr(2)),
            L"1.2.3.4=x, CN=\"Say \"\"hi\"\"\", O=\"Kestrel, Bank\", C=DE");
  EXPECT_EQ(DistinguishedNameText(std::string("\x31\x02\x30\x00", 4)), L"");
}

TEST(SmimePolicyTest, SignedDataWithABrokenDigestOrAMismatchedContentTypeIsRefused) {
  const std::string data = "1.2.840.113549.1.7.1";
  struct Case {
    const char* name;
    host::SignerInfo signer;
    const wchar_t* refusal;
  };
  const Case cases[] = {
      {"SHA-256", {"2.16.840.1.101.3.4.2.1", "1.2.840.113549.1.1.1", data, true, {data}}, L""},
      {"SHA-1 still verifies mail",
       {"1.3.14.3.2.26", "1.2.840.113549.1.1.1", data, true, {data}},
       L""},
      {"no signed attributes",
       {"2.16.840.1.101.3.4.2.1", "1.2.840.113549.1.1.1", data, false, {}},
       L""},
      {"an MD5 digest",
       {"1.2.840.113549.2.5", "1.2.840.113549.1.1.1", data, true, {data}},
       L"it is signed with MD5, which is broken"},
      {"an MD5 signature algorithm",
       {"2.16.840.1.101.3.4.2.1", "1.2.840.113549.1.1.4", data, true, {data}},
       L"it is signed with MD5, which is broken"},
      {"an MD2 digest",
       {"1.2.840.113549.2.2", "1.2.840.113549.1.1.1", data, false, {}},
       L"it is signed with MD2, which is broken"},
      {"no content type",
       {"2.16.840.1.101.3.4.2.1", "1.2.840.113549.1.1.1", data, true, {}},
       L"its signed attributes name no content type"},
      {"two content types",
       {"2.16.840.1.101.3.4.2.1", "1.2.840.113549.1.1.1", data, true, {data, data}},
       L"its signed attributes name more than one content type"},
      {"another content type",
       {"2.16.840.1.101.3.4.2.1", "1.2.840.113549.1.1.1", data, true, {"1.2.840.113549.1.7.2"}},
       L"its signed content type 1.2.840.113549.1.7.2 is not its content's type "
       L"1.2.840.113549.1.7.1"},
      {"an unreadable content type",
       {"2.16.840.1.101.3.4.2.1", "1.2.840.113549.1.1.1", data, true, {""}},
       L"its signed content type cannot be read"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(RefusalOfSignedData(c.signer), c.refusal);
  }
}

struct ChainCase {
  const char* name;
  std::vector<TestCertificate> certificates;  // the signer's first
  const wchar_t* refusal;
  std::optional<std::vector<std::string>> rootTrustedPurposes = std::nullopt;
};

host::ChainReport Chain(const ChainCase& c) {
  host::ChainReport chain;
  for (const TestCertificate& certificate : c.certificates)
    chain.certificates.push_back({MakeCertificateDer(certificate), std::nullopt});
  chain.certificates.back().trustedPurposes = c.rootTrustedPurposes;
  return chain;
}

TEST(SmimePolicyTest, TheSignerMustBeForSigningMailAndItsChainMayVouchForThat) {
  const TestCertificate intermediate = Authority("Kestrel Test Intermediate", "Kestrel Test Root");
  const TestCertificate root = Authority("Kestrel Test Root", "");
  auto with = [&](auto change, TestCertificate certificate) {
    change(certificate);
    return certificate;
  };
  const std::vector<ChainCase> cases = {
      {"an e-mail signer", {Signer(), intermediate, root}, L""},
      {"no purposes named",
       {with([](auto& s) { s.extendedKeyUsage.reset(); }, Signer()), root},
       L""},
      {"e-mail among others",
       {with(
            [](auto& s) {
              s.extendedKeyUsage = {{testing::kOidServerAuth, testing::kOidEmail}};
            },
            Signer()),
        root},
       L""},
      {"non-repudiation only", {with([](auto& s) { s.keyUsage = 0x40; }, Signer()), root}, L""},
      {"a server certificate",
       {with([](auto& s) { s.extendedKeyUsage = {{testing::kOidServerAuth}}; }, Signer()), root},
       L"the signer's certificate is not for e-mail protection (extended key usage)"},
      {"any purpose alone",
       {with([](auto& s) { s.extendedKeyUsage = {{testing::kOidAnyPurpose}}; }, Signer()), root},
       L"the signer's certificate is not for e-mail protection (extended key usage)"},
      {"a key for encryption only",
       {with([](auto& s) { s.keyUsage = 0x20; }, Signer()), root},
       L"the signer's certificate allows neither digital signatures nor non-repudiation (key "
       L"usage)"},
      {"an intermediate for servers",
       {Signer(),
        with([](auto& s) { s.extendedKeyUsage = {{testing::kOidServerAuth}}; }, intermediate),
        root},
       L"CN=Kestrel Test Intermediate, O=Tidepost tests may not vouch for e-mail protection "
       L"(extended key usage)"},
      {"an intermediate for any purpose only",
       {Signer(),
        with([](auto& s) { s.extendedKeyUsage = {{testing::kOidAnyPurpose}}; }, intermediate),
        root},
       L"CN=Kestrel Test Intermediate, O=Tidepost tests may not vouch for e-mail protection "
       L"(extended key usage)"},
      {"a root whose own extension names servers",
       {Signer(), with([](auto& s) { s.extendedKeyUsage = {{testing::kOidServerAuth}}; }, root)},
       L"CN=Kestrel Test Root, O=Tidepost tests may not vouch for e-mail protection (extended "
       L"key usage)"},
      {"a root the machine trusts for servers only",
       {Signer(), root},
       L"CN=Kestrel Test Root, O=Tidepost tests is trusted here for other purposes only",
       std::vector<std::string>{testing::kOidServerAuth}},
      {"a root the machine trusts for no purpose",
       {Signer(), root},
       L"CN=Kestrel Test Root, O=Tidepost tests is trusted here for other purposes only",
       std::vector<std::string>{}},
      {"a root the machine trusts for e-mail",
       {Signer(), root},
       L"",
       std::vector<std::string>{testing::kOidEmail}},
      {"a repeated extension",
       {with([](auto& s) { s.repeatExtendedKeyUsage = true; }, Signer()), root},
       L"CN=Kestrel Bank Alerts, O=Tidepost tests repeats an extension"},
  };
  for (const ChainCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(RefusalOfChain(Chain(c)), c.refusal);
  }
}

TEST(SmimePolicyTest, BrokenOrWeakCryptographyInTheChainIsRefused) {
  const TestCertificate root = Authority("Kestrel Test Root", "");
  const TestCertificate intermediate = Authority("Kestrel Test Intermediate", "Kestrel Test Root");
  auto with = [&](auto change, TestCertificate certificate) {
    change(certificate);
    return certificate;
  };
  auto signedWith = [](const char* algorithm) {
    return [algorithm](TestCertificate& c) { c.signatureAlgorithm = algorithm; };
  };
  auto bits = [](uint32_t count) { return [count](TestCertificate& c) { c.rsaBits = count; }; };
  const std::vector<ChainCase> cases = {
      {"a root signed with SHA-1",
       {Signer(), with(signedWith(testing::kOidSha1WithRsa), root)},
       L""},
      {"an intermediate signed with SHA-1",
       {Signer(), with(signedWith(testing::kOidSha1WithRsa), intermediate), root},
       L"CN=Kestrel Test Intermediate, O=Tidepost tests is signed with SHA-1 below its root"},
      {"a signer signed with SHA-1 and no root in the chain",
       {with(signedWith(testing::kOidSha1WithRsa), Signer()), intermediate},
       L"CN=Kestrel Bank Alerts, O=Tidepost tests is signed with SHA-1 below its root"},
      {"a signer signed with RSASSA-PSS over SHA-1",
       {with(
            [](TestCertificate& c) {
              c.signatureAlgorithm = testing::kOidRsaPss;
              c.signatureParameters = testing::Tlv(0x30, "");
            },
            Signer()),
        root},
       L"CN=Kestrel Bank Alerts, O=Tidepost tests is signed with SHA-1 below its root"},
      {"a root signed with MD5",
       {Signer(), with(signedWith(testing::kOidMd5WithRsa), root)},
       L"CN=Kestrel Test Root, O=Tidepost tests is signed with MD5, which is broken"},
      {"a signer signed with MD5",
       {with(signedWith(testing::kOidMd5WithRsa), Signer()), root},
       L"CN=Kestrel Bank Alerts, O=Tidepost tests is signed with MD5, which is broken"},
      {"a signer of 1024 bits",
       {with(bits(1024), Signer()), root},
       L"CN=Kestrel Bank Alerts, O=Tidepost tests has an RSA key of 1024 bits, fewer than 2048"},
      {"an intermediate of 2047 bits",
       {Signer(), with(bits(2047), intermediate), root},
       L"CN=Kestrel Test Intermediate, O=Tidepost tests has an RSA key of 2047 bits, fewer than "
       L"2048"},
      {"a root of 512 bits",
       {Signer(), with(bits(512), root)},
       L"CN=Kestrel Test Root, O=Tidepost tests has an RSA key of 512 bits, fewer than 2048"},
      {"keys of 4096 bits", {with(bits(4096), Signer()), with(bits(4096), root)}, L""},
      {"an elliptic-curve key is not measured against RSA's",
       {with([](TestCertificate& c) { c.keyAlgorithm = testing::kOidEcPublicKey; }, Signer()),
        root},
       L""},
  };
  for (const ChainCase& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(RefusalOfChain(Chain(c)), c.refusal);
  }
  host::ChainReport unreadable;
  unreadable.certificates = {{MakeCertificateDer(Signer()), std::nullopt}, {"junk", std::nullopt}};
  EXPECT_EQ(RefusalOfChain(unreadable), L"a certificate of its chain cannot be read");
}

}  // namespace
}  // namespace tp
