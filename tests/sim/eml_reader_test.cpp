// Whole messages read into simulated mail items.
#include "host/sim/eml_reader.h"
#include "host/sim/native_path.h"

#include <gtest/gtest.h>

#include "base/text.h"
#include "support/test_host.h"

namespace tp::host::sim {
namespace {

class EmlReaderTest : public testing::SimHostTest {
 protected:
  SimMail Read(const std::string& bytes) {
    SimMail mail;
    std::wstring error;
    EXPECT_TRUE(ReadEml(bytes, &mail, &error)) << WideToUtf8(error);
    return mail;
  }
  static std::wstring Text(const SimMail& mail, PropTag tag) {
    auto found = mail.props.find(tag);
    return found == mail.props.end() ? L"<none>" : found->second.text;
  }
  static std::string Bytes(const SimMail& mail, PropTag tag) {
    auto found = mail.props.find(tag);
    return found == mail.props.end() ? "<none>" : found->second.bytes;
  }
};

// LF line ends in the file, folded headers, an encoded subject, a QP plain part in UTF-8, a
// base64 HTML part in ISO-8859-1 and an inline image.
const char kNewsletter[] =
    "Delivered-To: jane.sample@gmail.com\n"
    "Received: by 2002:a05:6000:1:b0:1 with SMTP id x;\n"
    "        Tue, 4 Mar 2025 01:15:02 -0800 (PST)\n"
    "Received: from sender.example; Mon, 3 Mar 2025 23:00:00 +0000\n"
    "From: =?utf-8?q?Caf=C3=A9?= Travel <deals@acmetravel.example>\n"
    "Subject: =?utf-8?B?U3ByaW5nIGluIA==?=\n"
    " =?utf-8?B?UGFyaXMg4oKs?= deals\n"
    "Date: Mon, 3 Mar 2025 22:59:00 +0000\n"
    "MIME-Version: 1.0\n"
    "Content-Type: multipart/related; boundary=\"rel\"\n"
    "\n"
    "--rel\n"
    "Content-Type: multipart/alternative; boundary=alt\n"
    "\n"
    "--alt\n"
    "Content-Type: text/plain; charset=utf-8\n"
    "Content-Transfer-Encoding: quoted-printable\n"
    "\n"
    "Caf=C3=A9 =E2=82=AC 10, a very long line that was wrapped by the se=\n"
    "nder.\n"
    "Second line.\n"
    "--alt\n"
    "Content-Type: text/html; charset=\"iso-8859-1\"\n"
    "Content-Transfer-Encoding: base64\n"
    "\n"
    "PHA+Q2Fm6SA8aW1nIHNyYz0iY2lkOmxvZ28xQGFjbWUiPjwv\n"
    "cD4=\n"
    "--alt--\n"
    "--rel\n"
    "Content-Type: image/png; name=\"logo.png\"\n"
    "Content-Transfer-Encoding: base64\n"
    "Content-ID: <logo1@acme>\n"
    "Content-Disposition: inline; filename=\"logo.png\"\n"
    "\n"
    "iVBORw0KGgo=\n"
    "--rel--\n";

TEST_F(EmlReaderTest, ReadsEveryPartOfAMultipartMessage) {
  const SimMail mail = Read(kNewsletter);
  const std::string text(kNewsletter);
  const std::string headers = text.substr(0, text.find("\n\n") + 1);
  std::wstring expected;
  for (char ch : headers)
    expected += ch == '\n' ? std::wstring(L"\r\n") : std::wstring(1, ch);
  EXPECT_EQ(Text(mail, kPrTransportMessageHeadersW), expected);

  EXPECT_EQ(mail.subject, L"Spring in Paris \u20AC deals");
  EXPECT_EQ(mail.senderEmailAddress, L"deals@acmetravel.example");
  EXPECT_EQ(mail.senderName, L"Caf\u00E9 Travel");
  EXPECT_EQ(Text(mail, kPrSentRepresentingEmailAddressW), L"deals@acmetravel.example");
  EXPECT_EQ(mail.receivedTime, 1741079702);  // the topmost Received, not Date
  EXPECT_EQ(mail.size, static_cast<int>(text.size()));
  EXPECT_EQ(Text(mail, kPrMessageClassW), L"IPM.Note");

  EXPECT_EQ(Text(mail, kPrBodyW),
            L"Caf\u00E9 \u20AC 10, a very long line that was wrapped by the sender.\r\n"
            L"Second line.");
  // The HTML stays in its own charset, with the code page to read it.
  EXPECT_EQ(Bytes(mail, kPrHtml), "<p>Caf\xE9 <img src=\"cid:logo1@acme\"></p>");
  EXPECT_EQ(mail.internetCodepage, 28591);

  ASSERT_EQ(mail.attachments.size(), 1u);
  EXPECT_EQ(mail.attachments[0].fileName, L"logo.png");
  EXPECT_EQ(mail.attachments[0].contentId, L"logo1@acme");
  EXPECT_EQ(mail.attachments[0].mimeType, L"image/png");
  EXPECT_EQ(mail.attachments[0].bytes, "\x89PNG\r\n\x1A\n");
}

TEST_F(EmlReaderTest, HtmlOnlyMessageGetsAPlainTextBody) {
  const SimMail mail = Read(
      "From: a@b.example\r\nContent-Type: text/html; charset=utf-8\r\n\r\n"
      "<html><head><title>T</title><style>p{}</style></head><body>"
      "<p>Hello&nbsp;&amp; <b>wel</b>come</p><!-- hidden -->line<br>two &#8364;&#x41; a < b"
      "<script>var x = '<p>no</p>';</script>\r\n   spaced   out</body></html>");
  EXPECT_EQ(Text(mail, kPrBodyW), L"Hello\u00A0& welcome\r\nline\r\ntwo \u20ACA a < b spaced out");
  EXPECT_EQ(mail.internetCodepage, 65001);
}

TEST_F(EmlReaderTest, HtmlTextOfHostileMarkupStaysLinear) {
  // Ampersands that never end an entity, and a tag that never closes.
  const std::string html = std::string(2u << 20, '&') + "<p" + std::string(1u << 20, 'x');
  const SimMail mail = Read("From: a@b.example\r\nContent-Type: text/html\r\n\r\n" + html);
  EXPECT_EQ(mail.props.at(kPrBodyW).text, std::wstring(2u << 20, L'&'));
}

TEST_F(EmlReaderTest, MessageClassFollowsTheTopLevelType) {
  const std::string signedMessage =
      "From: s@kestrelbank.example\r\n"
      "Content-Type: multipart/signed; protocol=\"application/pkcs7-signature\";\r\n"
      "\tmicalg=sha-256; boundary=\"sig\"\r\n\r\n"
      "This is a signed message.\r\n"
      "--sig\r\nContent-Type: text/plain\r\n\r\nSigned text\r\n"
      "--sig\r\nContent-Type: application/pkcs7-signature; name=smime.p7s\r\n"
      "Content-Transfer-Encoding: base64\r\n\r\nMIAGCSqG\r\n--sig--\r\n";
  const SimMail signedMail = Read(signedMessage);
  EXPECT_EQ(Text(signedMail, kPrMessageClassW), L"IPM.Note.SMIME.MultipartSigned");
  EXPECT_EQ(Text(signedMail, kPrBodyW), L"Signed text");
  // Outlook keeps the whole signed entity, starting at its Content-Type, as one attachment.
  ASSERT_EQ(signedMail.attachments.size(), 1u);
  EXPECT_EQ(signedMail.attachments[0].fileName, L"smime.p7m");
  EXPECT_EQ(signedMail.attachments[0].mimeType, L"multipart/signed");
  EXPECT_EQ(signedMail.attachments[0].bytes,
            "Content-Type: multipart/signed; protocol=\"application/pkcs7-signature\";\r\n"
            "\tmicalg=sha-256; boundary=\"sig\"\r\n\r\n" +
                signedMessage.substr(signedMessage.find("This is")));

  const SimMail opaque = Read(
      "From: s@x.example\r\nContent-Type: application/pkcs7-mime; smime-type=signed-data\r\n"
      "Content-Transfer-Encoding: base64\r\n\r\nMIAG\r\nCSqG\r\n");
  EXPECT_EQ(Text(opaque, kPrMessageClassW), L"IPM.Note.SMIME");
  EXPECT_EQ(Text(opaque, kPrBodyW), L"");
  ASSERT_EQ(opaque.attachments.size(), 1u);
  EXPECT_EQ(opaque.attachments[0].fileName, L"smime.p7m");
  EXPECT_EQ(opaque.attachments[0].bytes, "\x30\x80\x06\x09\x2A\x86");

  // A signed part forwarded inside a mixed message does not change the class.
  const SimMail nested =
      Read("From: s@x.example\r\nContent-Type: multipart/mixed; boundary=m\r\n\r\n--m\r\n" +
           signedMessage.substr(signedMessage.find("Content-Type")) + "\r\n--m--\r\n");
  EXPECT_EQ(Text(nested, kPrMessageClassW), L"IPM.Note");
  EXPECT_EQ(Text(nested, kPrBodyW), L"Signed text");
  ASSERT_EQ(nested.attachments.size(), 1u);
  EXPECT_EQ(nested.attachments[0].fileName, L"smime.p7s");
}

TEST_F(EmlReaderTest, BodiesAttachmentsAndNames) {
  const SimMail mail = Read(
      "From: a@b.example\nDate: Tue, 4 Mar 2025 09:15:02 +0000\n"
      "Content-Type: multipart/mixed; boundary=x\n\n"
      "--x\nContent-Type: text/plain; charset=windows-1252\n\nfirst \x80\nline\n"
      "--x\nContent-Type: text/plain\nContent-Disposition: attachment; "
      "filename=notes.txt\n\nnotes\n"
      "--x\nContent-Type: text/plain\n\nsecond inline text\n"
      "--x\nContent-Type: application/octet-stream\n\nraw\n"
      "--x\nContent-Type: message/rfc822\n\nSubject: inner\n\ninner body\n"
      "--x\nContent-Type: multipart/mixed\n\nundivided\n"
      "--x--\n");
  EXPECT_EQ(Text(mail, kPrBodyW), L"first \u20AC\r\nline");
  EXPECT_EQ(mail.internetCodepage, 1252);
  EXPECT_EQ(mail.receivedTime, 1741079702);  // no Received: the Date
  EXPECT_EQ(Text(mail, kPrHtml), L"<none>");
  std::vector<std::wstring> names;
  for (const SimAttachment& attachment : mail.attachments)
    names.push_back(attachment.fileName);
  EXPECT_EQ(names, (std::vector<std::wstring>{L"notes.txt", L"ATT00001.txt", L"ATT00002.bin",
                                              L"ATT00003.eml", L"ATT00004.bin"}));
  EXPECT_EQ(mail.attachments[3].bytes, "Subject: inner\n\ninner body");
}

TEST_F(EmlReaderTest, DamagedMessagesStillGiveAMailItem) {
  // No blank line after the header: the first non-field line starts the body.
  SimMail noBlank = Read("From: a@b.example\nSubject: s\nHello there\n");
  EXPECT_EQ(Text(noBlank, kPrTransportMessageHeadersW), L"From: a@b.example\r\nSubject: s\r\n");
  EXPECT_EQ(Text(noBlank, kPrBodyW), L"Hello there\r\n");
  EXPECT_EQ(noBlank.receivedTime, 0);

  // Headers only.
  SimMail headersOnly = Read("Subject: only");
  EXPECT_EQ(headersOnly.subject, L"only");
  EXPECT_EQ(Text(headersOnly, kPrBodyW), L"");
  EXPECT_EQ(headersOnly.senderEmailAddress, L"");
  EXPECT_EQ(Text(headersOnly, kPrSentRepresentingEmailAddressW), L"<none>");

  // A multipart cut in the middle of its second part, and an mbox separator line.
  SimMail cut = Read(
      "From sender@x.example Tue Mar  4 09:15:02 2025\n"
      "From: a@b.example\nContent-Type: multipart/alternative; boundary=q\n\n"
      "--q\nContent-Type: text/plain\n\nplain\n--q\nContent-Type: text/html\n\n<p>cut");
  EXPECT_EQ(Text(cut, kPrBodyW), L"plain");
  EXPECT_EQ(Bytes(cut, kPrHtml), "<p>cut");
  EXPECT_EQ(cut.senderEmailAddress, L"a@b.example");

  // Broken encodings.
  SimMail encodings = Read(
      "From: a@b.example\nContent-Transfer-Encoding: base64\nContent-Type: text/plain; "
      "charset=x-nothing\n\n!!!SGVs*bG8=\n");
  EXPECT_EQ(Text(encodings, kPrBodyW), L"Hello");
}

// What comes before the first field and how fields are written, as mail servers take them:
// each message must be read with its sender and subject.
TEST_F(EmlReaderTest, HeaderBlocksAsMailServersTakeThem) {
  struct Case {
    const char* what;
    std::string bytes;
    const wchar_t* sender;
    const wchar_t* subject;
  };
  const std::string longSubject(20000, 's');
  const Case cases[] = {
      {"an empty first line", "\r\nFrom: a@x.example\r\nSubject: hi\r\n\r\nbody", L"a@x.example",
       L"hi"},
      {"white-space lines first", " \r\n\t \r\n\nFrom: a@x.example\nSubject: hi\n\nbody",
       L"a@x.example", L"hi"},
      {"a byte-order mark",
       "\xEF\xBB\xBF"
       "From: a@x.example\r\nSubject: hi\r\n\r\nbody",
       L"a@x.example", L"hi"},
      {"a byte-order mark, then a blank line",
       "\xEF\xBB\xBF\r\nFrom: a@x.example\r\nSubject: hi\r\n\r\nbody", L"a@x.example", L"hi"},
      {"an mbox separator after a blank line",
       "\nFrom a@x.example Tue Mar  4 09:15:02 2025\nFrom: a@x.example\nSubject: hi\n\nb",
       L"a@x.example", L"hi"},
      {"bare line feeds", "From: a@x.example\nSubject: hi\n\nbody\n", L"a@x.example", L"hi"},
      {"line ends mixed", "From: a@x.example\r\nSubject: hi\n\r\nbody", L"a@x.example", L"hi"},
      {"white space before the colon", "From  : a@x.example\r\nSubject\t: hi\r\n\r\nbody",
       L"a@x.example", L"hi"},
      {"no space after the colon", "From:a@x.example\r\nSubject:hi\r\n\r\nbody", L"a@x.example",
       L"hi"},
      {"field names in any case", "FROM: a@x.example\r\nsubject: hi\r\n\r\nbody", L"a@x.example",
       L"hi"},
      {"a long line", "From: a@x.example\r\nSubject: " + longSubject + "\r\n\r\nbody",
       L"a@x.example", nullptr},
      {"a fold with a white-space-only line",
       "From: Acme\r\n \r\n <a@x.example>\r\nSubject: hi\r\n\r\nbody", L"a@x.example", L"hi"},
      {"folds with tabs", "From:\r\n\tAcme\r\n\t<a@x.example>\r\nSubject: hi\r\n there\r\n\r\n",
       L"a@x.example", L"hi there"},
      {"the sender only in Sender", "Sender: a@x.example\r\nSubject: hi\r\n\r\nbody",
       L"a@x.example", L"hi"},
  };
  for (const Case& c : cases) {
    SimMail mail;
    std::wstring error;
    ASSERT_TRUE(ReadEml(c.bytes, &mail, &error)) << c.what << ": " << WideToUtf8(error);
    EXPECT_EQ(mail.senderEmailAddress, c.sender) << c.what;
    if (c.subject != nullptr) {
      EXPECT_EQ(mail.subject, c.subject) << c.what;
    } else {
      EXPECT_EQ(mail.subject, std::wstring(longSubject.begin(), longSubject.end())) << c.what;
    }
    EXPECT_EQ(mail.senderProblem, L"") << c.what;
  }
}

// 8-bit header text outside encoded-words: UTF-8 when it is, else the message's own charset.
TEST_F(EmlReaderTest, RawHeaderTextIsReadInTheMessagesCharset) {
  const SimMail latin2 = Read(
      "From: \xA3ukasz <l@x.example>\r\nSubject: \xA3\xF3"
      "d\xBC\r\n"
      "Content-Type: multipart/alternative; boundary=b\r\n\r\n--b\r\n"
      "Content-Type: text/plain; charset=iso-8859-2\r\n\r\nx\r\n--b--\r\n");
  EXPECT_EQ(latin2.subject,
            L"\u0141\u00F3"
            L"d\u017A");
  EXPECT_EQ(latin2.senderName, L"\u0141ukasz");
  const SimMail utf8 = Read(
      "Subject: \xC5\x81\xC3\xB3"
      "d\xC5\xBA\r\nContent-Type: text/plain; charset=iso-8859-2"
      "\r\n\r\nx");
  EXPECT_EQ(utf8.subject,
            L"\u0141\u00F3"
            L"d\u017A");
  // A charset that is not 8-bit, or none, leaves windows-1252.
  for (const char* type :
       {"text/plain; charset=utf-16", "text/plain; charset=utf-7", "text/plain"}) {
    EXPECT_EQ(Read(std::string("Subject: caf\xE9\r\nContent-Type: ") + type + "\r\n\r\nx").subject,
              L"caf\u00E9")
        << type;
  }
}

// A From that holds no readable mailbox gives no sender, and the item says why.
TEST_F(EmlReaderTest, UnreadableSendersAreNotGlued) {
  const SimMail glued =
      Read("From: deals@acmetravel.example alerts@kestrelbank.example\r\nSubject: s\r\n\r\nb");
  EXPECT_EQ(glued.senderEmailAddress, L"");
  EXPECT_EQ(Text(glued, kPrSentRepresentingEmailAddressW), L"<none>");
  EXPECT_EQ(glued.senderProblem,
            L"the From field holds no readable mailbox: two addresses without a comma between "
            L"them");
  EXPECT_EQ(glued.subject, L"s");

  const SimMail named = Read("From: Acme Travel deals@acmetravel.example\r\n\r\nb");
  EXPECT_EQ(named.senderEmailAddress, L"");
  EXPECT_EQ(named.senderProblem,
            L"the From field holds no readable mailbox: a display name without angle brackets "
            L"around the address");

  // An unreadable From is not replaced by the Sender field.
  const SimMail withSender = Read("From: Acme\r\nSender: b@y.example\r\n\r\nb");
  EXPECT_EQ(withSender.senderEmailAddress, L"");
  EXPECT_EQ(Read("Subject: s\r\n\r\nb").senderProblem, L"the message has no From field");
}

TEST_F(EmlReaderTest, RefusesWhatIsNotAMailMessage) {
  SimMail mail;
  std::wstring error;
  EXPECT_FALSE(ReadEml("", &mail, &error));
  EXPECT_EQ(error, L"the file is empty");
  EXPECT_FALSE(ReadEml("\xEF\xBB\xBF", &mail, &error));
  EXPECT_EQ(error, L"the file holds only white space");
  EXPECT_FALSE(ReadEml(" \r\n\t\n\r\n", &mail, &error));
  EXPECT_EQ(error, L"the file holds only white space");
  EXPECT_FALSE(ReadEml(std::string("\xFF\xFE"
                                   "F\0r\0",
                                   6),
                       &mail, &error));
  EXPECT_EQ(error, L"the file is UTF-16 text; a mail message is 8-bit text");
  EXPECT_FALSE(ReadEml("\x89PNG\r\n\x1A\n\0\0binary", &mail, &error));
  EXPECT_EQ(error, L"no header field at the start: not a mail message");
  EXPECT_FALSE(ReadEml("\r\nbody without header", &mail, &error));
  EXPECT_FALSE(ReadEml("X-Big: " + std::string(kMaxHeaderBlock, 'a') + "\n\nbody", &mail, &error));
  EXPECT_EQ(error, L"the header block is longer than 1048576 bytes");
  // Megabytes without a line feed are a body when a header precedes them.
  EXPECT_TRUE(ReadEml("Subject: s\n" + std::string(4u << 20, 'z'), &mail, &error));
  EXPECT_EQ(mail.props.at(kPrBodyW).text.size(), 4u << 20);
}

TEST_F(EmlReaderTest, FileEntryIdsAndMissingFiles) {
  const std::filesystem::path path = folder().path() / NativePath(L"caf\u00E9 1.eml");
  testing::WriteFileBytes(path, "Subject: s\n\nbody");
  SimMail mail;
  std::wstring error;
  ASSERT_TRUE(ReadEmlFile(path, &mail, &error)) << WideToUtf8(error);
  EXPECT_EQ(mail.entryId, L"636166C3A920312E656D6C");
  EXPECT_EQ(mail.size, 16);
  EXPECT_FALSE(ReadEmlFile(folder().path() / "missing.eml", &mail, &error));
  EXPECT_FALSE(error.empty());
}

}  // namespace
}  // namespace tp::host::sim
