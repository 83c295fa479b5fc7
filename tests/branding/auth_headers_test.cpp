// The provider analysers on transport header blocks as each provider writes them.
#include "branding/auth_headers.h"

#include <gtest/gtest.h>

#include <string>

namespace tp {
namespace {

const std::wstring kGmail = L"@gmail.com";
const std::wstring kHotmail = L"@hotmail.com";
const std::wstring kYahoo = L"@yahoo.com";
const std::wstring kAol = L"@aol.com";

// A header block: a first line that no analyser reads, then the given lines.
std::wstring Block(const std::wstring& lines) {
  return L"Received: from relay.example (192.0.2.1) by mx.example\r\n" + lines;
}

void ExpectVerdict(const AuthHeaderResult& result, const std::wstring& spf,
                   const std::wstring& spfDomain, const std::wstring& dkim,
                   const std::wstring& dkimDomain) {
  EXPECT_EQ(result.spfResult, spf);
  EXPECT_EQ(result.spfDomain, spfDomain);
  EXPECT_EQ(result.dkimResult, dkim);
  EXPECT_EQ(result.dkimDomain, dkimDomain);
}

TEST(HeaderValueTest, FirstOccurrenceByNameInAnyCaseUnfoldedAndTrimmed) {
  const std::wstring block = Block(
      L"X-Test: first\r\n"
      L"x-test: second\r\n"
      L"Folded: one\r\n"
      L"\ttwo\r\n"
      L" three\r\n"
      L"Next: x\r\n");
  EXPECT_EQ(GetHeaderValue(block, L"X-TEST"), L"first");
  // The line feeds of the folds become spaces; their carriage returns stay.
  EXPECT_EQ(GetHeaderValue(block, L"Folded"), L"one\r \ttwo\r  three");
  EXPECT_EQ(GetHeaderValue(block, L"Missing"), L"");
}

TEST(HeaderValueTest, FirstLineAndNamesWithoutTheirColonAreNotFound) {
  EXPECT_EQ(GetHeaderValue(L"Authentication-Results: top\r\n", L"Authentication-Results"), L"");
  EXPECT_EQ(GetHeaderValue(Block(L"Received-SPF : pass\r\n"), L"Received-SPF"), L"");
  EXPECT_EQ(GetHeaderValue(Block(L"Last: no line end"), L"Last"), L"no line end");
}

TEST(GmailTest, PassingSpfAndDkimFromGooglesServer) {
  const auto result = AnalyzeAuthHeaders(
      kGmail, Block(L"Authentication-Results: mx.google.com;\r\n"
                    L"       spf=pass (google.com: domain of bounce@mail.acme.example designates "
                    L"192.0.2.7 as permitted sender) smtp.mailfrom=bounce@mail.acme.example;\r\n"
                    L"       dkim=pass header.i=@acme.example\r\n"));
  ExpectVerdict(result, L"pass", L"mail.acme.example", L"pass", L"acme.example");
}

TEST(GmailTest, ServerOutsideGoogleGivesNothing) {
  const auto result = AnalyzeAuthHeaders(
      kGmail, Block(L"Authentication-Results: mx.google.com.evil.example; dkim=pass "
                    L"header.i=@acme.example\r\n"));
  ExpectVerdict(result, L"", L"", L"", L"");
}

TEST(GmailTest, TheLastDkimPartWinsAndCaseIsIgnored) {
  const auto result = AnalyzeAuthHeaders(
      kGmail, Block(L"Authentication-Results: MX.Google.COM; DKIM=fail header.i=@first.example;"
                    L" domainkeys=PASS Header.From=news@second.example\r\n"));
  ExpectVerdict(result, L"", L"", L"pass", L"second.example");
}

TEST(HotmailTest, SpfOverridesSenderIdAndDkimIsRead) {
  const auto result = AnalyzeAuthHeaders(
      kHotmail,
      Block(L"Authentication-Results: hotmail.com; sender-id=pass header.sender=news@sid.example;"
            L" spf=pass (sender IP is 192.0.2.9) smtp.mailfrom=bounce@acme.example;"
            L" dkim=pass (signature was verified) header.d=acme.example; x-hmca=pass\r\n"));
  ExpectVerdict(result, L"pass", L"acme.example", L"pass", L"acme.example");
}

TEST(HotmailTest, AFoldedHeaderReadsAsOneLine) {
  const auto result = AnalyzeAuthHeaders(
      kHotmail, Block(L"Authentication-Results: hotmail.com; spf=pass (sender IP is 192.0.2.9)\r\n"
                      L" smtp.mailfrom=orders@acme.example; dkim=none (message not signed)\r\n"
                      L" header.d=none\r\n"));
  ExpectVerdict(result, L"pass", L"acme.example", L"", L"none");
}

TEST(HotmailTest, AuthResultHeaderStandsInForAMissingDkimVerdict) {
  const std::wstring auth =
      L"Authentication-Results: hotmail.com; spf=softfail smtp.mailfrom=x@acme.example;"
      L" dkim=none header.d=acme.example\r\n";
  ExpectVerdict(AnalyzeAuthHeaders(kHotmail, Block(auth + L"X-AUTH-Result: PASS\r\n")), L"softfail",
                L"acme.example", L"pass", L"acme.example");
  ExpectVerdict(AnalyzeAuthHeaders(kHotmail, Block(auth)), L"softfail", L"acme.example", L"",
                L"acme.example");
}

TEST(HotmailTest, EveryMarkerOfTheFamilyUsesTheHotmailGate) {
  const std::wstring block =
      Block(L"Authentication-Results: hotmail.com; dkim=pass header.d=acme.example\r\n");
  for (const wchar_t* marker :
       {L"@hotmail.com", L"@hotmail.co.il", L"@outlook.com", L"@live.com"}) {
    EXPECT_EQ(AnalyzeAuthHeaders(marker, block).dkimResult, L"pass") << marker;
  }
  EXPECT_EQ(AnalyzeAuthHeaders(kHotmail, Block(L"Authentication-Results: outlook.com; dkim=pass"
                                               L" header.d=acme.example\r\n"))
                .dkimResult,
            L"");
}

TEST(YahooTest, DomainKeysStandsInForANonPassingDkim) {
  const auto result = AnalyzeAuthHeaders(
      kYahoo, Block(L"Authentication-Results: mta1003.mail.bf1.yahoo.com  from=acme.example;"
                    L" dkim=neutral (no sig);  from=keys.example; domainkeys=pass (ok)\r\n"
                    L"Received-SPF: pass (domain of acme.example designates 192.0.2.3 as "
                    L"permitted sender)\r\n"));
  ExpectVerdict(result, L"pass", L"acme.example", L"pass", L"keys.example");
}

TEST(YahooTest, WithoutAYahooServerNothingIsRead) {
  const auto result = AnalyzeAuthHeaders(
      L"@ymail.com",
      Block(L"Authentication-Results: mta.example.com from=acme.example; dkim=pass\r\n"
            L"Received-SPF: pass (domain of acme.example designates x)\r\n"));
  ExpectVerdict(result, L"", L"", L"", L"");
}

TEST(AolTest, ReadsItsOwnTwoHeaders) {
  const auto result = AnalyzeAuthHeaders(
      kAol, Block(L"X-AOL-SCOLL-AUTHENTICATION: mail_rly_antispam_dkim-m230.1 ; domain : "
                  L"Acme.Example DKIM : PASS\r\n"
                  L"X-AOL-SPF: domain : bounce.acme.example SPF : pass\r\n"));
  ExpectVerdict(result, L"pass", L"bounce.acme.example", L"pass", L"acme.example");
}

TEST(AnalyzerChainTest, UnknownMarkersAndHostileBlocksGiveEmptyVerdicts) {
  const std::wstring gmailBlock = Block(
      L"Authentication-Results: mx.google.com; dkim=pass "
      L"header.i=@acme.example\r\n");
  ExpectVerdict(AnalyzeAuthHeaders(L"@example.com", gmailBlock), L"", L"", L"", L"");
  ExpectVerdict(AnalyzeAuthHeaders(L"", gmailBlock), L"", L"", L"", L"");

  // A megabyte-long header value, and one full of binary characters.
  const std::wstring huge = Block(L"Authentication-Results: mx.google.com; dkim=pass header.i=@" +
                                  std::wstring(1 << 20, L'a') + L"\r\n");
  ExpectVerdict(AnalyzeAuthHeaders(kGmail, huge), L"", L"", L"", L"");
  std::wstring binary = Block(L"Authentication-Results: ");
  for (int i = 1; i < 0x3000; ++i)
    binary += static_cast<wchar_t>(i % 0xD7FF + 1);
  AnalyzeAuthHeaders(kHotmail, binary);
  AnalyzeAuthHeaders(kYahoo, std::wstring(1 << 20, L';'));
}

}  // namespace
}  // namespace tp
