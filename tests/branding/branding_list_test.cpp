// The branding document and the two questions asked of the list it gives.
#include "branding/branding_list.h"
#include "branding/branding_decision.h"
#include "net/brand_names.h"

#include <gtest/gtest.h>

#include "branding/mail_provider.h"
#include "host/mapi.h"
#include "support/test_host.h"

namespace tp {
namespace {

using host::sim::SimAccount;
using host::sim::SimMail;

class BrandingListTest : public testing::SimHostTest {
 protected:
  BrandingListTest() { folder = sim().outlook.AddFolder(L"Inbox"); }
  using Names = std::vector<std::wstring>;

  // Looks up a message from `sender` (its From field and the sender Outlook shows) received
  // by a Gmail account.
  std::wstring FindBrand(const std::wstring& sender, SenderBrand* record = nullptr) {
    SimMail mail;
    mail.entryId = L"m" + std::to_wstring(++serial);
    mail.senderEmailAddress = sender;
    mail.SetProp(host::kPrTransportMessageHeadersW, L"From: " + sender + L"\r\n");
    mail.account = std::make_shared<SimAccount>(SimAccount{1, L"me@gmail.com", L""});
    const BrandingDecision decision = Decide(mail);
    if (!decision.senderListed)
      return L"-";
    if (record)
      *record = decision.brand;
    return decision.brandName;
  }

  BrandingDecision Decide(const SimMail& mail) {
    auto item = sim().outlook.MailItemFor(sim().outlook.AddMail(*folder, mail));
    return DecideBranding(ReadMessageEvidence(*item, list), list);
  }

  BrandingList list;
  std::shared_ptr<host::sim::SimFolder> folder;
  int serial = 0;
};

TEST_F(BrandingListTest, ApostrophesStandForDoubleQuotes) {
  list.Load(
      L"{'branding':[{'name':'Acme','domain':'Acme.Example','spf':false,"
      L"'dkimSigners':'Mailer.Example,esp.example'}]}");
  ASSERT_EQ(list.senders().count(L"Acme"), 1u);
  const SenderBrand& brand = list.senders().at(L"Acme").front();
  EXPECT_TRUE(brand.spf);  // the key's presence counts, not its value
  EXPECT_FALSE(brand.spfIfNoDKIM);
  EXPECT_EQ(brand.domain, L"acme.example");
  EXPECT_EQ(brand.dkimSigners, L"mailer.example,esp.example");
  EXPECT_EQ(list.names(), Names{L"Acme"});
}

TEST_F(BrandingListTest, OneNameMayOwnSeveralDomains) {
  list.Load(
      L"{\"branding\":[{\"name\":\"Acme\",\"domain\":\"a.example\"},"
      L"{\"name\":\"Beta\",\"domain\":\"b.example\",\"spfIfNoDKIM\":1},"
      L"{\"name\":\"Acme\",\"domain\":\"c.example\"}]}");
  ASSERT_EQ(list.senders().at(L"Acme").size(), 2u);
  EXPECT_EQ(list.senders().at(L"Acme")[1].domain, L"c.example");
  EXPECT_TRUE(list.senders().at(L"Beta")[0].spfIfNoDKIM);
  EXPECT_EQ(list.names(), (Names{L"Acme", L"Beta"}));
  EXPECT_EQ(list.RecordCount(), 3u);
}

TEST_F(BrandingListTest, UnusableDocumentsAreLoggedAndLeaveTheListEmpty) {
  list.Load(L"   ");
  EXPECT_TRUE(Logged(L"Could not parse JSON"));
  list.Load(L"{\"branding\":[}");
  EXPECT_TRUE(Logged(L"Error parsing branding JSON: Expected 'valid JSON syntax' but recieved '}"));
  list.Load(L"{\"senders\":[]}");
  list.Load(L"[1]");
  EXPECT_EQ(CountLogged(L"could not locate branding in JSON"), 2);
  list.Load(L"{\"branding\":{\"name\":\"Acme\"}}");  // not an array: no entries, no error
  EXPECT_TRUE(list.senders().empty());
  // An apostrophe inside a name breaks the document.
  list.Load(L"{'branding':[{'name':'Acme's','domain':'a.example'}]}");
  EXPECT_TRUE(list.senders().empty());
}

TEST_F(BrandingListTest, EntriesThatCannotBeUsedAreSkippedAndTheRestKept) {
  list.Load(
      L"{\"branding\":[7,{\"domain\":\"a.example\"},{\"name\":\"NoDomain\"},"
      L"{\"name\":\"Empty\",\"domain\":\"\"},{\"name\":\"..\\\\evil\",\"domain\":\"e.example\"},"
      L"{\"name\":1,\"domain\":\"n.example\"},{\"name\":\"Good\",\"domain\":\"g.example\"}]}");
  EXPECT_EQ(list.senders().size(), 1u);
  EXPECT_EQ(list.names(), Names{L"Good"});
  EXPECT_TRUE(Logged(L"Skipping branding entry 1: not an object"));
  EXPECT_TRUE(Logged(L"Skipping branding entry 4 (Empty): no name or no domain"));
  EXPECT_TRUE(
      Logged(L"Skipping branding entry 5 (..\\evil): the name cannot name a message class"));
}

// An entry whose domain is not a host name would let its signers vouch for From domains that
// are no one's ("*", "deals.*"): it is refused, with the reason, and the rest is kept.
TEST_F(BrandingListTest, EntriesWhoseDomainIsNoHostNameAreRefused) {
  const BrandingLoadReport report = list.Load(
      L"{'branding':[{'name':'Star','domain':'*','dkimSigners':'esp.example'},"
      L"{'name':'Wild','domain':'*.acme.example'},{'name':'Deals','domain':'deals.*'},"
      L"{'name':'Ip','domain':'192.0.2.1'},{'name':'Literal','domain':'[192.0.2.1]'},"
      L"{'name':'Blank','domain':' acme.example'},{'name':'Tld','domain':'example'},"
      L"{'name':'Good','domain':'good.example','spf':false},"
      L"{'name':'Spf','domain':'spf.example','spf':true}]}");
  EXPECT_TRUE(report.documentRead);
  EXPECT_EQ(list.names(), (Names{L"Good", L"Spf"}));
  ASSERT_EQ(report.refused.size(), 7u);
  EXPECT_EQ(report.refused[0].index, 1);
  EXPECT_EQ(report.refused[0].name, L"Star");
  EXPECT_EQ(report.refused[0].text, L"the domain \"*\" is not a host name: it holds a wildcard");
  EXPECT_EQ(report.refused[3].text,
            L"the domain \"192.0.2.1\" is not a host name: it is an IP address");
  EXPECT_EQ(report.refused[6].text,
            L"the domain \"example\" is not a host name: it is a single label");
  EXPECT_TRUE(
      Logged(L"Skipping branding entry 3 (Deals): the domain \"deals.*\" is not a host "
             L"name: it holds a wildcard"));
  // "spf": false still counts as present; the author is told.
  ASSERT_EQ(report.warnings.size(), 1u);
  EXPECT_EQ(report.warnings[0].name, L"Good");
  EXPECT_TRUE(list.senders().at(L"Good").front().spf);
  // Nothing written that way finds a brand.
  for (const wchar_t* sender : {L"deals@*", L"deals@deals.*", L"x@[192.0.2.1]", L"x@192.0.2.1"}) {
    EXPECT_EQ(FindBrand(sender), L"-") << sender;
  }
}

TEST_F(BrandingListTest, LookUpMatchesTheBrandsDomainOrASubDomainOfItOnly) {
  list.Load(
      L"{\"branding\":[{\"name\":\"Acme\",\"domain\":\"acme.example\"},"
      L"{\"name\":\"Shop\",\"domain\":\"shop.acme.example\"}]}");
  const struct {
    const wchar_t* sender;
    const wchar_t* brand;
  } kCases[] = {
      {L"news@acme.example", L"Acme"},
      {L"news@ACME.Example", L"Acme"},            // letter case ignored
      {L"news@mail.ACME.example", L"Acme"},       // a sub-domain, in any case
      {L"news@a.b.c.acme.example", L"Acme"},      // however deep
      {L"news@shop.acme.example", L"Acme"},       // both match: the name that sorts first wins
      {L"news@acme.example.evil.example", L"-"},  // holds ".acme.example", is not it
      {L"news@news.acme.example.attacker.example", L"-"},
      {L"news@notacme.example", L"-"},  // ends with the text but not at a dot
      {L"news@acme.example.", L"-"},
      {L"news@example", L"-"},
      {L"news@acme-example", L"-"},
      {L"news@\"x@acme.example\"@evil.example", L"-"},  // only the last at sign counts
      {L"no-at-sign", L"-"},
  };
  for (const auto& c : kCases) {
    EXPECT_EQ(FindBrand(c.sender), c.brand) << c.sender;
  }
  SimMail sub;
  sub.entryId = L"sub";
  sub.senderEmailAddress = L"news@mail.ACME.example";
  sub.SetProp(host::kPrTransportMessageHeadersW, L"From: news@mail.ACME.example\r\n");
  sub.account = std::make_shared<SimAccount>(SimAccount{1, L"me@gmail.com", L""});
  const BrandingDecision decision = Decide(sub);
  EXPECT_EQ(decision.senderDomain, L"mail.ACME.example");
  EXPECT_EQ(decision.brand.domain, L"acme.example");
}

TEST_F(BrandingListTest, TheFirstRecordInLookUpOrderWinsAmongSeveralSuffixes) {
  list.Load(
      L"{\"branding\":[{\"name\":\"Zed\",\"domain\":\"acme.example\"},"
      L"{\"name\":\"Beta\",\"domain\":\"mail.acme.example\"},"
      L"{\"name\":\"Beta\",\"domain\":\"acme.example\"}]}");
  SenderBrand record;
  EXPECT_EQ(FindBrand(L"x@a.mail.acme.example", &record), L"Beta");
  EXPECT_EQ(record.domain, L"mail.acme.example");  // Beta's first record in document order
  EXPECT_EQ(FindBrand(L"x@acme.example", &record), L"Beta");
  EXPECT_EQ(record.domain, L"acme.example");
}

TEST_F(BrandingListTest, NamesAreSearchedInUtf16Order) {
  list.Load(
      L"{\"branding\":[{\"name\":\"acme\",\"domain\":\"acme.example\"},"
      L"{\"name\":\"Acme\",\"domain\":\"acme.example\"}]}");
  EXPECT_EQ(FindBrand(L"x@acme.example"), L"Acme");    // capitals sort first
  EXPECT_EQ(list.names(), (Names{L"acme", L"Acme"}));  // first occurrence order
}

TEST_F(BrandingListTest, OnlyInternetAccountsOfKnownProvidersAreLookedUp) {
  list.Load(L"{\"branding\":[{\"name\":\"Acme\",\"domain\":\"acme.example\"}]}");
  SimMail exchange;
  exchange.entryId = L"ex";
  exchange.senderEmailAddress = L"news@acme.example";
  exchange.account = std::make_shared<SimAccount>(SimAccount{0, L"me@corp.example", L""});
  const BrandingDecision notSigned = Decide(exchange);
  EXPECT_EQ(notSigned.reason, BrandingReason::kExchangeNotSigned);
  EXPECT_EQ(DescribeBrandingReason(notSigned),
            L"Should not check a message from an exchange account");
  SimMail company = exchange;
  company.entryId = L"co";
  company.account = std::make_shared<SimAccount>(SimAccount{2, L"me@corp.example", L""});
  const BrandingDecision unserved = Decide(company);
  EXPECT_EQ(unserved.reason, BrandingReason::kNoProvider);
  EXPECT_EQ(DescribeBrandingReason(unserved),
            L"SMTP address @corp.example should not be checked for branding");
  for (const BrandingDecision* decision : {&notSigned, &unserved}) {
    EXPECT_FALSE(decision->senderListed);
    EXPECT_TRUE(decision->brandName.empty());
    EXPECT_TRUE(decision->senderDomain.empty());
  }
}

TEST(AcceptsDomainTest, OwnDomainSuffixOrListedSigner) {
  SenderBrand brand;
  brand.domain = L"acme.example";
  brand.dkimSigners = L"esp.example, mailer.example";
  EXPECT_TRUE(AcceptsDomain(brand, L"ACME.example"));
  EXPECT_TRUE(AcceptsDomain(brand, L"mail.acme.example"));
  EXPECT_FALSE(AcceptsDomain(brand, L"mail.acme.example.evil"));       // a suffix only
  EXPECT_FALSE(AcceptsDomain(brand, L"x.acme.example.acme.example"));  // first occurrence only
  EXPECT_TRUE(AcceptsDomain(brand, L"esp.example"));
  EXPECT_FALSE(AcceptsDomain(brand, L"mailer.example"));  // the part keeps its space
  EXPECT_FALSE(AcceptsDomain(brand, L""));
  // Only a host name vouches, whatever the signers list holds.
  brand.dkimSigners = L"*,acme.example.,esp.example";
  for (const wchar_t* domain : {L"*", L"acme.example.", L"x.acme.example.", L"[192.0.2.1]"}) {
    EXPECT_FALSE(AcceptsDomain(brand, domain)) << domain;
  }
}

TEST(BrandNameTest, NamesThatCouldEscapeAFolderOrKeyAreRefused) {
  for (const wchar_t* bad : {L"", L"a\\b", L"a/b", L"..", L"a..b", L"c:x", L"a\tb", L"a|b"}) {
    EXPECT_FALSE(IsUsableBrandName(bad)) << bad;
  }
  for (const wchar_t* good : {L"Acme", L"Acme Travel", L"A.B", L"Caf\u00e9"}) {
    EXPECT_TRUE(IsUsableBrandName(good)) << good;
  }
}

}  // namespace
}  // namespace tp
