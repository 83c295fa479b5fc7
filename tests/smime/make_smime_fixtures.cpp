// tp-smime-fixtures DIR: makes the certificates and signed messages of the S/MIME tests in DIR
// (tests/support/smime_cases.h lists the messages and what each must give). Run by ctest
// before the tests that read them, natively and for the Wine tests.
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <string>

#include "signed_mail_factory.h"
#include "support/smime_cases.h"

namespace tp::testing {
namespace {

constexpr char kBrandSender[] = "alerts@kestrelbank.example";

// The signed content: a text and an HTML alternative, as branded mail is written.
constexpr char kStatement[] =
    "Content-Type: multipart/alternative; boundary=\"alt-7f3a\"\r\n"
    "\r\n"
    "--alt-7f3a\r\n"
    "Content-Type: text/plain; charset=utf-8\r\n"
    "Content-Transfer-Encoding: 7bit\r\n"
    "\r\n"
    "Dear customer,\r\n"
    "your statement is ready. Balance: 100.00 EUR.\r\n"
    "--alt-7f3a\r\n"
    "Content-Type: text/html; charset=utf-8\r\n"
    "Content-Transfer-Encoding: 7bit\r\n"
    "\r\n"
    "<html><body><p>Your statement is ready. Balance: <b>100.00 EUR</b>.</p></body></html>\r\n"
    "--alt-7f3a--\r\n";

std::string Altered(std::string text) {
  const size_t at = text.find("100.00");
  text.replace(at, 6, "900.00");
  return text;
}

std::string Headers(const std::string& from, const std::string& subject) {
  return "Received: from mail.kestrelbank.example by mail.harborworks.example; "
         "Tue, 1 Dec 2026 09:00:02 +0000\r\n"
         "From: Kestrel Bank <" +
         from +
         ">\r\n"
         "To: Alex Sample <alex.sample@harborworks.example>\r\n"
         "Subject: " +
         subject +
         "\r\n"
         "Date: Tue, 1 Dec 2026 09:00:00 +0000\r\n"
         "Message-ID: <" +
         std::to_string(std::hash<std::string>()(subject)) +
         "@kestrelbank.example>\r\n"
         "MIME-Version: 1.0\r\n";
}

struct Clear {
  std::string boundary = "----=_Part_20261201_Kestrel";
  bool quoted = true;
  std::string signatureName = "smime.p7s";
};

// A clear-signed message: `content` as its first part, `signature` (DER) as its second.
std::string ClearSigned(const std::string& from, const std::string& subject,
                        const std::string& content, const std::string& signature,
                        const Clear& form = {}) {
  const std::string boundary = form.quoted ? "\"" + form.boundary + "\"" : form.boundary;
  return Headers(from, subject) +
         "Content-Type: multipart/signed; protocol=\"application/pkcs7-signature\"; "
         "micalg=sha-256;\r\n\tboundary=" +
         boundary +
         "\r\n"
         "\r\n"
         "This is a cryptographically signed message in MIME format.\r\n"
         "\r\n"
         "--" +
         form.boundary + "\r\n" + content + "\r\n--" + form.boundary +
         "\r\n"
         "Content-Type: application/pkcs7-signature; name=\"" +
         form.signatureName +
         "\"\r\n"
         "Content-Transfer-Encoding: base64\r\n"
         "Content-Disposition: attachment; filename=\"" +
         form.signatureName + "\"\r\n\r\n" + Base64Lines(signature) + "\r\n--" + form.boundary +
         "--\r\n";
}

// What an attacker shows in place of a brand's genuine signed part.
constexpr char kAttackerPart[] =
    "Content-Type: text/html; charset=utf-8\r\n"
    "\r\n"
    "<html><body><p>Your account is locked: <a href=\"http://kestrelbank.example.evil.example/\">"
    "unlock it</a>.</p>[APPointer:res=evil:APPointer]</body></html>\r\n";

// A signature part, ended by the line end before the next delimiter.
std::string SignaturePart(const std::string& signature) {
  return "Content-Type: application/pkcs7-signature; name=\"smime.p7s\"\r\n"
         "Content-Transfer-Encoding: base64\r\n\r\n" +
         Base64Lines(signature);
}

// A multipart/signed message whose Content-Type ends with `parameters` and whose body is
// written as it is: the cutting tricks.
std::string SignedWithBody(const std::string& subject, const std::string& parameters,
                           const std::string& body) {
  return Headers(kBrandSender, subject) +
         "Content-Type: multipart/signed; protocol=\"application/pkcs7-signature\";\r\n"
         "\tmicalg=sha-256; " +
         parameters + "\r\n\r\n" + body;
}

std::string Replaced(std::string text, const std::string& from, const std::string& to) {
  for (size_t at = text.find(from); at != std::string::npos; at = text.find(from, at + to.size()))
    text.replace(at, from.size(), to);
  return text;
}

// An opaque signed message: the signed-data object as its only part.
std::string Opaque(const std::string& subject, const std::string& signedData,
                   const std::string& name = "smime.p7m") {
  return Headers(kBrandSender, subject) +
         "Content-Type: application/pkcs7-mime; smime-type=signed-data; name=\"" + name +
         "\"\r\n"
         "Content-Transfer-Encoding: base64\r\n"
         "Content-Disposition: attachment; filename=\"" +
         name + "\"\r\n\r\n" + Base64Lines(signedData);
}

std::string WithLineFeeds(const std::string& text) {
  std::string out;
  for (const char ch : text) {
    if (ch != '\r')
      out += ch;
  }
  return out;
}

void WriteFile(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream out(path, std::ios::binary);
  out << bytes;
  if (!out)
    throw std::runtime_error("cannot write " + path.string());
}

// Signers whose certificates are not for signing mail, chains that may not vouch for that,
// and broken or weak cryptography in the certificates: each signs the statement.
void AddRefusedCertificates(const Identity& root, const Identity& intermediate,
                            const std::vector<const Identity*>& chain, const std::string& statement,
                            std::map<std::string, std::string>* files) {
  struct Recipe {
    const char* file;
    CertificateProfile profile;
    const Identity* issuer;
  };
  auto profile = [](const char* name, auto change) {
    CertificateProfile made{name, "", {kBrandSender}, false, -1, 30};
    change(made);
    return made;
  };
  const Identity serverIntermediate = MakeIdentity(profile("Tidepost Server Intermediate",
                                                           [](CertificateProfile& p) {
                                                             p.authority = true;
                                                             p.extendedKeyUsage = "serverAuth";
                                                             p.notBeforeDays = -2;
                                                             p.notAfterDays = 3650;
                                                           }),
                                                   &root);
  const Identity sha1Intermediate = MakeIdentity(profile("Tidepost SHA-1 Intermediate",
                                                         [](CertificateProfile& p) {
                                                           p.authority = true;
                                                           p.signatureDigest = EVP_sha1();
                                                           p.notBeforeDays = -2;
                                                           p.notAfterDays = 3650;
                                                         }),
                                                 &root);
  const Recipe recipes[] = {
      {"detached-server-certificate.eml",
       profile("Kestrel Bank Web",
               [](CertificateProfile& p) { p.extendedKeyUsage = "serverAuth"; }),
       &intermediate},
      {"detached-any-purpose-signer.eml",
       profile("Kestrel Bank Any",
               [](CertificateProfile& p) { p.extendedKeyUsage = "anyExtendedKeyUsage"; }),
       &intermediate},
      {"detached-no-extended-key-usage.eml",
       profile("Kestrel Bank Plain", [](CertificateProfile& p) { p.extendedKeyUsage = ""; }),
       &intermediate},
      {"detached-key-encipherment-only.eml",
       profile("Kestrel Bank Cipher",
               [](CertificateProfile& p) { p.keyUsage = "critical,keyEncipherment"; }),
       &intermediate},
      {"detached-non-repudiation-only.eml",
       profile("Kestrel Bank Legal",
               [](CertificateProfile& p) { p.keyUsage = "critical,nonRepudiation"; }),
       &intermediate},
      {"detached-server-intermediate.eml", profile("Kestrel Bank Via Web", [](auto&) {}),
       &serverIntermediate},
      {"detached-md5-certificate.eml",
       profile("Kestrel Bank MD5", [](CertificateProfile& p) { p.signatureDigest = EVP_md5(); }),
       &intermediate},
      {"detached-sha1-intermediate.eml", profile("Kestrel Bank Via SHA-1", [](auto&) {}),
       &sha1Intermediate},
      {"detached-1024-bit-signer.eml",
       profile("Kestrel Bank Short", [](CertificateProfile& p) { p.keyBits = 1024; }),
       &intermediate},
      {"detached-nul-in-address.eml",
       profile("Kestrel Bank Zero",
               [](CertificateProfile& p) {
                 p.sanEmails = {std::string("alerts@kestrelbank.example\0.evil.example", 40)};
               }),
       &intermediate},
  };
  SignOptions detached;
  for (const Recipe& recipe : recipes) {
    const Identity signer = MakeIdentity(recipe.profile, recipe.issuer);
    std::vector<const Identity*> carried = chain;
    if (recipe.issuer != &intermediate)
      carried = {recipe.issuer};
    (*files)[recipe.file] = ClearSigned(kBrandSender, recipe.profile.commonName, statement,
                                        SignContent(signer, carried, statement, detached));
  }
}

// The ways of showing one part while another is verified, and legitimate transport padding.
void AddCutTricks(const std::string& statement, const std::string& signature,
                  std::map<std::string, std::string>* files) {
  const std::string boundary = "----=_Part_20261201_Kestrel";
  const std::string delimiter = "--" + boundary;
  const std::string genuine = statement;
  const std::string attacker = kAttackerPart;
  const std::string signaturePart = SignaturePart(signature);
  const std::string quoted = "boundary=\"" + boundary + "\"";
  const std::string whole = ClearSigned(kBrandSender, "Padded delimiters", statement, signature);
  (*files)["detached-padded-delimiters.eml"] =
      Replaced(Replaced(whole, "\r\n" + delimiter + "\r\n", "\r\n" + delimiter + " \t \r\n"),
               delimiter + "--\r\n", delimiter + "--  \r\n");
  (*files)["detached-genuine-part-in-preamble.eml"] = SignedWithBody(
      "A genuine part in the preamble", quoted,
      delimiter + "X\r\n" + genuine + "\r\n" + delimiter + "\r\n" + attacker + "\r\n" + delimiter +
          "\r\n" + signaturePart + "\r\n" + delimiter + "--\r\n");
  (*files)["detached-third-part.eml"] =
      SignedWithBody("A third part", quoted,
                     delimiter + "\r\n" + genuine + "\r\n" + delimiter + "\r\n" + signaturePart +
                         "\r\n" + delimiter + "\r\n" + attacker + "\r\n" + delimiter + "--\r\n");
  (*files)["detached-repeated-boundary.eml"] =
      SignedWithBody("A repeated boundary", quoted + "; boundary=\"gen\"",
                     "--gen\r\n" + attacker + "\r\n--gen\r\n" + signaturePart + "\r\n--gen--\r\n" +
                         delimiter + "\r\n" + genuine + "\r\n" + delimiter + "\r\n" +
                         signaturePart + "\r\n" + delimiter + "--\r\n");
  (*files)["detached-boundary-in-quoted-parameter.eml"] = SignedWithBody(
      "A boundary inside another parameter", "x-note=\"filed; boundary=gen\"; " + quoted,
      "--gen\r\n" + genuine + "\r\n--gen\r\n" + signaturePart + "\r\n--gen--\r\n" + delimiter +
          "\r\n" + attacker + "\r\n" + delimiter + "\r\n" + signaturePart + "\r\n" + delimiter +
          "--\r\n");
  (*files)["detached-no-closing-delimiter.eml"] =
      SignedWithBody("No closing delimiter", quoted,
                     delimiter + "\r\n" + genuine + "\r\n" + delimiter + "\r\n" + signaturePart +
                         "\r\n\r\n" + attacker);
  (*files)["detached-bare-carriage-return.eml"] =
      SignedWithBody("A delimiter after a carriage return alone", quoted,
                     delimiter + "\r\n" + attacker + "\r" + delimiter + "\r\n" + genuine + "\r\n" +
                         delimiter + "\r\n" + signaturePart + "\r\n" + delimiter + "--\r\n");
}

void MakeFixtures(const std::filesystem::path& dir) {
  const std::string stamp = std::to_string(std::chrono::duration_cast<std::chrono::seconds>(
                                               std::chrono::system_clock::now().time_since_epoch())
                                               .count());
  const Identity root =
      MakeIdentity({"Tidepost Test Root " + stamp, "", {}, true, -2, 3650}, nullptr);
  const Identity intermediate =
      MakeIdentity({"Tidepost Test Intermediate", "", {}, true, -2, 3650}, &root);
  const Identity expiredIntermediate =
      MakeIdentity({"Tidepost Expired Intermediate", "", {}, true, -60, -2}, &root);
  const Identity rogueRoot =
      MakeIdentity({"Tidepost Rogue Root " + stamp, "", {}, true, -2, 3650}, nullptr);
  // Trusted roots that may not vouch for e-mail: by their own extension, and by the trust
  // the machine gives them (OpenSSL's trust settings, a Windows store's property).
  CertificateProfile serverRootProfile{
      "Tidepost Test Root for servers " + stamp, "", {}, true, -2, 3650};
  serverRootProfile.extendedKeyUsage = "serverAuth";
  const Identity serverRoot = MakeIdentity(serverRootProfile, nullptr);
  const Identity restrictedRoot =
      MakeIdentity({"Tidepost Test Root restricted " + stamp, "", {}, true, -2, 3650}, nullptr);

  auto signer = [&](const char* name, std::vector<std::string> emails, const Identity& issuer,
                    long notBefore = -1, long notAfter = 30, std::string subjectEmail = "") {
    return MakeIdentity(
        {name, std::move(subjectEmail), std::move(emails), false, notBefore, notAfter}, &issuer);
  };
  const Identity alerts = signer("Kestrel Bank Alerts", {kBrandSender}, intermediate);
  const Identity news =
      signer("Kestrel Bank News", {"news@mail.kestrelbank.example"}, intermediate);
  const Identity subjectOnly =
      signer("Kestrel Bank Statements", {}, intermediate, -1, 30, kBrandSender);
  const Identity foreign =
      signer("Kestrel Secure",
             {"alerts@kestrelbank-secure.example", "alerts@kestrelbank.example.evil.example",
              "alerts@notkestrelbank.example"},
             intermediate);
  const Identity expired = signer("Kestrel Bank Old", {kBrandSender}, intermediate, -60, -2);
  const Identity early = signer("Kestrel Bank Next", {kBrandSender}, intermediate, 2, 60);
  const Identity rogue = signer("Kestrel Bank Rogue", {kBrandSender}, rogueRoot);
  const Identity orphan = signer("Kestrel Bank Orphan", {kBrandSender}, expiredIntermediate);
  const Identity selfSigned =
      MakeIdentity({"Kestrel Bank Self", "", {kBrandSender}, false, -1, 30}, nullptr);

  const std::vector<const Identity*> chain = {&intermediate};
  SignOptions detached;
  SignOptions opaque;
  opaque.detached = false;
  auto sign = [&](const Identity& who, const std::vector<const Identity*>& with,
                  const std::string& content,
                  SignOptions options) { return SignContent(who, with, content, options); };
  const std::string statement = kStatement;
  const std::string signature = sign(alerts, chain, statement, detached);

  std::map<std::string, std::string> files;
  files["detached-valid.eml"] = ClearSigned(kBrandSender, "Your statement", statement, signature);
  files["opaque-valid.eml"] =
      Opaque("Your statement (opaque)", sign(alerts, chain, statement, opaque));
  files["detached-subdomain-signer.eml"] = ClearSigned(
      "news@mail.kestrelbank.example", "News", statement, sign(news, chain, statement, detached));
  files["detached-subject-email.eml"] =
      ClearSigned(kBrandSender, "Signed by the subject's address", statement,
                  sign(subjectOnly, chain, statement, detached));
  {
    Clear upper;
    upper.boundary = "----=_PART_UPPER_Case";
    upper.signatureName = "SMIME.P7S";
    files["detached-uppercase-names.eml"] =
        ClearSigned(kBrandSender, "Upper case", statement, signature, upper);
  }
  files["opaque-uppercase-name.eml"] =
      Opaque("Upper case (opaque)", sign(alerts, chain, statement, opaque), "SMIME.P7M");
  files["detached-lf-line-ends.eml"] =
      WithLineFeeds(ClearSigned(kBrandSender, "Saved with line feeds", statement, signature));
  {
    Clear token;
    token.boundary = "plain-token-boundary-20261201";
    token.quoted = false;
    files["detached-unquoted-boundary.eml"] =
        ClearSigned(kBrandSender, "Unquoted boundary", statement, signature, token);
  }
  SignOptions noAttributes = detached;
  noAttributes.signedAttributes = false;
  const std::string bare = sign(alerts, chain, statement, noAttributes);
  files["detached-no-signed-attributes.eml"] =
      ClearSigned(kBrandSender, "No signed attributes", statement, bare);
  files["detached-tampered-no-signed-attributes.eml"] =
      ClearSigned(kBrandSender, "Altered, no signed attributes", Altered(statement), bare);
  files["detached-without-intermediate.eml"] = ClearSigned(
      kBrandSender, "Without the intermediate", statement, sign(alerts, {}, statement, detached));
  files["detached-foreign-domain.eml"] = ClearSigned(kBrandSender, "Another domain", statement,
                                                     sign(foreign, chain, statement, detached));
  SignOptions broken = detached;
  broken.breakSignature = true;
  files["detached-bad-signature.eml"] =
      ClearSigned(kBrandSender, "Bad signature", statement, sign(alerts, chain, statement, broken));
  broken.detached = false;
  files["opaque-bad-signature.eml"] =
      Opaque("Bad signature (opaque)", sign(alerts, chain, statement, broken));
  {
    const std::string whole = ClearSigned(kBrandSender, "Truncated", statement, signature);
    files["detached-truncated.eml"] = whole.substr(0, whole.rfind("\r\n--") - 40);
  }
  files["detached-tampered.eml"] =
      ClearSigned(kBrandSender, "Altered", Altered(statement), signature);
  files["opaque-tampered.eml"] =
      Opaque("Altered (opaque)", Altered(sign(alerts, chain, statement, opaque)));
  SignOptions noCertificates = opaque;
  noCertificates.includeCertificates = false;
  files["opaque-without-certificates.eml"] =
      Opaque("No certificates", sign(alerts, chain, statement, noCertificates));
  files["opaque-garbage.eml"] =
      Opaque("Garbage", std::string("\x30\x82\x7f\xff") + " not a signed-data object" +
                            std::string(300, '\xA5'));
  {
    const std::string whole = sign(alerts, chain, statement, opaque);
    files["opaque-truncated.eml"] = Opaque("Truncated (opaque)", whole.substr(0, whole.size() / 2));
  }
  files["detached-expired-signer.eml"] = ClearSigned(kBrandSender, "Expired signer", statement,
                                                     sign(expired, chain, statement, detached));
  files["detached-signer-not-yet-valid.eml"] = ClearSigned(
      kBrandSender, "Signer not yet valid", statement, sign(early, chain, statement, detached));
  files["detached-rogue-root.eml"] = ClearSigned(kBrandSender, "Rogue root", statement,
                                                 sign(rogue, {&rogueRoot}, statement, detached));
  files["detached-self-signed.eml"] = ClearSigned(kBrandSender, "Self-signed", statement,
                                                  sign(selfSigned, {}, statement, detached));
  files["detached-expired-intermediate.eml"] =
      ClearSigned(kBrandSender, "Expired intermediate", statement,
                  sign(orphan, {&expiredIntermediate}, statement, detached));
  files["detached-server-root.eml"] =
      ClearSigned(kBrandSender, "Under a root for servers", statement,
                  sign(signer("Kestrel Bank Server Root", {kBrandSender}, serverRoot),
                       {&serverRoot}, statement, detached));
  files["detached-restricted-root.eml"] =
      ClearSigned(kBrandSender, "Under a root trusted for servers", statement,
                  sign(signer("Kestrel Bank Restricted Root", {kBrandSender}, restrictedRoot),
                       {&restrictedRoot}, statement, detached));
  files["unsigned.eml"] = Headers(kBrandSender, "Not signed") +
                          "Content-Type: text/plain; charset=utf-8\r\n\r\nPlain text.\r\n";

  AddRefusedCertificates(root, intermediate, chain, statement, &files);
  AddCutTricks(statement, signature, &files);
  {
    SignOptions md5 = detached;
    md5.digest = EVP_md5();
    files["detached-md5-digest.eml"] =
        ClearSigned(kBrandSender, "MD5 digest", statement, sign(alerts, chain, statement, md5));
    md5.detached = false;
    files["opaque-md5-digest.eml"] =
        Opaque("MD5 digest (opaque)", sign(alerts, chain, statement, md5));
    SignOptions mismatch = detached;
    mismatch.signedContentType = "1.2.840.113549.1.7.2";  // signed data, not data
    files["detached-content-type-mismatch.eml"] =
        ClearSigned(kBrandSender, "Another signed content type", statement,
                    sign(alerts, chain, statement, mismatch));
    mismatch.detached = false;
    files["opaque-content-type-mismatch.eml"] =
        Opaque("Another signed content type (opaque)", sign(alerts, chain, statement, mismatch));
  }

  for (const SmimeCase& expected : kSmimeCases) {
    if (files.count(expected.file) == 0)
      throw std::runtime_error(std::string("no recipe for ") + expected.file);
  }
  std::filesystem::create_directories(dir);
  for (const auto& [name, bytes] : files)
    WriteFile(dir / name, bytes);
  WriteFile(dir / "trusted-root.pem", CertificatePem(root.certificate.get()));
  WriteFile(dir / "trusted-root.der", CertificateDer(root.certificate.get()));
  WriteFile(dir / "trusted-roots.pem",
            CertificatePem(root.certificate.get()) + CertificatePem(serverRoot.certificate.get()) +
                TrustedCertificatePem(restrictedRoot.certificate.get(), "1.3.6.1.5.5.7.3.1"));
  WriteFile(dir / "server-root.der", CertificateDer(serverRoot.certificate.get()));
  WriteFile(dir / "restricted-root.der", CertificateDer(restrictedRoot.certificate.get()));
}

}  // namespace
}  // namespace tp::testing

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: tp-smime-fixtures DIR\n");
    return 64;
  }
  try {
    tp::testing::MakeFixtures(argv[1]);
  } catch (const std::exception& failure) {
    std::fprintf(stderr, "tp-smime-fixtures: %s\n", failure.what());
    return 1;
  }
  return 0;
}
