// Messages written the way real clients and servers write them (tests/data/realmail): every
// one must be read, with the sender and subject RFC 5322, 2045-2047, 2231 and 2152 give it.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "base/text.h"
#include "host/sim/eml_reader.h"
#include "host/sim/native_path.h"
#include "support/test_host.h"

namespace tp::host::sim {
namespace {

namespace fs = std::filesystem;

const fs::path kRealMail = TP_REAL_MAIL_DIR;

struct Expected {
  const wchar_t* sender;   // empty: the From field holds no readable mailbox
  const wchar_t* subject;  // null: checked by the test itself
  const wchar_t* name = L"";
  const wchar_t* body = L"";  // a part of the plain body
};

// Each expected value read by hand from the message against the RFCs: the address proper without
// comments and white space, encoded-words and parameters decoded in their charset.
const std::map<std::string, Expected> kMessages = {
    // Addresses.
    {"addresses/01-space-in-angle.eml",
     {L"deals@acmetravel.example", L"Your trip to Porto is confirmed", L"Acme Travel"}},
    {"addresses/02-comment-in-local-part.eml",
     {L"deals@acmetravel.example", L"Weekend offers", L"Acme Travel"}},
    {"addresses/03-comments-everywhere.eml",
     {L"alerts@kestrelbank.example", L"Card payment of 12.40 EUR", L"Kestrel Bank"}},
    {"addresses/04-quoted-local-part.eml",
     {L"billing@lumenenergy.example", L"Your March bill", L"Lumen Energy"}},
    {"addresses/05-quoted-local-part-with-space.eml",
     {L"\"order desk\"@blueheronbooks.example", L"Order 5521 shipped", L"Orders"}},
    {"addresses/06-group-from.eml", {L"alerts@kestrelbank.example", L"Statement available"}},
    {"addresses/07-obsolete-route.eml",
     {L"billing@lumenenergy.example", L"Meter reading due", L"Lumen Energy"}},
    {"addresses/08-old-style-name.eml",
     {L"hello@blueheronbooks.example", L"New in March", L"Blue Heron Books"}},
    {"addresses/09-encoded-name.eml",
     {L"news@cafelumiere.example", L"Menu du jour \u2013 mardi", L"Caf\u00E9 Lumi\u00E8re"}},
    {"addresses/10-address-as-name.eml",
     {L"news@harborweekly.example", L"Harbor Weekly, issue 12", L"news@harborweekly.example"}},
    {"addresses/11-folded-from.eml",
     {L"service@acmetravel.example", L"Seat change",
      L"Acme Travel Customer Service Team for Europe"}},
    {"addresses/12-utf8-address.eml",
     {L"j\u00F6rg@b\u00FCcher.example", L"Gr\u00FC\u00DFe aus K\u00F6ln", L"J\u00F6rg B\u00FCcher",
      L"Viele Gr\u00FC\u00DFe."}},
    {"addresses/13-two-bare-addresses.eml", {L"", L"Two senders"}},
    {"addresses/14-name-without-brackets.eml", {L"", L"No brackets"}},
    {"addresses/15-only-empty-group.eml", {L"", L"Nobody"}},
    {"addresses/16-no-domain.eml", {L"", L"Undelivered Mail Returned to Sender"}},
    // What comes before and between the fields.
    {"headers/01-leading-blank-line.eml",
     {L"tom.reyes@fieldnotes.example", L"Photos from Saturday", L"Tom Reyes",
      L"Here they are \u2013 enjoy!"}},
    {"headers/02-leading-white-space-lines.eml",
     {L"tom.reyes@fieldnotes.example", L"Photos from Saturday", L"Tom Reyes",
      L"Here they are \u2013 enjoy!"}},
    {"headers/03-byte-order-mark.eml",
     {L"tom.reyes@fieldnotes.example", L"Photos from Saturday", L"Tom Reyes",
      L"Here they are \u2013 enjoy!"}},
    {"headers/04-bare-line-feeds.eml",
     {L"tom.reyes@fieldnotes.example", L"Photos from Saturday", L"Tom Reyes",
      L"Here they are \u2013 enjoy!"}},
    {"headers/05-mbox-separator.eml",
     {L"tom.reyes@fieldnotes.example", L"Photos from Saturday", L"Tom Reyes",
      L"Here they are \u2013 enjoy!"}},
    {"headers/06-space-before-colon.eml",
     {L"tom.reyes@fieldnotes.example", L"Photos from Saturday", L"Tom Reyes"}},
    {"headers/07-long-lines.eml", {L"list@fieldnotes.example", nullptr, L"Field Notes List"}},
    // Unfolding removes the line ends only (RFC 5322 2.2.3).
    {"headers/08-folds-and-blank-continuation.eml",
     {L"tom.reyes@fieldnotes.example", L"Photos  from\tSaturday", L"Tom Reyes"}},
    {"headers/09-field-names-in-any-case.eml",
     {L"tom.reyes@fieldnotes.example", L"Photos from Saturday", L"Tom Reyes"}},
    // Charsets.
    {"charsets/01-utf7-subject-and-body.eml",
     {L"kurt.weber@werkstatt.example", L"Gr\u00FC\u00DFe \u2013 Rechnung 03/2025", L"Kurt Weber",
      L"anbei die Rechnung. Gr\u00FC\u00DFe!"}},
    {"charsets/02-utf7-encoded-word-b-and-filename.eml",
     {L"hana@kyoto-tea.example", L"\u65E5\u672C\u8A9E\u306E\u304A\u77E5\u3089\u305B", L"Hana",
      L"\u65E5\u672C\u8A9E\u306E\u304A\u77E5\u3089\u305B\u3067\u3059\u3002"}},
    {"charsets/03-iso-2022-jp.eml",
     {L"info@kyoto-tea.example", L"\u65B0\u5546\u54C1\u306E\u3054\u6848\u5185\uFF08\u6625\uFF09",
      L"\u4EAC\u90FD\u8336\u8217", L"\u6625\u306E\u65B0\u5546\u54C1\u3067\u3059\u3002"}},
    {"charsets/04-shift-jis-8bit.eml",
     {L"info@kyoto-tea.example", L"\u65B0\u5546\u54C1\u306E\u3054\u6848\u5185\uFF08\u6625\uFF09",
      L"", L"\u6625\u306E\u65B0\u5546\u54C1\u3067\u3059\u3002"}},
    {"charsets/05-euc-jp.eml",
     {L"info@kyoto-tea.example", L"\u65B0\u5546\u54C1\u306E\u3054\u6848\u5185\uFF08\u6625\uFF09",
      L"", L"\u6625\u306E\u65B0\u5546\u54C1\u3067\u3059\u3002"}},
    {"charsets/06-koi8-r.eml",
     {L"ivan@sever.example", L"\u0421\u0447\u0451\u0442 \u0437\u0430 \u043C\u0430\u0440\u0442",
      L"\u0418\u0432\u0430\u043D \u041F\u0435\u0442\u0440\u043E\u0432",
      L"\u0421\u0447\u0451\u0442 \u0432\u043E \u0432\u043B\u043E\u0436\u0435\u043D\u0438\u0438."}},
    {"charsets/07-windows-1251-qp.eml",
     {L"ivan@sever.example", L"\u0421\u0447\u0451\u0442 \u0437\u0430 \u043C\u0430\u0440\u0442", L"",
      L"\u0421\u0447\u0451\u0442 \u0432\u043E \u0432\u043B\u043E\u0436\u0435\u043D\u0438\u0438."}},
    {"charsets/08-gb2312-foxmail.eml",
     {L"liming@huayuan.example", L"\u6625\u5B63\u65B0\u54C1\u4E0A\u5E02", L"\u674E\u660E",
      L"\u60A8\u597D\uFF0C\u6625\u5B63\u65B0\u54C1\u5DF2\u7ECF\u4E0A\u5E02\u3002"}},
    {"charsets/09-gb18030.eml",
     {L"liming@huayuan.example", L"\u6625\u5B63\u65B0\u54C1\u4E0A\u5E02", L"",
      L"\u60A8\u597D\uFF0C\u6625\u5B63\u65B0\u54C1\u5DF2\u7ECF\u4E0A\u5E02\u3002"}},
    {"charsets/10-big5.eml",
     {L"chen@taipei-books.example", L"\u6625\u5B63\u65B0\u54C1\u4E0A\u5E02", L"",
      L"\u60A8\u597D\uFF0C\u6625\u5B63\u65B0\u54C1\u5DF2\u7D93\u4E0A\u5E02\u3002"}},
    {"charsets/11-ks-c-5601-outlook.eml",
     {L"minsu@hangang.example", L"3\uC6D4 \uCCAD\uAD6C\uC11C \uC548\uB0B4", L"\uAE40\uBBFC\uC218",
      L"\uC548\uB155\uD558\uC138\uC694."}},
    {"charsets/12-euc-kr.eml",
     {L"minsu@hangang.example", L"3\uC6D4 \uCCAD\uAD6C\uC11C \uC548\uB0B4", L"",
      L"\uC548\uB155\uD558\uC138\uC694."}},
    {"charsets/13-iso-8859-8-i.eml",
     {L"dana@galil.example", L"\u05E9\u05DC\u05D5\u05DD \u05D5\u05EA\u05D5\u05D3\u05D4", L"",
      L"\u05E9\u05DC\u05D5\u05DD, \u05EA\u05D5\u05D3\u05D4 \u05E2\u05DC "
      L"\u05D4\u05D4\u05D6\u05DE\u05E0\u05D4."}},
    {"charsets/14-iso-8859-2-thunderbird.eml",
     {L"pawel@wisla.example", L"Zam\u00F3wienie z \u0141odzi", L"Pawe\u0142 Nowak",
      L"Dzie\u0144 dobry, zam\u00F3wienie z \u0141odzi."}},
    {"charsets/15-ascii-label-utf8-bytes.eml",
     {L"news@cafelumiere.example", L"Caf\u00E9 menu", L"", L"Cr\u00E8me br\u00FBl\u00E9e today."}},
    {"charsets/16-tis-620.eml",
     {L"somchai@chiangmai.example", L"\u0E2A\u0E27\u0E31\u0E2A\u0E14\u0E35\u0E04\u0E23\u0E31\u0E1A",
      L"", L"\u0E2A\u0E27\u0E31\u0E2A\u0E14\u0E35\u0E04\u0E23\u0E31\u0E1A"}},
    {"charsets/17-hz-gb-2312.eml",
     {L"liming@huayuan.example", L"\u6625\u5B63\u65B0\u54C1\u4E0A\u5E02", L"",
      L"\u60A8\u597D\uFF0C\u6625\u5B63\u65B0\u54C1\u5DF2\u7ECF\u4E0A\u5E02\u3002"}},
    // 8-bit header text without encoded-words, in the message's own charset.
    {"charsets/19-raw-8bit-headers-in-body-charset.eml",
     {L"info@kyoto-tea.example", L"\u65B0\u5546\u54C1\u306E\u3054\u6848\u5185\uFF08\u6625\uFF09",
      L"\u4EAC\u90FD\u8336\u8217", L"\u6625\u306E\u65B0\u5546\u54C1\u3067\u3059\u3002"}},
    {"charsets/18-unknown-charset-utf8.eml",
     {L"news@cafelumiere.example", L"Caf\u00E9", L"", L"Cr\u00E8me br\u00FBl\u00E9e."}},
};

class RealMailTest : public testing::SimHostTest {};

TEST_F(RealMailTest, EveryMessageIsReadWithItsSenderAndSubject) {
  std::vector<std::string> found;
  for (const auto& entry : fs::recursive_directory_iterator(kRealMail)) {
    if (!entry.is_regular_file())
      continue;
    const std::string name = fs::relative(entry.path(), kRealMail).generic_string();
    found.push_back(name);
    SimMail mail;
    std::wstring error;
    ASSERT_TRUE(ReadEmlFile(entry.path(), &mail, &error)) << name << ": " << WideToUtf8(error);
    const auto expected = kMessages.find(name);
    ASSERT_NE(expected, kMessages.end()) << name << " has no expected values";
    const Expected& want = expected->second;
    EXPECT_EQ(mail.senderEmailAddress, want.sender) << name;
    EXPECT_EQ(mail.senderProblem.empty(), *want.sender != L'\0') << name;
    if (want.subject != nullptr) {
      EXPECT_EQ(mail.subject, want.subject) << name;
    }
    EXPECT_EQ(mail.senderName, want.name) << name;
    const auto body = mail.props.find(kPrBodyW);
    ASSERT_NE(body, mail.props.end()) << name;
    EXPECT_NE(body->second.text.find(want.body), std::wstring::npos)
        << name << ": " << WideToUtf8(body->second.text);
  }
  std::sort(found.begin(), found.end());
  std::vector<std::string> listed;
  for (const auto& [name, expected] : kMessages)
    listed.push_back(name);
  EXPECT_EQ(found, listed);
}

TEST_F(RealMailTest, LongLinesAndParametersSurvive) {
  SimMail mail;
  std::wstring error;
  ASSERT_TRUE(ReadEmlFile(kRealMail / "headers" / "07-long-lines.eml", &mail, &error));
  std::wstring subject;
  for (int i = 0; i < 250; ++i)
    subject += L"Re: ";
  EXPECT_EQ(mail.subject, subject + L"Photos from Saturday");

  // An RFC 2231 file name in UTF-7.
  ASSERT_TRUE(ReadEmlFile(kRealMail / "charsets" / "02-utf7-encoded-word-b-and-filename.eml", &mail,
                          &error));
  ASSERT_EQ(mail.attachments.size(), 1u);
  EXPECT_EQ(mail.attachments[0].fileName, L"\u65E5\u672C\u8A9E.pdf");
  EXPECT_EQ(mail.attachments[0].bytes, "%PDF-1.4\n");
}

}  // namespace
}  // namespace tp::host::sim
