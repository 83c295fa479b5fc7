// The providers' layouts of today beside the old ones, and the provider's part as its own
// chain of hops ending at its inbound hop: every legitimate shape keeps its verdicts, and each
// attack is tried beside a legitimate message of the same shape.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "branding/auth_headers.h"
#include "branding/received_hop.h"
#include "provider_blocks.h"

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
using testing::kOutlook;
using testing::kSenderPart;
using testing::kYahoo;
using testing::Outlook2020Block;
using testing::OutlookBlock;
using testing::YahooBlock;
using testing::YahooTodayBlock;

const std::wstring kOutlookPass =
    L"spf=pass (sender IP is 192.0.2.7)\r\n"
    L" smtp.mailfrom=bounce.bank.example; dkim=pass (signature was\r\n"
    L" verified) header.d=bank.example;dmarc=pass action=none\r\n"
    L" header.from=bank.example;compauth=pass reason=100";
const std::wstring kOutlookFail =
    L"spf=fail (sender IP is 192.0.2.9) smtp.mailfrom=evil.example; dkim=none (message not\r\n"
    L" signed) header.d=none;dmarc=fail action=oreject header.from=bank.example;compauth=fail\r\n"
    L" reason=000";
const std::wstring kYahooPass =
    L"atlas210.free.mail.bf1.yahoo.com;\r\n"
    L" dkim=pass header.i=@bank.example header.s=s1 arc_overridden_status=NOT_OVERRIDDEN;\r\n"
    L" spf=pass smtp.mailfrom=bounce.bank.example arc_overridden_status=NOT_OVERRIDDEN;\r\n"
    L" dmarc=pass(p=REJECT) header.from=bank.example arc_overridden_status=NOT_OVERRIDDEN;";
const std::wstring kYahooFail =
    L"atlas210.free.mail.bf1.yahoo.com;\r\n"
    L" dkim=unknown;\r\n"
    L" spf=softfail smtp.mailfrom=evil.example arc_overridden_status=NOT_OVERRIDDEN;\r\n"
    L" dmarc=fail(p=REJECT) header.from=bank.example arc_overridden_status=NOT_OVERRIDDEN;";
const std::wstring kYahooSpf =
    L"pass (domain of bounce.bank.example designates 192.0.2.7 as permitted sender)";
const wchar_t kAolAtlas[] = L"atlas101.aol.mail.bf1.yahoo.com";
const std::wstring kAolPass =
    L"atlas101.aol.mail.bf1.yahoo.com;\r\n"
    L" dkim=pass header.i=@bank.example header.s=s1;\r\n"
    L" spf=pass smtp.mailfrom=bounce.bank.example;\r\n"
    L" dmarc=pass(p=QUARANTINE,sp=QUARANTINE) header.from=bank.example;";
const std::wstring kAolFail =
    L"atlas101.aol.mail.bf1.yahoo.com;\r\n"
    L" dkim=unknown;\r\n"
    L" spf=none smtp.mailfrom=evil.example;\r\n"
    L" dmarc=unknown header.from=bank.example;";
const std::wstring kGmailFail =
    L"mx.google.com;\r\n"
    L"       spf=softfail (google.com: domain of transitioning b@evil.example does not "
    L"designate 192.0.2.9 as permitted sender) smtp.mailfrom=b@evil.example";

// Verdicts and the layout they were read in.
struct LayoutCase {
  const char* name;
  std::wstring marker;
  std::wstring block;
  std::wstring spf, spfDomain, dkim, dkimDomain;
  std::wstring layout;
};

void ExpectLayouts(const std::vector<LayoutCase>& cases) {
  for (const LayoutCase& c : cases) {
    const AuthHeaderResult result = AnalyzeAuthHeaders(c.marker, c.block);
    EXPECT_EQ(result.spfResult, c.spf) << c.name;
    EXPECT_EQ(result.spfDomain, c.spfDomain) << c.name;
    EXPECT_EQ(result.dkimResult, c.dkim) << c.name;
    EXPECT_EQ(result.dkimDomain, c.dkimDomain) << c.name;
    EXPECT_EQ(result.layout, c.layout) << c.name;
  }
}

// The note that names `text`, or an empty string.
std::wstring NoteWith(const AuthHeaderResult& result, const std::wstring& text) {
  for (const std::wstring& note : result.ignored) {
    if (note.find(text) != std::wstring::npos)
      return note;
  }
  return {};
}

TEST(ReceivedHopTest, HostsGreetingsAndAddresses) {
  const struct {
    const wchar_t* value;
    const wchar_t* from;
    const wchar_t* by;
    bool greeting;
  } cases[] = {
      {L"from out.bank.example (out.bank.example. [192.0.2.7])\r\n        by MX.Google.COM. "
       L"with ESMTPS id c3d4; date",
       L"out.bank.example", L"mx.google.com", false},
      {L"by 2002:a05:7300:d10f:b0:11c with SMTP id a1b2; date", L"", L"2002:a05:7300:d10f:b0:11c",
       false},
      {L"from 192.0.2.7 (EHLO out.bank.example)\r\n by 10.197.33.10 with SMTPs (version=TLS1_3)",
       L"192.0.2.7", L"10.197.33.10", true},
      {L"from 127.0.0.1  (HELO x) (192.0.2.7) by mta1.mail.bf1.yahoo.com with SMTP", L"127.0.0.1",
       L"mta1.mail.bf1.yahoo.com", true},
      // A greeting after "by" is not the from clause's.
      {L"from a.example by b.example (EHLO c)", L"a.example", L"b.example", false},
      // Comments nest; "by" inside them is no clause.
      {L"from a (x (by evil.example) y) by\r\n\t host.example. (Postfix, from userid 0)", L"a",
       L"host.example", false},
      // A greeting copied into the from clause that reads as a second "by" clause.
      {L"from 192.0.2.9 (EHLO x) by mta5.mx.aol.com (z) by 10.1.2.3 with SMTP", L"192.0.2.9", L"",
       true},
      {L"from a ; by b.example", L"a", L"", false},
  };
  for (const auto& c : cases) {
    const ReceivedHop hop = ReadReceivedHop(c.value);
    EXPECT_EQ(hop.fromHost, c.from) << c.value;
    EXPECT_EQ(hop.byHost, c.by) << c.value;
    EXPECT_EQ(hop.recordsGreeting, c.greeting) << c.value;
  }
  for (const wchar_t* internal :
       {L"10.1.2.3", L"127.0.0.1", L"172.16.0.1", L"172.31.255.255", L"192.168.1.1", L"[10.0.0.1]",
        L"::1", L"fe80::1", L"[IPv6:fd00::5]", L"fc00::1"}) {
    EXPECT_TRUE(IsAddressLiteral(internal)) << internal;
    EXPECT_TRUE(IsInternalAddress(internal)) << internal;
  }
  for (const wchar_t* outside :
       {L"192.0.2.7", L"172.32.0.1", L"8.8.8.8", L"2603:10b6::27", L"[203.0.113.5]", L"fec0::1",
        L"256.1.1.1", L"10.1.2", L"mail.example", L"10.1.2.3.example"}) {
    EXPECT_FALSE(IsInternalAddress(outside)) << outside;
  }
  EXPECT_FALSE(IsAddressLiteral(L"mail.example"));
  EXPECT_FALSE(IsAddressLiteral(L"256.1.1.1"));
}

TEST(TodaysLayoutsTest, LegitimateMessagesKeepTheirVerdictsAndNameTheirLayout) {
  const std::wstring exchange = L"Outlook.com (Exchange Online)";
  const std::wstring yahoo = L"Yahoo (RFC 8601)";
  const std::wstring aol = L"AOL (RFC 8601, Yahoo's platform)";
  ExpectLayouts({
      {"outlook: DKIM by the brand, folded over four lines", kHotmail, OutlookBlock(kOutlookPass),
       L"pass", L"bounce.bank.example", L"pass", L"bank.example", exchange},
      {"outlook: the brand's and its mailing partner's signatures", kOutlook,
       OutlookBlock(L"spf=pass (sender IP is 192.0.2.7) smtp.mailfrom=esp.example; dkim=pass "
                    L"(signature was verified) header.d=esp.example;dkim=pass (signature was "
                    L"verified) header.d=bank.example;dmarc=pass action=none "
                    L"header.from=bank.example;compauth=pass reason=100"),
       L"pass", L"esp.example", L"pass", L"esp.example", exchange},
      {"outlook: SPF only", kHotmail,
       OutlookBlock(L"spf=pass (sender IP is 192.0.2.7) smtp.mailfrom=bank.example; dkim=none "
                    L"(message not signed) header.d=none;dmarc=bestguesspass action=none "
                    L"header.from=bank.example;compauth=pass reason=109"),
       L"pass", L"bank.example", L"none", L"none", exchange},
      {"outlook 2020: hotmail.com segments between the clauses", kHotmail,
       Outlook2020Block(L"spf=pass (sender IP is 192.0.2.7)\r\n smtp.mailfrom=bank.example; "
                        L"hotmail.com; dkim=pass (signature was verified)\r\n "
                        L"header.d=bank.example;hotmail.com; dmarc=pass action=none\r\n "
                        L"header.from=bank.example;compauth=pass reason=100"),
       L"pass", L"bank.example", L"pass", L"bank.example", exchange},
      {"outlook: the sender's tenant's renamed results and ARC set below", kHotmail,
       OutlookBlock(kOutlookPass,
                    L"ARC-Authentication-Results: i=1; mx.microsoft.com 1; spf=pass\r\n"
                    L" smtp.mailfrom=bank.example; dkim=pass header.d=bank.example; arc=none\r\n"
                    L"Authentication-Results-Original: dkim=none (message not signed)\r\n"
                    L" header.d=none;dmarc=none action=none header.from=bank.example;\r\n" +
                        kSenderPart),
       L"pass", L"bounce.bank.example", L"pass", L"bank.example", exchange},
      {"yahoo: DKIM by the brand", kYahoo, YahooTodayBlock(kYahooPass, kYahooSpf), L"pass",
       L"bounce.bank.example", L"pass", L"bank.example", yahoo},
      {"yahoo: two signatures, the mailing partner's second", kYahoo,
       YahooTodayBlock(L"atlas-production.v2-mail-prod1-gq1.omega.yahoo.com;\r\n"
                       L" dkim=pass header.i=@bank.example header.s=fm2;\r\n"
                       L" dkim=pass header.i=@esp.example header.s=fm2;\r\n"
                       L" spf=pass smtp.mailfrom=esp.example;\r\n"
                       L" dmarc=pass(p=NONE,sp=NONE) header.from=bank.example;",
                       kYahooSpf),
       L"pass", L"esp.example", L"pass", L"bank.example", yahoo},
      {"yahoo: SPF only", kYahoo,
       YahooTodayBlock(L"atlas116.free.mail.bf1.yahoo.com;\r\n dkim=unknown;\r\n spf=pass "
                       L"smtp.mailfrom=bank.example arc_overridden_status=NOT_OVERRIDDEN;\r\n "
                       L"dmarc=unknown header.from=bank.example;",
                       kYahooSpf),
       L"pass", L"bank.example", L"unknown", L"", yahoo},
      {"yahoo: the top hop from the loopback address", kYahoo,
       L"Received: from 127.0.0.1\r\n by atlas-production.v2-mail-prod1-bf1.omega.yahoo.com "
       L"pod-id atlas--production-bf1-f5f869c9-28bqw.bf1.yahoo.com with HTTP; Thu, 25 Jan 2024 "
       L"12:14:01 +0000\r\n"
       L"Authentication-Results: atlas-production.v2-mail-prod1-bf1.omega.yahoo.com;\r\n"
       L" dkim=pass header.i=@bank.example header.s=s1;\r\n spf=none "
       L"smtp.mailfrom=bank.example;\r\n dmarc=unknown header.from=bank.example;\r\n"
       L"Received: from 192.0.2.7 (EHLO out.bank.example)\r\n by 10.197.32.201 with SMTP;\r\n"
       L" Thu, 25 Jan 2024 12:14:01 +0000\r\n" +
           kSenderPart,
       L"none", L"bank.example", L"pass", L"bank.example", yahoo},
      {"aol: AOL's atlas server", kAol,
       YahooTodayBlock(kAolPass, kYahooSpf, kSenderPart, kAolAtlas), L"pass",
       L"bounce.bank.example", L"pass", L"bank.example", aol},
      {"aol: Yahoo's shared atlas server, two signatures", kAol,
       YahooTodayBlock(L"atlas-baseline-production.v2-mail-prod1-gq1.omega.yahoo.com;\r\n"
                       L" dkim=pass header.i=@esp.example header.s=fm2;\r\n"
                       L" dkim=pass header.i=@bank.example header.s=fm2;\r\n"
                       L" spf=pass smtp.mailfrom=esp.example;\r\n"
                       L" dmarc=pass(p=NONE,sp=QUARANTINE) header.from=bank.example;",
                       kYahooSpf, kSenderPart,
                       L"atlas-baseline-production.v2-mail-prod1-gq1.omega.yahoo.com"),
       L"pass", L"esp.example", L"pass", L"esp.example", aol},
      {"gmail: its own ARC set above its inbound hop", kGmail,
       GmailBlock(L"mx.google.com;\r\n       dkim=pass header.i=@bank.example header.s=s1;\r\n"
                  L"       spf=pass (google.com: domain of b@bank.example designates 192.0.2.7 "
                  L"as permitted sender) smtp.mailfrom=b@bank.example",
                  kSenderPart, true),
       L"pass", L"bank.example", L"pass", L"bank.example", L"Gmail (RFC 8601)"},
      {"gmail: header.d beside header.i", kGmail,
       GmailBlock(L"mx.google.com; dkim=pass header.i=@news.bank.example header.d=bank.example"),
       L"", L"", L"pass", L"bank.example", L"Gmail (RFC 8601)"},
  });
  // The list of passing signers holds both, in the provider's order.
  const AuthHeaderResult twoSigners =
      AnalyzeAuthHeaders(kHotmail, OutlookBlock(L"spf=pass smtp.mailfrom=esp.example; dkim=pass "
                                                L"header.d=esp.example;dkim=pass "
                                                L"header.d=bank.example"));
  EXPECT_EQ(twoSigners.dkimPassDomains,
            (std::vector<std::wstring>{L"esp.example", L"bank.example"}));
  EXPECT_TRUE(twoSigners.ignored.empty());
  EXPECT_EQ(twoSigners.inboundLine, 18u);
}

TEST(OldLayoutsTest, StayRecognisedWhereTheProviderWroteThem) {
  ExpectLayouts({
      {"hotmail 2012", kHotmail,
       L"x-store-info:sbevkl2QZR7OXo7WID5ZcVBK1Phj2jX/\r\n"
       L"Authentication-Results: hotmail.com; sender-id=pass (sender IP is 192.0.2.7) "
       L"header.sender=news@bank.example; dkim=pass header.d=bank.example; x-hmca=pass\r\n"
       L"X-AUTH-Result: PASS\r\n"
       L"Received: from out.bank.example ([192.0.2.7]) by BAY0-MC4-F10.Bay0.hotmail.com with "
       L"Microsoft SMTPSVC(6.0.3790.4900);\r\n\t Mon, 27 Aug 2012 19:22:17 -0700\r\n" +
           kSenderPart,
       L"pass", L"bank.example", L"pass", L"bank.example", L"Hotmail (before Exchange Online)"},
      {"yahoo, from= form", kYahoo,
       YahooBlock(L"mta1003.mail.bf1.yahoo.com  from=bank.example; domainkeys=neutral (no sig);  "
                  L"from=bank.example; dkim=pass (ok)",
                  L"pass (domain of bank.example designates 192.0.2.7 as permitted sender)"),
       L"pass", L"bank.example", L"pass", L"bank.example", L"Yahoo (from= form)"},
      {"aol, appended run", kAol,
       AolBlock(AolRun(L"domain : bank.example DKIM : pass", L"domain : bank.example SPF : pass")),
       L"pass", L"bank.example", L"pass", L"bank.example", L"AOL (appended X-AOL fields)"},
  });
}

// The first class: a Received line naming the provider's host inside the sender's
// part, with verdict fields above it, extends nothing; each provider's real verdicts stand.
TEST(ForgedHopTest, AProviderHostNamedBelowTheInboundHopExtendsNothing) {
  const std::wstring outlookForgery =
      L"Authentication-Results: spf=pass (sender IP is 192.0.2.9) smtp.mailfrom=bank.example;\r\n"
      L" dkim=pass (signature was verified) header.d=bank.example;compauth=pass reason=100\r\n"
      L"X-AUTH-Result: PASS\r\n"
      L"Received: from relay.evil.example (192.0.2.9) by\r\n"
      L" CO1PEPF00000AAA.MAIL.PROTECTION.OUTLOOK.COM. (10.1.2.3) with Microsoft SMTP Server\r\n"
      L" id 15.20.1.1 via Frontend Transport; Wed, 1 Apr 2026 14:00:00 +0000\r\n";
  const std::wstring hotmailForgery =
      L"Authentication-Results: hotmail.com; dkim=pass header.d=bank.example\r\n"
      L"X-AUTH-Result: PASS\r\n"
      L"Received: from relay.evil.example ([192.0.2.9]) by\r\n"
      L"\tbay0-mc1-f1.bay0.HOTMAIL.com. with Microsoft SMTPSVC(6.0.3790.4900); date\r\n";
  const std::wstring yahooForgery =
      L"Received-SPF: pass (domain of bank.example designates 192.0.2.9 as permitted sender)\r\n"
      L"Authentication-Results: atlas1.free.mail.bf1.yahoo.com;\r\n"
      L" dkim=pass header.i=@bank.example header.s=s1;\r\n"
      L" spf=pass smtp.mailfrom=bank.example;\r\n"
      L"Received: from 10.1.2.3\r\n by ATLAS1.free.mail.bf1.yahoo.com. with HTTPS; date\r\n"
      L"Received: from 192.0.2.9 (EHLO relay.evil.example)\r\n by 10.1.2.3 with SMTPs; date\r\n";
  const std::wstring aolForgery =
      L"X-AOL-SCOLL-AUTHENTICATION: mail_rly_antispam_dkim-d247.2 ; domain : bank.example "
      L"DKIM : pass\r\n"
      L"X-AOL-SPF: domain : bank.example SPF : pass\r\n"
      L"Received: from relay.evil.example (relay.evil.example [192.0.2.9])\r\n"
      L"\tby MTAIN-AA01.mx.AOL.com. (Internet Inbound) with SMTP id X1; date\r\n";
  const std::wstring gmailForgery =
      L"Received: from relay.evil.example (relay.evil.example. [192.0.2.9])\r\n"
      L"        by MX.GOOGLE.COM. with ESMTPS id x; date\r\n"
      L"Received-SPF: pass (google.com: domain of b@bank.example designates 192.0.2.9 as "
      L"permitted sender) client-ip=192.0.2.9;\r\n"
      L"Authentication-Results: mx.google.com; dkim=pass header.i=@bank.example; spf=pass "
      L"smtp.mailfrom=b@bank.example\r\n";
  ExpectCases({
      // Today's layouts, each beside its legitimate twin of the same shape.
      {"outlook: forged inbound hop", kHotmail,
       OutlookBlock(kOutlookFail, outlookForgery + kSenderPart), L"fail", L"evil.example", L"none",
       L"none"},
      {"outlook: the same shape, legitimate", kHotmail,
       OutlookBlock(kOutlookPass, outlookForgery + kSenderPart), L"pass", L"bounce.bank.example",
       L"pass", L"bank.example"},
      {"outlook: no verdict of Outlook.com's, forged hop", kHotmail,
       OutlookBlock(L"", outlookForgery + kSenderPart), L"", L"", L"", L""},
      {"yahoo: forged atlas and inbound hops", kYahoo,
       YahooTodayBlock(kYahooFail, L"", yahooForgery + kSenderPart), L"softfail", L"evil.example",
       L"unknown", L""},
      {"yahoo: no verdict of Yahoo's, forged hops", kYahoo,
       YahooTodayBlock(L"", L"", yahooForgery + kSenderPart), L"", L"", L"", L""},
      {"aol: forged atlas and inbound hops", kAol,
       YahooTodayBlock(kAolFail, L"", yahooForgery + kSenderPart, kAolAtlas), L"none",
       L"evil.example", L"unknown", L""},
      {"aol: AOL's old fields above a forged AOL exchanger, then an appended run", kAol,
       YahooTodayBlock(kAolFail, L"", aolForgery + kSenderPart, kAolAtlas) +
           AolRun(L"domain : bank.example DKIM : pass", L"domain : bank.example SPF : pass"),
       L"none", L"evil.example", L"unknown", L""},
      {"gmail: forged exchanger with verdicts", kGmail,
       GmailBlock(kGmailFail, gmailForgery + kSenderPart), L"softfail", L"evil.example", L"", L""},
      // Old layouts.
      {"hotmail 2012: X-AUTH-Result above a forged Hotmail hop", kHotmail,
       L"Authentication-Results: hotmail.com; sender-id=none header.sender=a@evil.example; "
       L"dkim=none header.d=evil.example\r\n"
       L"Received: from out.evil.example ([192.0.2.9]) by BAY0-MC4-F10.Bay0.hotmail.com with "
       L"Microsoft SMTPSVC(6.0.3790.4900); date\r\n" +
           hotmailForgery + kSenderPart,
       L"none", L"evil.example", L"", L"evil.example"},
      {"yahoo from= form: forged Yahoo exchanger", kYahoo,
       YahooBlock(
           L"mta1.mail.ne1.yahoo.com  from=evil.example; dkim=neutral (no sig)", L"",
           L"Received-SPF: pass (domain of bank.example designates 192.0.2.9 as "
           L"permitted sender)\r\n"
           L"Authentication-Results: mta5.mail.ne1.yahoo.com  from=bank.example; dkim=pass "
           L"(ok)\r\nReceived: from 127.0.0.1 (EHLO a) (192.0.2.9) by mta5.mail.ne1.yahoo.com "
           L"with SMTP; date\r\n" +
               kSenderPart),
       L"", L"", L"neutral", L"evil.example"},
      {"aol appended layout: sender's fields above a forged exchanger", kAol,
       AolBlock(AolRun(L"domain : evil.example DKIM : fail", L"domain : evil.example SPF : fail"),
                aolForgery + kSenderPart),
       L"", L"", L"", L""},
  });
  const AuthHeaderResult outlook =
      AnalyzeAuthHeaders(kHotmail, OutlookBlock(kOutlookFail, outlookForgery + kSenderPart));
  EXPECT_EQ(NoteWith(outlook, L"Received line 27"),
            L"the Received line 27 names a server of Outlook.com's below Outlook.com's inbound "
            L"hop on line 20: the sender's text, which extends nothing");
  EXPECT_EQ(NoteWith(outlook, L"X-AUTH-Result"), L"");  // never read in today's layout
  EXPECT_NE(NoteWith(outlook, L"Authentication-Results on line 24 lies outside"), L"");
  const AuthHeaderResult aol = AnalyzeAuthHeaders(
      kAol, AolBlock(AolRun(L"domain : evil.example DKIM : fail", L""), aolForgery + kSenderPart));
  EXPECT_NE(NoteWith(aol, L"imitating the verdict fields AOL appends"), L"");
}

// The chain from the top ends at the first hop that took the message from outside: by a
// receiving server, with a recorded greeting, or from a host that is not the provider's.
TEST(ChainTest, OnlyTheProvidersOwnHopsFromTheTopLeadToItsInboundHop) {
  ExpectCases({
      {"a foreign hop on top", kHotmail,
       L"Received: from a.example by relay.evil.example; date\r\n" + OutlookBlock(kOutlookPass),
       L"", L"", L"", L""},
      {"outlook.com: a hop by an address is none of its own", kHotmail,
       L"Received: from a.example by 203.0.113.5; date\r\n" + OutlookBlock(kOutlookPass), L"", L"",
       L"", L""},
      {"yahoo: a hop by an Internet address is none of its own", kYahoo,
       L"Received: from 10.0.0.1 by 203.0.113.5; date\r\n" + YahooTodayBlock(kYahooPass, kYahooSpf),
       L"", L"", L"", L""},
      {"no Received field at all", kYahoo, L"Authentication-Results: " + kYahooPass + L"\r\n", L"",
       L"", L"", L""},
      {"an Outlook.com server taking the message from outside ends the chain", kHotmail,
       L"Received: from relay.evil.example (192.0.2.9) by X1.namprd01.prod.outlook.com with "
       L"Microsoft SMTP Server; date\r\n"
       L"Authentication-Results: spf=pass smtp.mailfrom=bank.example; dkim=pass "
       L"header.d=bank.example\r\n" +
           OutlookBlock(kOutlookFail),
       L"", L"", L"", L""},
      {"a greeting copied into a second by clause", kYahoo,
       L"Received: from 10.1.2.3\r\n by atlas1.free.mail.bf1.yahoo.com with HTTPS; date\r\n"
       L"Authentication-Results: " +
           kYahooPass +
           L"\r\nReceived: from 192.0.2.9 (EHLO x) by mta5.mail.bf1.yahoo.com (y) by 10.1.2.3 "
           L"with SMTPs; date\r\n" +
           kSenderPart,
       L"", L"", L"", L""},
      {"the sender's greeting names the provider: still the inbound hop", kHotmail,
       OutlookBlock(kOutlookFail,
                    L"Authentication-Results: spf=pass smtp.mailfrom=bank.example; dkim=pass "
                    L"header.d=bank.example\r\n" +
                        kSenderPart),
       L"fail", L"evil.example", L"none", L"none"},
  });
  // A sender's greeting that names a server of the provider is still the inbound hop.
  std::wstring greeting = OutlookBlock(L"");
  const std::wstring inbound = L"Received: from out.bank.example (192.0.2.7)";
  greeting.replace(greeting.find(inbound), inbound.size(),
                   L"Received: from x1.namprd01.prod.outlook.com (192.0.2.9)");
  greeting +=
      L"Authentication-Results: spf=pass smtp.mailfrom=bank.example; dkim=pass "
      L"header.d=bank.example\r\n";
  const AuthHeaderResult result = AnalyzeAuthHeaders(kHotmail, greeting);
  EXPECT_EQ(result.dkimResult, L"");
  EXPECT_EQ(result.inboundLine, 17u);
  EXPECT_EQ(NoteWith(AnalyzeAuthHeaders(kGmail, L"Received: by relay.evil.example; x\r\n"),
                     L"Received line 1"),
            L"the Received line 1 is not by a server of Gmail's, and no inbound hop of Gmail's is "
            L"above it, so none of the block's fields is known to be Gmail's");
}

TEST(ExchangeOnlineTest, OnlyTheResultsAboveTheInboundHopCount) {
  ExpectCases({
      {"a sender's results without an authserv-id below", kHotmail,
       OutlookBlock(L"",
                    L"Authentication-Results: spf=pass (sender IP is 192.0.2.9) "
                    L"smtp.mailfrom=bank.example; dkim=pass (signature was verified) "
                    L"header.d=bank.example\r\n" +
                        kSenderPart),
       L"", L"", L"", L""},
      {"renamed results claiming a pass", kHotmail,
       OutlookBlock(kOutlookFail,
                    L"Authentication-Results-Original: dkim=pass (signature was "
                    L"verified) header.d=bank.example; spf=pass "
                    L"smtp.mailfrom=bank.example\r\n" +
                        kSenderPart),
       L"fail", L"evil.example", L"none", L"none"},
      {"a sender's Received-SPF keeps its name but is never read", kHotmail,
       OutlookBlock(kOutlookFail,
                    L"Received-SPF: Pass (protection.outlook.com: domain of "
                    L"bank.example designates 192.0.2.9 as permitted sender)\r\n" +
                        kSenderPart),
       L"fail", L"evil.example", L"none", L"none"},
      {"DMARC, composite and ARC passes are no evidence", kHotmail,
       OutlookBlock(L"spf=softfail (sender IP is 192.0.2.9) smtp.mailfrom=evil.example; "
                    L"dkim=none (message not signed) header.d=none;dmarc=pass action=none "
                    L"header.from=bank.example;compauth=pass reason=130; arc=pass"),
       L"softfail", L"evil.example", L"none", L"none"},
      {"another server's authserv-id", kHotmail,
       OutlookBlock(L"mail.evil.example; dkim=pass header.d=bank.example"), L"", L"", L"", L""},
  });
}

TEST(VerdictReadingTest, DomainsComeFromTheRightPropertyAndArcTakeoversCountForNothing) {
  ExpectCases({
      {"header.d over a disagreeing header.i", kGmail,
       GmailBlock(L"mx.google.com; dkim=pass header.i=@bank.example header.d=evil.example"), L"",
       L"", L"pass", L"evil.example"},
      {"header.d over header.i, Yahoo", kYahoo,
       YahooTodayBlock(L"atlas1.free.mail.bf1.yahoo.com; dkim=pass header.d=evil.example "
                       L"header.i=@bank.example",
                       L""),
       L"", L"", L"pass", L"evil.example"},
      {"smtp.helo only without a mail-from", kHotmail,
       OutlookBlock(L"spf=pass (sender IP is 192.0.2.7) smtp.helo=out.bank.example; dkim=none "
                    L"header.d=none"),
       L"pass", L"out.bank.example", L"none", L"none"},
      {"smtp.helo beside a mail-from", kHotmail,
       OutlookBlock(L"spf=pass smtp.helo=out.bank.example smtp.mailfrom=evil.example; dkim=none "
                    L"header.d=none"),
       L"pass", L"evil.example", L"none", L"none"},
      {"a DKIM pass Yahoo took over from an ARC set", kYahoo,
       YahooTodayBlock(L"atlas1.free.mail.bf1.yahoo.com; dkim=pass header.i=@bank.example "
                       L"arc_overridden_status=OVERRIDDEN; spf=fail smtp.mailfrom=evil.example "
                       L"arc_overridden_status=NOT_OVERRIDDEN",
                       L""),
       L"fail", L"evil.example", L"arc-overridden", L"bank.example"},
      {"an SPF pass Yahoo took over from an ARC set", kAol,
       YahooTodayBlock(L"atlas101.aol.mail.bf1.yahoo.com; spf=pass smtp.mailfrom=bank.example "
                       L"arc_overridden_status=OVERRIDDEN",
                       L"", kSenderPart, kAolAtlas),
       L"arc-overridden", L"bank.example", L"", L""},
      {"a sender's ARC set claiming a pass", kYahoo,
       YahooTodayBlock(
           kYahooFail, L"",
           L"ARC-Seal: i=1; a=rsa-sha256; cv=none; d=evil.example; s=a; b=x\r\n"
           L"ARC-Authentication-Results: i=1; atlas1.free.mail.bf1.yahoo.com; "
           L"dkim=pass header.i=@bank.example; spf=pass smtp.mailfrom=bank.example\r\n" +
               kSenderPart),
       L"softfail", L"evil.example", L"unknown", L""},
      {"results copied from the sender's text", kYahoo,
       YahooTodayBlock(L"atlas1.free.mail.bf1.yahoo.com; dkim=fail header.i=\"@x; dkim=pass "
                       L"header.i=@bank.example\"@evil.example; spf=neutral (x; spf=pass "
                       L"smtp.mailfrom=bank.example) smtp.mailfrom=evil.example",
                       L""),
       L"neutral", L"evil.example", L"fail", L"evil.example"},
  });
}

TEST(AolRunTest, OnlyTheRunAolAppendedCountsAndAnImitationRefusesIt) {
  const std::wstring fail =
      AolRun(L"domain : evil.example DKIM : fail", L"domain : evil.example SPF : softfail");
  const std::wstring pass =
      AolRun(L"domain : bank.example DKIM : pass", L"domain : bank.example SPF : pass");
  ExpectCases({
      {"the sender's run right above AOL's", kAol, AolBlock(fail, kSenderPart + pass), L"", L"",
       L"", L""},
      {"the sender's X-AOL-SPF in its part", kAol,
       AolBlock(pass, L"X-AOL-SPF: domain : bank.example SPF : pass\r\n" + kSenderPart), L"", L"",
       L"", L""},
      {"a run that does not end the block is not AOL's", kAol,
       AolBlock(pass + L"Content-Type: text/plain\r\n"), L"", L"", L"", L""},
      {"AOL's run alone", kAol, AolBlock(fail), L"softfail", L"evil.example", L"fail",
       L"evil.example"},
      {"today's layout: a run at the end is the sender's", kAol,
       YahooTodayBlock(kAolFail, L"", kSenderPart, kAolAtlas) + pass, L"none", L"evil.example",
       L"unknown", L""},
      {"today's layout, legitimate beside it", kAol,
       YahooTodayBlock(kAolPass, L"", kSenderPart, kAolAtlas) + pass, L"pass",
       L"bounce.bank.example", L"pass", L"bank.example"},
  });
}

}  // namespace
}  // namespace tp
