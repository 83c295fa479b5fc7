// The receiving account, its provider, the sender and the body of simulated mail items.
#include "branding/account_info.h"

#include <gtest/gtest.h>

#include "base/text.h"
#include "branding/mail_provider.h"
#include "host/mapi.h"
#include "support/test_host.h"

namespace tp {
namespace {

using host::sim::SimAccount;
using host::sim::SimMail;

class AccountInfoTest : public testing::SimHostTest {
 protected:
  AccountInfoTest() { g_accountProviderDomains.clear(); }
  ~AccountInfoTest() override { g_accountProviderDomains.clear(); }

  std::shared_ptr<host::MailItem> Mail(SimMail mail) {
    auto folder = sim().outlook.AddFolder(L"Inbox");
    return sim().outlook.MailItemFor(sim().outlook.AddMail(*folder, std::move(mail)));
  }
  static SimMail WithAccount(int type, const std::wstring& smtp, const std::wstring& name = L"") {
    SimMail mail;
    mail.entryId = L"id";
    mail.account = std::make_shared<SimAccount>(SimAccount{type, smtp, name});
    return mail;
  }
  struct Info {
    int type;
    std::wstring address;
    std::wstring provider;
  };
  Info Classify(SimMail mail) {
    Info info;
    info.type = GetItemAccountInfo(*Mail(std::move(mail)), &info.address, &info.provider);
    return info;
  }
};

TEST_F(AccountInfoTest, TheAccountMapWinsOverTheAddressDomain) {
  g_accountProviderDomains[L"me@company.example"] = L"@gmail.com";
  const Info info = Classify(WithAccount(1, L"Me@Company.example"));
  EXPECT_EQ(info.type, 1);
  EXPECT_EQ(info.address, L"me@company.example");
  EXPECT_EQ(info.provider, L"@gmail.com");
}

TEST_F(AccountInfoTest, UnmappedAccountsAreKnownByTheirDomainOnly) {
  Info info = Classify(WithAccount(2, L"someone@Yahoo.com"));
  EXPECT_EQ(info.address, L"@yahoo.com");
  EXPECT_EQ(info.provider, L"@yahoo.com");
  info = Classify(WithAccount(2, L"someone@company.example"));
  EXPECT_EQ(info.address, L"@company.example");
  EXPECT_EQ(info.provider, L"");
  // A leading part of a known domain occurs in the known-provider list, so it counts.
  EXPECT_EQ(Classify(WithAccount(2, L"x@hotmail.co")).provider, L"@hotmail.co");
}

TEST_F(AccountInfoTest, DisplayNameStandsInForAnAddresslessAccount) {
  EXPECT_EQ(Classify(WithAccount(1, L"", L"me@aol.com")).provider, L"@aol.com");
  const Info none = Classify(WithAccount(1, L"Work", L"My account"));
  EXPECT_EQ(none.address, L"");
  EXPECT_EQ(none.provider, L"");
}

TEST_F(AccountInfoTest, WithoutAnAccountTheDeliveryAddressDecides) {
  SimMail smtp;
  smtp.entryId = L"smtp";
  smtp.SetProp(host::kPrReceivedByAddrTypeW, L"smtp");
  smtp.SetProp(host::kPrReceivedByEmailAddressW, L"me@gmail.com");
  const Info viaSmtp = Classify(smtp);
  EXPECT_EQ(viaSmtp.type, 1);
  EXPECT_EQ(viaSmtp.provider, L"@gmail.com");
  EXPECT_TRUE(Logged(L"Failed to get account of mail item"));

  SimMail exchange;
  exchange.entryId = L"ex";
  exchange.SetProp(host::kPrReceivedByAddrTypeW, L"EX");
  exchange.SetProp(host::kPrReceivedByEmailAddressW, L"/o=corp/cn=me");
  const Info viaExchange = Classify(exchange);
  EXPECT_EQ(viaExchange.type, 0);
  EXPECT_EQ(viaExchange.address, L"");

  SimMail nothing;
  nothing.entryId = L"none";
  EXPECT_EQ(Classify(nothing).type, 0);
}

TEST_F(AccountInfoTest, EightBitDeliveryPropertiesAreConverted) {
  SimMail mail;
  mail.entryId = L"ansi";
  host::PropValue type;
  type.tag = 0x0075001E;  // PR_RECEIVED_BY_ADDRTYPE_A
  type.bytes = "SMTP";
  mail.props[type.tag] = type;
  host::PropValue address;
  address.tag = 0x0076001E;
  address.bytes = "me@ymail.com";
  mail.props[address.tag] = address;
  const Info info = Classify(mail);
  EXPECT_EQ(info.type, 1);
  EXPECT_EQ(info.provider, L"@ymail.com");
}

TEST(ProviderNameTest, NamesTheFamiliesAndExchange) {
  auto name = [](int type, const std::wstring& marker) {
    std::wstring result = L"unchanged";
    GetProviderName(type, marker, &result);
    return result;
  };
  EXPECT_EQ(name(1, L"@gmail.com"), L"gmail");
  EXPECT_EQ(name(1, L"@YMAIL.com"), L"yahoo");
  EXPECT_EQ(name(1, L"@hotmail.co.il"), L"hotmail");
  EXPECT_EQ(name(1, L"@outlook.com"), L"hotmail");
  EXPECT_EQ(name(1, L"@live.com"), L"unchanged");
  EXPECT_EQ(name(1, L"@aol.com"), L"unchanged");
  EXPECT_EQ(name(0, L"@live.com"), L"exchange");
  EXPECT_EQ(name(0, L""), L"exchange");
}

TEST_F(AccountInfoTest, SentRepresentingAddressReplacesTheSenderAddress) {
  SimMail mail;
  mail.entryId = L"sender";
  mail.senderEmailAddress = L"display@acme.example";
  std::wstring address;
  GetSenderAddress(*Mail(mail), &address);
  EXPECT_EQ(address, L"display@acme.example");
  mail.entryId = L"sender2";
  mail.SetProp(host::kPrSentRepresentingEmailAddressW, L"news@acme.example");
  GetSenderAddress(*Mail(mail), &address);
  EXPECT_EQ(address, L"news@acme.example");
}

TEST_F(AccountInfoTest, BodyIsThePlainTextElseTheHtmlInItsCodePage) {
  SimMail plain;
  plain.entryId = L"plain";
  plain.SetProp(host::kPrBodyW, L"plain text");
  plain.SetBinaryProp(host::kPrHtml, "<p>html</p>");
  std::wstring text;
  GetMessageBodyText(Mail(plain).get(), &text, false);
  EXPECT_EQ(text, L"plain text");
  GetMessageBodyText(Mail(plain).get(), &text, true);
  EXPECT_EQ(text, L"<p>html</p>");

  SimMail emptyPlain = plain;
  emptyPlain.entryId = L"empty";
  emptyPlain.SetProp(host::kPrBodyW, L"");
  GetMessageBodyText(Mail(emptyPlain).get(), &text, false);
  EXPECT_EQ(text, L"");  // an empty plain body is not a missing one

  SimMail latin1;
  latin1.entryId = L"latin1";
  latin1.internetCodepage = 28591;
  latin1.SetBinaryProp(host::kPrHtml, std::string("caf\xE9", 4));
  GetMessageBodyText(Mail(latin1).get(), &text, false);
  EXPECT_EQ(text, L"caf\u00e9");

  GetMessageBodyText(nullptr, &text, false);
  EXPECT_EQ(text, L"");
}

}  // namespace
}  // namespace tp
