// The provider analysers on header blocks laid out as each provider writes them, and on the
// same blocks as an attacker would shape them: every class of attack with several variants
// per provider, and the legitimate blocks that must keep their verdicts.
#include "branding/auth_headers.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "branding/auth_results.h"
#include "branding/header_fields.h"
#include "provider_blocks.h"
#include "support/stack_thread.h"

namespace tp {
namespace {

using testing::AolBlock;
using testing::AolRun;
using testing::Case;
using testing::ExpectCases;
using testing::GmailBlock;
using testing::HotmailBlock;
using testing::kAol;
using testing::kGmail;
using testing::kHotmail;
using testing::kSenderPart;
using testing::kYahoo;
using testing::YahooBlock;

const std::wstring kGmailPass =
    L"mx.google.com;\r\n"
    L"       dkim=pass header.i=@bank.example header.s=s1 header.b=abc;\r\n"
    L"       spf=pass (google.com: domain of b@bank.example designates 192.0.2.7 as permitted "
    L"sender) smtp.mailfrom=b@bank.example;\r\n"
    L"       dmarc=pass (p=REJECT sp=REJECT dis=NONE) header.from=bank.example";

TEST(HeaderFieldsTest, FieldsAreFoundOnAnyLineByNameInAnyCaseUnfoldedAndTrimmed) {
  const std::wstring block =
      L"X-Test: first\r\n"
      L"x-test: second\r\n"
      L"Folded: one\r\n"
      L"\ttwo\r\n"
      L" three\r\n"
      L"Received-SPF : pass\r\n"
      L"Last: no line end";
  EXPECT_EQ(GetHeaderValue(block, L"X-TEST"), L"first");  // the very first line too
  // The line feeds of the folds become spaces; their carriage returns stay.
  EXPECT_EQ(GetHeaderValue(block, L"Folded"), L"one\r \ttwo\r  three");
  EXPECT_EQ(GetHeaderValue(block, L"Received-SPF"), L"");  // the colon must follow the name
  EXPECT_EQ(GetHeaderValue(block, L"Last"), L"no line end");
  EXPECT_EQ(GetHeaderValue(block, L"Missing"), L"");
  // White-space-led lines before the first field continue nothing.
  EXPECT_EQ(GetHeaderValue(L"  stray: x\r\nA: 1\r\n", L"A"), L"1");
  const HeaderBlock fields(block);
  EXPECT_EQ(fields.Value(fields.fields()[2], 2), L"one\r \ttwo");
}

TEST(AuthResultsTest, ClausesAreSplitOnlyOutsideQuotedStringsAndComments) {
  const AuthResults results = ReadAuthResults(
      L"mx.example 1; spf=pass (x; dkim=pass (nested; y) \"q)\" z) smtp.mailfrom=\"a;b "
      L"c\"@d.example;"
      L" foo dkim=pass header.d=fake.example; DKIM/1=Pass reason=\"ok\" header.d=real.example");
  EXPECT_EQ(results.authservId, L"mx.example");
  ASSERT_EQ(results.segments.size(), 4u);
  EXPECT_EQ(results.segments[1].method, L"spf");
  EXPECT_EQ(results.segments[1].Property(L"smtp.mailfrom"), L"a;b c@d.example");
  EXPECT_FALSE(results.segments[2].IsClause());  // does not start with the method
  EXPECT_EQ(results.segments[3].method, L"dkim");
  EXPECT_EQ(results.segments[3].result, L"pass");
  EXPECT_EQ(results.segments[3].Property(L"header.d"), L"real.example");
  EXPECT_EQ(DomainOfIdentity(L"\"x@y\"@Real.Example"), L"real.example");
}

TEST(ProviderLayoutTest, RealBlocksOfEachProviderGiveTheirVerdicts) {
  ExpectCases({
      {"gmail", kGmail, GmailBlock(kGmailPass), L"pass", L"bank.example", L"pass", L"bank.example"},
      {"gmail, old single-line form with smtp.mail", kGmail,
       GmailBlock(L"mx.google.com; spf=pass (google.com: domain of b@bank.example designates "
                  L"192.0.2.7 as permitted sender) smtp.mail=b@bank.example; dkim=pass "
                  L"header.i=@bank.example"),
       L"pass", L"bank.example", L"pass", L"bank.example"},
      {"gmail, domainkeys with header.From", kGmail,
       GmailBlock(L"MX.Google.COM; DKIM=fail header.i=@first.example; domainkeys=PASS "
                  L"Header.From=news@second.example"),
       L"", L"", L"pass", L"second.example"},
      {"hotmail 2012, verdicts on the first lines", kHotmail,
       L"x-store-info:sbevkl2QZR7OXo7WID5ZcVBK1Phj2jX/\r\n"
       L"Authentication-Results: hotmail.com; sender-id=pass (sender IP is 192.0.2.7) "
       L"header.sender=news@bank.example; dkim=pass header.d=bank.example; x-hmca=pass\r\n"
       L"X-SID-PRA: news@bank.example\r\n"
       L"X-AUTH-Result: PASS\r\n"
       L"Received: from out.bank.example ([192.0.2.7]) by BAY0-MC4-F10.Bay0.hotmail.com with "
       L"Microsoft SMTPSVC(6.0.3790.4900);\r\n\t Mon, 27 Aug 2012 19:22:17 -0700\r\n" +
           kSenderPart,
       L"pass", L"bank.example", L"pass", L"bank.example"},
      {"hotmail, spf over sender-id, folded", kHotmail,
       HotmailBlock(L"hotmail.com; sender-id=pass (sender IP is 192.0.2.7)\r\n"
                    L" header.sender=news@sid.example; spf=pass (sender IP is 192.0.2.7)\r\n"
                    L" smtp.mailfrom=bounce@bank.example; dkim=pass (signature was verified)\r\n"
                    L" header.d=bank.example; dmarc=pass action=none header.from=bank.example"),
       L"pass", L"bank.example", L"pass", L"bank.example"},
      {"hotmail, X-AUTH-Result stands in for dkim=none", kHotmail,
       HotmailBlock(L"hotmail.com; spf=none smtp.mailfrom=x@bank.example; dkim=none "
                    L"(signature not checked) header.d=bank.example",
                    kSenderPart, L"PASS"),
       L"none", L"bank.example", L"pass", L"bank.example"},
      {"hotmail, dkim=none and no X-AUTH-Result", kHotmail,
       HotmailBlock(L"hotmail.com; spf=softfail smtp.mailfrom=x@bank.example; dkim=none "
                    L"(message not signed) header.d=none"),
       L"softfail", L"bank.example", L"", L"none"},
      {"yahoo, domainkeys stands in", kYahoo,
       YahooBlock(L"mta1003.mail.bf1.yahoo.com  from=bank.example; domainkeys=pass (ok);  "
                  L"from=bank.example; dkim=neutral (no sig)",
                  L"pass (domain of bank.example designates 192.0.2.7 as permitted sender)"),
       L"pass", L"bank.example", L"pass", L"bank.example"},
      {"yahoo, dkim pass", kYahoo,
       YahooBlock(L"mta1380.mail.ne1.yahoo.com  from=bank.example; domainkeys=neutral (no sig);"
                  L"  from=bank.example; dkim=pass (ok)",
                  L""),
       L"", L"", L"pass", L"bank.example"},
      {"aol, appended run", kAol,
       AolBlock(
           AolRun(L"domain : Bank.Example DKIM : PASS", L"domain : b.bank.example SPF : pass")),
       L"pass", L"b.bank.example", L"pass", L"bank.example"},
  });
}

TEST(AttackTest, QuotedStringsAndCommentsCannotOpenClausesOrNameDomains) {
  ExpectCases({
      {"gmail: envelope local part carrying a dkim clause", kGmail,
       GmailBlock(L"mx.google.com; spf=pass (google.com: domain of \"x; dkim=pass "
                  L"header.i=@bank.example\"@evil.example designates 192.0.2.9 as permitted "
                  L"sender) smtp.mailfrom=\"x; dkim=pass header.i=@bank.example\"@evil.example"),
       L"pass", L"evil.example", L"", L""},
      {"gmail: quoted parenthesis closing the comment early", kGmail,
       GmailBlock(L"mx.google.com; spf=neutral (google.com: domain of \"x) ; dkim=pass "
                  L"header.i=@bank.example (y\"@evil.example is neither permitted nor denied) "
                  L"smtp.mailfrom=\"x) ; dkim=pass header.i=@bank.example (y\"@evil.example"),
       L"neutral", L"evil.example", L"", L""},
      {"gmail: identity in a comment", kGmail,
       GmailBlock(L"mx.google.com; dkim=pass (header.i=@bank.example) header.i=@evil.example"), L"",
       L"", L"pass", L"evil.example"},
      {"gmail: quoted local part holding the brand's domain", kGmail,
       GmailBlock(L"mx.google.com; dkim=pass header.i=\"x@bank.example\"@evil.example"), L"", L"",
       L"pass", L"evil.example"},
      {"gmail: spf domain read from the property, not the comment", kGmail,
       GmailBlock(L"mx.google.com; spf=pass (google.com: domain of b@bank.example designates "
                  L"192.0.2.9 as permitted sender) smtp.mailfrom=b@evil.example"),
       L"pass", L"evil.example", L"", L""},
      {"gmail: method not at the clause's start", kGmail,
       GmailBlock(L"mx.google.com; x-note=\"a\" dkim=pass header.i=@bank.example; spf=fail "
                  L"smtp.mailfrom=b@evil.example"),
       L"fail", L"evil.example", L"", L""},
      {"hotmail: comment carrying a dkim clause", kHotmail,
       HotmailBlock(L"hotmail.com; spf=fail (sender IP is 192.0.2.9; dkim=pass "
                    L"header.d=bank.example) smtp.mailfrom=b@evil.example; dkim=none (message "
                    L"not signed) header.d=none"),
       L"fail", L"evil.example", L"", L"none"},
      {"hotmail: quoted sender carrying a dkim clause", kHotmail,
       HotmailBlock(L"hotmail.com; sender-id=fail header.sender=\"a; dkim=pass "
                    L"header.d=bank.example\"@evil.example; dkim=fail header.d=evil.example"),
       L"fail", L"evil.example", L"fail", L"evil.example"},
      {"hotmail: x-hmca identity carrying a dkim clause", kHotmail,
       HotmailBlock(L"hotmail.com; spf=pass smtp.mailfrom=b@evil.example; x-hmca=pass "
                    L"header.id=\"x; dkim=pass header.d=bank.example\"@evil.example"),
       L"pass", L"evil.example", L"", L""},
      {"yahoo: a from= and a clause inside a comment", kYahoo,
       YahooBlock(L"mta1.mail.ne1.yahoo.com  from=evil.example; domainkeys=neutral (no sig "
                  L"(x;  from=bank.example; dkim=pass (ok)));  from=evil.example; dkim=neutral "
                  L"(no sig)",
                  L""),
       L"", L"", L"neutral", L"evil.example"},
      {"yahoo: quoted from= value", kYahoo,
       YahooBlock(L"mta1.mail.ne1.yahoo.com  from=evil.example; domainkeys=neutral (no sig);  "
                  L"from=\"x; from=bank.example\"; dkim=fail (bad sig)",
                  L""),
       L"", L"", L"neutral", L"evil.example"},
      {"yahoo: Received-SPF comment not in Yahoo's form", kYahoo,
       YahooBlock(L"", L"pass (best guess record for domain of bank.example designates 192.0.2.9)"),
       L"", L"", L"", L""},
      {"aol: a later match inside AOL's value", kAol,
       AolBlock(AolRun(L"domain : evil.example DKIM : fail (domain : bank.example DKIM : pass)",
                       L"domain : evil.example SPF : softfail")),
       L"softfail", L"evil.example", L"fail", L"evil.example"},
  });
}

// A sender's own verdict fields, written below the provider's or where it wrote none.
const std::wstring kForgedGmail =
    L"Authentication-Results: mx.google.com; dkim=pass header.i=@bank.example; spf=pass "
    L"smtp.mailfrom=b@bank.example\r\n";
const std::wstring kForgedHotmail =
    L"Authentication-Results: hotmail.com; spf=pass smtp.mailfrom=b@bank.example; dkim=pass "
    L"header.d=bank.example\r\nX-AUTH-Result: PASS\r\n";
const std::wstring kForgedYahoo =
    L"Received-SPF: pass (domain of bank.example designates 192.0.2.9 as permitted sender)\r\n"
    L"Authentication-Results: mta1.mail.ne1.yahoo.com  from=bank.example; domainkeys=pass "
    L"(ok);  from=bank.example; dkim=pass (ok)\r\n";
const std::wstring kForgedAol =
    L"X-AOL-SCOLL-AUTHENTICATION: mtaiw-aae02.mx.aol.com ; domain : bank.example DKIM : pass\r\n"
    L"X-AOL-SPF: domain : bank.example SPF : pass\r\n";

TEST(AttackTest, VerdictFieldsTheSenderWroteCountForNothing) {
  const std::wstring gmailFail =
      L"mx.google.com; spf=softfail (google.com: domain of transitioning b@evil.example does "
      L"not designate 192.0.2.9 as permitted sender) smtp.mailfrom=b@evil.example";
  const std::wstring hotmailFail =
      L"hotmail.com; spf=fail (sender IP is 192.0.2.9) smtp.mailfrom=b@evil.example; dkim=none "
      L"(message not signed) header.d=none";
  const std::wstring yahooNeutral =
      L"mta1.mail.ne1.yahoo.com  from=evil.example; domainkeys=neutral (no sig);  "
      L"from=evil.example; dkim=neutral (no sig)";
  ExpectCases({
      // Below the provider's own field.
      {"gmail: below Gmail's", kGmail, GmailBlock(gmailFail, kForgedGmail + kSenderPart),
       L"softfail", L"evil.example", L"", L""},
      {"gmail: at the bottom", kGmail, GmailBlock(gmailFail, kSenderPart + kForgedGmail),
       L"softfail", L"evil.example", L"", L""},
      {"hotmail: below Hotmail's", kHotmail,
       HotmailBlock(hotmailFail, kForgedHotmail + kSenderPart), L"fail", L"evil.example", L"",
       L"none"},
      {"yahoo: below Yahoo's", kYahoo, YahooBlock(yahooNeutral, L"", kForgedYahoo + kSenderPart),
       L"", L"", L"neutral", L"evil.example"},
      // A run imitating AOL's refuses AOL's verdicts altogether.
      {"aol: above AOL's run", kAol,
       AolBlock(AolRun(L"domain : evil.example DKIM : fail", L"domain : evil.example SPF : fail"),
                kSenderPart + L"x-aol-global-disposition: G\r\n" + kForgedAol +
                    L"Content-Type: text/plain\r\n"),
       L"", L"", L"", L""},
      // Where the provider wrote none.
      {"gmail: none of Gmail's", kGmail, GmailBlock(L"", kSenderPart + kForgedGmail), L"", L"", L"",
       L""},
      {"hotmail: none of Hotmail's, sender's first", kHotmail,
       HotmailBlock(L"", kForgedHotmail + kSenderPart), L"", L"", L"", L""},
      {"hotmail: none of Hotmail's, at the bottom", kHotmail,
       HotmailBlock(L"", kSenderPart + kForgedHotmail), L"", L"", L"", L""},
      {"yahoo: none of Yahoo's, sender's first", kYahoo,
       YahooBlock(L"", L"", kForgedYahoo + kSenderPart), L"", L"", L"", L""},
      {"aol: no AOL run, sender's right below AOL's trace", kAol,
       AolBlock(L"", kForgedAol + kSenderPart), L"", L"", L"", L""},
      {"aol: no AOL run, sender's mid-part", kAol, AolBlock(L"", kSenderPart + kForgedAol), L"",
       L"", L"", L""},
      // No trace of the provider at all: a block a sender could have written whole.
      {"gmail: no Gmail trace", kGmail,
       L"Received: from a by mx.evil.example; x\r\n" + kForgedGmail, L"", L"", L"", L""},
      {"hotmail: no Hotmail trace", kHotmail, kForgedHotmail + kSenderPart, L"", L"", L"", L""},
      {"yahoo: trace below a foreign hop", kYahoo,
       L"Received: from a by relay.evil.example; x\r\n" + kForgedYahoo +
           L"Received: from b by mta1.mail.ne1.yahoo.com; y\r\n",
       L"", L"", L"", L""},
      {"aol: no AOL trace", kAol, kSenderPart + AolRun(L"domain : bank.example DKIM : pass", L""),
       L"", L"", L"", L""},
  });
}

TEST(AttackTest, AWhiteSpaceLedLineAtTheTopOfTheSenderPartContinuesNothingOfTheProvider) {
  ExpectCases({
      {"gmail: a clause appended to Gmail's last", kGmail,
       GmailBlock(L"mx.google.com;\r\n       spf=fail (google.com: domain of b@evil.example "
                  L"does not designate 192.0.2.9) smtp.mailfrom=b@evil.example",
                  L"       ; dkim=pass header.i=@bank.example\r\n" + kSenderPart),
       L"fail", L"evil.example", L"", L""},
      {"gmail: a tab-led line ending in a semicolon", kGmail,
       GmailBlock(L"mx.google.com; dkim=fail header.i=@evil.example",
                  L"\t;dkim=pass header.i=@bank.example;\r\n\t spf=pass "
                  L"smtp.mailfrom=b@bank.example\r\n" +
                      kSenderPart),
       L"", L"", L"fail", L"evil.example"},
      {"gmail: a property for Gmail's last clause", kGmail,
       GmailBlock(L"mx.google.com; dkim=pass header.i=@evil.example",
                  L" header.d=bank.example\r\n" + kSenderPart),
       L"", L"", L"pass", L"evil.example"},
      {"hotmail: a clause after Hotmail's trace", kHotmail,
       HotmailBlock(L"hotmail.com; dkim=none (message not signed) header.d=none",
                    L" ; dkim=pass header.d=bank.example\r\n" + kSenderPart),
       L"", L"", L"", L"none"},
      {"yahoo: a clause after Yahoo's trace", kYahoo,
       YahooBlock(L"mta1.mail.ne1.yahoo.com  from=evil.example; dkim=neutral (no sig)", L"",
                  L"  from=bank.example; dkim=pass (ok)\r\n" + kSenderPart),
       L"", L"", L"neutral", L"evil.example"},
      {"aol: a verdict after AOL's trace", kAol,
       AolBlock(L"", L" ; domain : bank.example DKIM : pass\r\n" + kSenderPart), L"", L"", L"",
       L""},
  });
  const AuthHeaderResult result = AnalyzeAuthHeaders(
      kGmail, GmailBlock(L"mx.google.com; dkim=fail header.i=@evil.example",
                         L" ; dkim=pass header.i=@bank.example\r\n" + kSenderPart));
  ASSERT_FALSE(result.ignored.empty());
  EXPECT_NE(result.ignored.back().find(L"begins the sender's part"), std::wstring::npos);
}

TEST(AttackTest, TheProviderFieldOnTheFirstLineIsFoundAndALowerOneIgnored) {
  ExpectCases({
      {"gmail", kGmail,
       L"Authentication-Results: mx.google.com; dkim=fail header.i=@bank.example\r\n"
       L"Received: from a (a. [192.0.2.9]) by mx.google.com with ESMTPS id x; date\r\n" +
           kSenderPart + kForgedGmail,
       L"", L"", L"fail", L"bank.example"},
      {"hotmail", kHotmail,
       L"Authentication-Results: hotmail.com; dkim=fail header.d=bank.example\r\n"
       L"Received: from a ([192.0.2.9]) by BAY0-MC4-F10.Bay0.hotmail.com with Microsoft "
       L"SMTPSVC(6.0.3790.4900); date\r\n" +
           kSenderPart + kForgedHotmail,
       L"", L"", L"fail", L"bank.example"},
      {"yahoo", kYahoo,
       L"Authentication-Results: mta1.mail.ne1.yahoo.com  from=bank.example; dkim=fail (bad "
       L"sig)\r\n"
       L"Received: from 127.0.0.1 (EHLO a) (192.0.2.9)\r\n  by mta1.mail.ne1.yahoo.com with "
       L"SMTP; date\r\n" +
           kSenderPart + kForgedYahoo,
       L"", L"", L"fail", L"bank.example"},
      {"aol: its trace on the first line", kAol,
       L"Received: from a (a [192.0.2.9]) by mtaiw-aae02.mx.aol.com with SMTP; date\r\n" +
           kSenderPart + AolRun(L"domain : bank.example DKIM : fail", L"domain : x SPF : none"),
       L"none", L"x", L"fail", L"bank.example"},
  });
}

TEST(WeakEvidenceTest, ABestGuessOrATestingSignatureIsNotAPass) {
  ExpectCases({
      {"gmail: best guess", kGmail,
       GmailBlock(L"mx.google.com; spf=pass (google.com: best guess record for domain of "
                  L"b@bank.example designates 192.0.2.9 as permitted sender) "
                  L"smtp.mailfrom=b@bank.example"),
       L"bestguesspass", L"bank.example", L"", L""},
      {"gmail: best guess, neutral", kGmail,
       GmailBlock(L"mx.google.com; spf=neutral (google.com: 192.0.2.9 is neither permitted nor "
                  L"denied by best guess record for domain of b@bank.example) "
                  L"smtp.mailfrom=b@bank.example"),
       L"neutral", L"bank.example", L"", L""},
      {"gmail: signature in test mode", kGmail,
       GmailBlock(L"mx.google.com; dkim=pass (test mode) header.i=@bank.example"), L"", L"",
       L"test", L"bank.example"},
      {"hotmail: best guess", kHotmail,
       HotmailBlock(L"hotmail.com; spf=pass (best guess record for domain of bank.example) "
                    L"smtp.mailfrom=b@bank.example"),
       L"bestguesspass", L"bank.example", L"", L""},
      {"hotmail: testing mode, X-AUTH-Result does not stand in", kHotmail,
       HotmailBlock(L"hotmail.com; sender-id=none header.from=a@bank.example; dkim=pass "
                    L"(testing mode) header.d=bank.example",
                    kSenderPart, L"PASS"),
       L"", L"", L"test", L"bank.example"},
      {"yahoo: testing mode", kYahoo,
       YahooBlock(L"mta1.mail.ne1.yahoo.com  from=bank.example; dkim=pass (testing mode)", L""),
       L"", L"", L"test", L"bank.example"},
  });
}

TEST(AnalysisTest, EverySignatureThatPassedIsListed) {
  const AuthHeaderResult gmail = AnalyzeAuthHeaders(
      kGmail, GmailBlock(L"mx.google.com; dkim=pass header.i=@bank.example; dkim=pass "
                         L"header.i=@esp.example; dkim=fail header.i=@other.example"));
  EXPECT_EQ(gmail.dkimResult, L"pass");
  EXPECT_EQ(gmail.dkimDomain, L"esp.example");  // the last passing one, as Gmail orders them
  EXPECT_EQ(gmail.dkimPassDomains, (std::vector<std::wstring>{L"bank.example", L"esp.example"}));
  const AuthHeaderResult hotmail = AnalyzeAuthHeaders(
      kHotmail, HotmailBlock(L"hotmail.com; dkim=fail header.d=esp.example; dkim=pass "
                             L"header.d=bank.example"));
  EXPECT_EQ(hotmail.dkimResult, L"pass");
  EXPECT_EQ(hotmail.dkimDomain, L"bank.example");
}

TEST(AnalysisTest, UnknownMarkersAndForeignServersGiveEmptyVerdicts) {
  ExpectCases({
      {"unknown marker", L"@example.com", GmailBlock(kGmailPass), L"", L"", L"", L""},
      {"empty marker", L"", GmailBlock(kGmailPass), L"", L"", L"", L""},
      {"gmail: server outside Google", kGmail,
       GmailBlock(L"mx.google.com.evil.example; dkim=pass header.i=@bank.example"), L"", L"", L"",
       L""},
      {"hotmail: another server", kHotmail,
       HotmailBlock(L"outlook.com; dkim=pass header.d=bank.example"), L"", L"", L"", L""},
      {"yahoo: server outside Yahoo", kYahoo,
       YahooBlock(L"mta.example.com from=bank.example; dkim=pass", L""), L"", L"", L"", L""},
  });
  for (const wchar_t* marker :
       {L"@hotmail.com", L"@hotmail.co.il", L"@outlook.com", L"@live.com"}) {
    EXPECT_EQ(AnalyzeAuthHeaders(marker, HotmailBlock(L"hotmail.com; dkim=pass "
                                                      L"header.d=bank.example"))
                  .dkimResult,
              L"pass")
        << marker;
  }
}

// Header values of up to a megabyte, analysed on a thread with the stack of Outlook's
// user-interface thread: no input may recurse or take more than linear time.
TEST(AnalysisTest, MegabyteValuesAreReadInBoundedStackAndLinearTime) {
  const size_t kMegabyte = 1024 * 1024;
  const std::wstring comment(kMegabyte, L'(');
  const std::wstring quotes(kMegabyte, L'"');
  std::wstring semicolons(kMegabyte, L';');
  std::wstring mixed;
  for (size_t i = 0; mixed.size() < kMegabyte; ++i)
    mixed += (i % 3 == 0) ? L"domain : " : (i % 3 == 1 ? L"x@ \"(;" : L"\r\n by ");
  auto Repeated = [&](const std::wstring& text) {
    std::wstring repeated;
    while (repeated.size() < kMegabyte)
      repeated += text;
    return repeated;
  };
  std::wstring repeatedDomains;
  while (repeatedDomains.size() < kMegabyte / 2)
    repeatedDomains += L"domain:";
  struct Input {
    std::wstring marker;
    std::wstring block;
  };
  const std::vector<Input> inputs = {
      {kGmail, GmailBlock(L"mx.google.com; spf=pass (" + std::wstring(kMegabyte, L'x') +
                          L") smtp.mailfrom=b@bank.example; dkim=pass header.i=@bank.example")},
      {kGmail, GmailBlock(L"mx.google.com; " + comment)},
      {kGmail, GmailBlock(L"mx.google.com; dkim=pass header.i=" + quotes)},
      {kHotmail, HotmailBlock(L"hotmail.com" + semicolons)},
      {kHotmail, HotmailBlock(L"hotmail.com; " + mixed, kSenderPart, mixed)},
      {kYahoo, YahooBlock(L"mta1.mail.ne1.yahoo.com  from=" + mixed, L"pass (domain of " + mixed)},
      {kAol, AolBlock(AolRun(mixed, mixed))},
      {kAol, L"Received: " + mixed + L"\r\n" + std::wstring(kMegabyte, L' ')},
      {kAol, AolBlock(AolRun(L"; domain :" + std::wstring(kMegabyte / 2, L'x') +
                                 std::wstring(kMegabyte / 2, L' ') + L"DKIM",
                             std::wstring(kMegabyte / 16, L'\0') + repeatedDomains +
                                 std::wstring(kMegabyte / 2, L' ') + L"SPF :"))},
      {kGmail, std::wstring(kMegabyte, L'\n')},
      // Tens of thousands of hops: the provider's own chain, hops imitating it below its
      // inbound hop, a greeting folded over every line, and an appended run.
      {kYahoo, Repeated(L"Received: from 10.0.0.1 by atlas1.free.mail.bf1.yahoo.com; d\r\n")},
      {kHotmail, testing::OutlookBlock(L"spf=pass smtp.mailfrom=a.example",
                                       Repeated(L"Received: from a by x.mail.protection.outlook."
                                                L"com; d\r\nAuthentication-Results: x\r\n"))},
      {kYahoo, L"Received: from 192.0.2.1 " + Repeated(L"(EHLO (x\r\n ") + L"by 10.0.0.1\r\n"},
      {kAol, AolBlock(L"x-aol-global-disposition: G\r\n" + Repeated(L"X-AOL-IP: 192.0.2.7\r\n"))},
  };
  std::vector<AuthHeaderResult> results;
  ASSERT_TRUE(testing::RunWithStack(testing::kOutlookUiStackBytes, [&] {
    for (const Input& input : inputs)
      results.push_back(AnalyzeAuthHeaders(input.marker, input.block));
  }));
  ASSERT_EQ(results.size(), inputs.size());
  // The megabyte comment does not hide the clauses after it.
  EXPECT_EQ(results[0].spfResult, L"pass");
  EXPECT_EQ(results[0].dkimDomain, L"bank.example");
  for (size_t i = 1; i < results.size(); ++i)
    EXPECT_TRUE(results[i].dkimPassDomains.empty() || results[i].dkimDomain.empty()) << i;
}

}  // namespace
}  // namespace tp
