// From read one way for the branding decision: the reading itself, and the whole decision on
// the example mailbox's authentic message of each provider with its From field rewritten. Each
// class of field that mail programs may read differently stands beside fields of the same
// shape that every program reads alike, which must stay branded.
#include "branding/decision_sender.h"

#include <gtest/gtest.h>

#include <cstring>
#include <fstream>
#include <sstream>

#include "addin/add_in_fixture.h"
#include "base/text.h"
#include "host/mapi.h"
#include "host/sim/eml_reader.h"

namespace tp {
namespace {

using host::sim::SimMail;

constexpr wchar_t kRefused[] = L"From field refused for branding: ";

struct ReadingCase {
  const wchar_t* headers;
  const wchar_t* outlookSender;
  const wchar_t* address;  // the sender named; null when refused
  const wchar_t* refusal;  // after kRefused
};

TEST(DecisionSenderTest, ReadsTheOneFromFieldOrSaysWhyNot) {
  const ReadingCase cases[] = {
      {L"Received: x\r\nFrom: Acme <deals@acme.example>\r\n", L"deals@acme.example",
       L"deals@acme.example", nullptr},
      {L"From : deals(x)@acme.example\r\n", L"deals@acme.example", L"deals@acme.example", nullptr},
      {L"From: \"deals\"@acme.example\r\n", L"\"deals\"@acme.example", L"deals@acme.example",
       nullptr},
      {L"From: Acme <DEALS@Acme.Example>\r\n", L"deals@acme.example", L"DEALS@Acme.Example",
       nullptr},
      {L"Subject: x\r\n", L"deals@acme.example", nullptr, L"the message has no From field"},
      {L"From: a@acme.example\r\nFROM: b@acme.example\r\nfrom : c@acme.example\r\n",
       L"a@acme.example", nullptr, L"the message has 3 From fields"},
      {L"From: \"Acme\x01\" <deals@acme.example>\r\n", L"deals@acme.example", nullptr,
       L"a control character in the From field"},
      {L"From: Acme deals@acme.example\r\n", L"deals@acme.example", nullptr,
       L"the From field is not a readable address list (a display name without angle brackets "
       L"around the address)"},
      {L"From: Team: deals@acme.example;\r\n", L"deals@acme.example", nullptr,
       L"the From field holds a group"},
      {L"From: deals@acme.example, x@evil.example\r\n", L"deals@acme.example", nullptr,
       L"the From field holds 2 mailboxes"},
      {L"From: deals@acme.example,\r\n", L"deals@acme.example", nullptr,
       L"the From field holds an empty list element"},
      {L"From: <@evil.example:deals@acme.example>\r\n", L"deals@acme.example", nullptr,
       L"the address has a source route"},
      {L"From: news(x@evil.example)@acme.example\r\n", L"news@acme.example", nullptr,
       L"a comment inside the address holds '@'"},
      {L"From: <\"x<y\"@acme.example>\r\n", L"\"x<y\"@acme.example", nullptr,
       L"quoted text inside the address holds '<'"},
      {L"From: =?utf-8?q?x?=@acme.example\r\n", L"=?utf-8?q?x?=@acme.example", nullptr,
       L"an encoded-word inside the address"},
      {L"From: \"<x@evil.example>\" <deals@acme.example>\r\n", L"deals@acme.example", nullptr,
       L"an angle bracket in a display name or a comment outside the address"},
      {L"From: Acme <deals@acme.example\r\n", L"deals@acme.example", nullptr,
       L"an angle bracket that is never closed"},
      {L"From: deals@acme.example (Acme\r\n", L"deals@acme.example", nullptr,
       L"a comment that is never closed"},
      {L"From: deals@acme.example\r\n", L"", nullptr, L"Outlook shows no sender address"},
      {L"From: deals@acme.example\r\n", L"x@evil.example", nullptr,
       L"Outlook shows the sender x@evil.example, the From field holds deals@acme.example"},
  };
  for (const ReadingCase& c : cases) {
    SCOPED_TRACE(WideToUtf8(c.headers));
    const DecisionSender sender = ReadDecisionSender(c.headers, c.outlookSender);
    if (c.address != nullptr) {
      EXPECT_EQ(sender.address, c.address);
      EXPECT_EQ(sender.refusal, L"");
    } else {
      EXPECT_EQ(sender.address, L"");
      EXPECT_EQ(sender.refusal, kRefused + std::wstring(c.refusal));
    }
  }
}

// --- The whole decision, per provider ------------------------------------------------------

const std::filesystem::path kExamples = TP_EXAMPLES_DIR;
constexpr char kExampleFrom[] = "From: Acme Travel <deals@acmetravel.example>\r\n";

struct Provider {
  const char* file;  // the example mailbox's authentic Acme Travel message
  const wchar_t* account;
};
const Provider kProviders[] = {
    {"Gmail/01-acme-dkim-pass.eml", L"jane.sample@gmail.com"},
    {"Hotmail/01-acme-dkim-pass.eml", L"sam.sample@hotmail.com"},
    {"Yahoo/01-acme-dkim-pass.eml", L"lee.sample@yahoo.com"},
    {"AOL/01-acme-dkim-pass.eml", L"pat.sample@aol.com"},
};

struct FromCase {
  const char* fromLines;  // the header lines that take the example's From line's place
  // The reason logged when the message is refused (null: it is branded).
  const wchar_t* refusal;
  // The sender Outlook shows, when not the one the store reads from the fields.
  const wchar_t* outlookSender = nullptr;
};

const FromCase kFromCases[] = {
    // How many From fields: any spelling a reader takes for From counts.
    {"From: Acme Travel <deals@acmetravel.example>\n", nullptr},
    {"FROM : Acme Travel <deals@acmetravel.example>\n", nullptr},
    {"From: Acme Travel <deals@acmetravel.example>\nFrom: Evil <x@evil.example>\n",
     L"From field refused for branding: the message has 2 From fields"},
    {"From: <x@evil.example>\nfrom : Acme Travel <deals@acmetravel.example>\n",
     L"From field refused for branding: the message has 2 From fields"},
    {"X-Note: a\rFrom: Evil <x@evil.example>\nFrom: Acme Travel <deals@acmetravel.example>\n",
     L"From field refused for branding: the message has 2 From fields"},
    {"Sender: Acme Travel <deals@acmetravel.example>\n",
     L"From field refused for branding: the message has no From field"},
    // One mailbox, outside any group.
    {"From: \"Acme Travel, Deals\" <deals@acmetravel.example>\n", nullptr},
    {"From: deals@acmetravel.example, x@evil.example\n",
     L"From field refused for branding: the From field holds 2 mailboxes"},
    {"From: Undisclosed:;, Acme Travel <deals@acmetravel.example>\n",
     L"From field refused for branding: the From field holds a group"},
    {"From: \"deals@acmetravel.example\": x@evil.example;\n",
     L"From field refused for branding: the From field holds a group"},
    {"From: deals@acmetravel.example: x@evil.example;\n",
     L"From field refused for branding: the From field is not a readable address list (text "
     L"after the address)"},
    {"From: , deals@acmetravel.example\n",
     L"From field refused for branding: the From field holds an empty list element"},
    // No source route.
    {"From: Acme Travel <deals @ acmetravel.example>\n", nullptr},
    {"From: <@evil.example:deals@acmetravel.example>\n",
     L"From field refused for branding: the address has a source route"},
    // Comments and quoted text inside the address.
    {"From: deals(x)@acmetravel.example\n", nullptr},
    {"From: \"deals\"@acmetravel.example\n", nullptr},
    {"From: news(deals@evil.example)@acmetravel.example\n",
     L"From field refused for branding: a comment inside the address holds '@'"},
    {"From: Acme <deals@acmetravel.example (a,b)>\n",
     L"From field refused for branding: a comment inside the address holds ','"},
    {"From: \"x@evil.example\"@acmetravel.example\n",
     L"From field refused for branding: quoted text inside the address holds '@'"},
    // Encoded-words: in a display name, never inside the address.
    {"From: =?utf-8?q?Acme_Travel_=E2=9C=88?= <deals@acmetravel.example>\n", nullptr},
    {"From: Acme <=?utf-8?q?deals?=@acmetravel.example>\n",
     L"From field refused for branding: an encoded-word inside the address"},
    // Angle brackets: only around the address.
    {"From: \"deals@acmetravel.example\" <deals@acmetravel.example>\n", nullptr},
    {"From: \"<x@evil.example>\" <deals@acmetravel.example>\n",
     L"From field refused for branding: an angle bracket in a display name or a comment "
     L"outside the address"},
    {"From: Acme Travel <deals@acmetravel.example\n",
     L"From field refused for branding: an angle bracket that is never closed"},
    // The sender Outlook shows.
    {"From: Acme Travel <deals@acmetravel.example>\n", nullptr, L"DEALS@AcmeTravel.example"},
    {"From: Acme Travel <deals@acmetravel.example>\n",
     L"From field refused for branding: Outlook shows the sender x@evil.example, the From field "
     L"holds deals@acmetravel.example",
     L"x@evil.example"},
    // The domain: a host name, or no brand.
    {"From: Acme Travel <deals@mail.acmetravel.example>\n", nullptr},
    {"From: Acme Travel <deals@acmetravel.example.>\n",
     L"Sender domain acmetravel.example. is not a host name (an empty label); it matches no "
     L"brand"},
};

class FromDecisionTest : public testing::AddinTest {
 protected:
  void SetUp() override {
    WriteSendersList(L"{'branding':[{'name':'Acme Travel','domain':'acmetravel.example'}]}");
    ASSERT_EQ(Connect(), hr::kOk);
  }

  static std::string ReadExample(const char* file) {
    std::ifstream in(kExamples / "mailbox" / file, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
  }

  // The example with its From line replaced, received by `account`.
  std::shared_ptr<SimMail> Receive(const Provider& provider, const FromCase& c) {
    std::string bytes = ReadExample(provider.file);
    const size_t at = bytes.find(kExampleFrom);
    EXPECT_NE(at, std::string::npos) << provider.file;
    if (at == std::string::npos)
      return nullptr;
    bytes.replace(at, std::strlen(kExampleFrom), c.fromLines);
    SimMail mail;
    std::wstring error;
    EXPECT_TRUE(host::sim::ReadEml(bytes, &mail, &error)) << WideToUtf8(error);
    mail.entryId = L"m" + std::to_wstring(++m_serial);
    mail.account = std::make_shared<host::sim::SimAccount>(
        host::sim::SimAccount{1, provider.account, L"Reader"});
    if (c.outlookSender != nullptr)
      mail.SetProp(host::kPrSentRepresentingEmailAddressW, c.outlookSender);
    return sim().outlook.AddMail(*inbox, mail);
  }

  int m_serial = 0;
};

TEST_F(FromDecisionTest, EachProviderBrandsOnlyAFromEveryReaderReadsAlike) {
  for (const Provider& provider : kProviders) {
    for (const FromCase& c : kFromCases) {
      SCOPED_TRACE(std::string(provider.file) + ": " + c.fromLines);
      const auto mail = Receive(provider, c);
      ASSERT_NE(mail, nullptr);
      const int before = c.refusal == nullptr ? 0 : CountLogged(c.refusal);
      const bool branded = connect->BrandMailItem(*Item(mail), false);
      const std::wstring messageClass = mail->props.at(host::kPrMessageClassW).text;
      if (c.refusal == nullptr) {
        EXPECT_TRUE(branded);
        EXPECT_EQ(messageClass, L"IPM.Note.Tidepost.Acme Travel");
      } else {
        EXPECT_FALSE(branded);
        EXPECT_EQ(messageClass, L"IPM.Note");
        EXPECT_EQ(CountLogged(c.refusal), before + 1);
      }
    }
  }
}

// A message branded before this rule came in keeps its class only while its From is read one
// way: the class of one whose From is ambiguous is taken back.
TEST_F(FromDecisionTest, ABrandedClassIsTakenBackWhenFromIsAmbiguous) {
  const FromCase twoFields = kFromCases[2];
  const auto mail = Receive(kProviders[0], twoFields);
  mail->SetProp(host::kPrMessageClassW, L"IPM.Note.Tidepost.Acme Travel");
  EXPECT_FALSE(connect->BrandMailItem(*Item(mail), true));
  EXPECT_EQ(mail->props.at(host::kPrMessageClassW).text, L"IPM.Note");
  EXPECT_TRUE(Logged(twoFields.refusal));
}

}  // namespace
}  // namespace tp
