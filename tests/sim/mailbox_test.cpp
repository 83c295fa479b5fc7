// The mailbox manifest, loading mailbox folders, and the example mailbox.
#include <gtest/gtest.h>

#include "base/text.h"
#include "host/sim/eml_reader.h"
#include "host/sim/mailbox_loader.h"
#include "host/sim/mailbox_manifest.h"
#include "host/sim/native_path.h"
#include "support/test_host.h"

namespace tp::host::sim {
namespace {

namespace fs = std::filesystem;

TEST(MailboxManifestTest, ReadsSectionsDefaultsAndComments) {
  MailboxManifest manifest;
  std::wstring error;
  ASSERT_TRUE(
      ParseMailboxManifest(L"\uFEFF# comment\r\n"
                           L"explorer = News\r\n"
                           L"[Mailbox]\n"
                           L"  ; indented comment\n"
                           L"Outbox =  Sending  \n"
                           L"[account]\n"
                           L"address = jane@gmail.com\n"
                           L"TYPE = IMAP\n"
                           L"server = imap.gmail.com\n"
                           L"folders = News, , Inbox\n"
                           L"[account]\n"
                           L"address = boss@corp.example\n"
                           L"type = exchange\n"
                           L"name = Work\n"
                           L"display = The Boss\n"
                           L"object = no\n",
                           &manifest, &error))
      << WideToUtf8(error);
  EXPECT_EQ(manifest.outbox, L"Sending");
  EXPECT_EQ(manifest.explorerFolder, L"News");
  EXPECT_EQ(manifest.profile, L"");
  ASSERT_EQ(manifest.accounts.size(), 2u);
  const MailboxAccount& gmail = manifest.accounts[0];
  EXPECT_EQ(gmail.accountType, 1);
  EXPECT_EQ(gmail.name, L"jane@gmail.com");
  EXPECT_EQ(gmail.displayName, L"jane@gmail.com");
  EXPECT_EQ(gmail.folders, (std::vector<std::wstring>{L"News", L"Inbox"}));
  EXPECT_TRUE(gmail.accountObject);
  const MailboxAccount& work = manifest.accounts[1];
  EXPECT_EQ(work.accountType, 0);
  EXPECT_EQ(work.server, L"");  // optional for Exchange
  EXPECT_EQ(work.name, L"Work");
  EXPECT_EQ(work.displayName, L"The Boss");
  EXPECT_FALSE(work.accountObject);
}

TEST(MailboxManifestTest, SessionStepsKeepTheirOrderAndRepeat) {
  MailboxManifest manifest;
  std::wstring error;
  ASSERT_TRUE(
      ParseMailboxManifest(L"[account]\naddress = a@b\ntype = pop3\nserver = p\n"
                           L"[session]\nselect = Inbox/a.eml\nZoom = in\nzoom = in\n"
                           L"open = Inbox/a.eml\nhelper = cancel\n",
                           &manifest, &error))
      << WideToUtf8(error);
  ASSERT_EQ(manifest.session.size(), 5u);
  EXPECT_EQ(manifest.session[0].action, L"select");
  EXPECT_EQ(manifest.session[0].argument, L"Inbox/a.eml");
  EXPECT_EQ(manifest.session[0].line, 6);
  EXPECT_EQ(manifest.session[1].action, L"zoom");
  EXPECT_EQ(manifest.session[2].action, L"zoom");
  EXPECT_EQ(manifest.session[4].argument, L"cancel");
}

TEST(MailboxManifestTest, ErrorsNameTheLineAndTheProblem) {
  const std::wstring account = L"[account]\naddress = a@b.example\ntype = pop3\nserver = pop.b\n";
  const std::pair<std::wstring, std::wstring> cases[] = {
      {L"", L"no [account] section: the mailbox needs a receiving account"},
      {L"[mailbox]\noutbox\n", L"line 2: expected key = value"},
      {L"= value\n", L"line 1: a key is missing before '='"},
      {L"[accounts]\n",
       L"line 1: unknown section [accounts] (expected [mailbox], [account] or [session])"},
      {L"[account\n", L"line 1: a section header must end with ']'"},
      {L"colour = blue\n",
       L"line 1: unknown key \"colour\" in [mailbox] (expected outbox, explorer or profile)"},
      {L"outbox =\n", L"line 1: outbox needs a folder name"},
      {L"outbox = A\nOUTBOX = B\n" + account, L"line 2: \"outbox\" is given twice in this section"},
      {account + L"type = smtp\n", L"line 5: \"type\" is given twice in this section"},
      {L"[account]\naddress = a@b\ntype = smtp\n",
       L"line 3: unknown account type \"smtp\" (expected exchange, imap, pop3 or http)"},
      {L"[account]\naddress = a@b\nport = 993\n",
       L"line 3: unknown key \"port\" in [account] (expected address, type, server, name, "
       L"display, folders or object)"},
      {L"[account]\naddress = a@b\nobject = maybe\n",
       L"line 3: object must be yes or no, not \"maybe\""},
      {L"[account]\naddress = a@b\nfolders = Inbox/Sub\n",
       L"line 3: folder \"Inbox/Sub\" must be a plain folder name"},
      {L"[account]\ntype = imap\nserver = s\n", L"line 1: the [account] has no address"},
      {L"\n\n[account]\naddress = a@b\nserver = s\n", L"line 3: the [account] has no type"},
      {L"[account]\naddress = a@b\ntype = imap\n", L"line 1: the [account] has no server"},
      {account + L"folders = Inbox\n[account]\naddress = c@d\ntype = exchange\nfolders = inbox\n",
       L"line 6: folder \"inbox\" belongs to two accounts"},
      {account + L"[session]\nreply = Inbox/a.eml\n",
       L"line 6: unknown step \"reply\" in [session] (expected select, switch, open, close, zoom "
       L"or helper)"},
      {account + L"[session]\nopen =\n", L"line 6: open needs a value"},
      {account + L"[session]\nzoom = 150\n", L"line 6: zoom is in or out, not \"150\""},
      {account + L"[session]\nhelper = reload\n",
       L"line 6: helper is cancel or activate, not \"reload\""},
  };
  for (const auto& [text, expected] : cases) {
    MailboxManifest manifest;
    std::wstring error;
    EXPECT_FALSE(ParseMailboxManifest(text, &manifest, &error)) << WideToUtf8(text);
    EXPECT_EQ(error, expected) << WideToUtf8(text);
    EXPECT_TRUE(manifest.accounts.empty());  // a failed parse leaves the manifest alone
  }
}

class MailboxLoaderTest : public testing::SimHostTest {
 protected:
  fs::path Dir() const { return folder().path() / "mailbox"; }
  void Write(const std::string& relative, const std::string& bytes) {
    const fs::path path = Dir() / relative;
    fs::create_directories(path.parent_path());
    testing::WriteFileBytes(path, bytes);
  }
  bool Load(std::wstring* error) {
    m_unreadable.clear();
    return LoadMailbox(PathText(Dir()), sim().outlook, m_window, &m_unreadable, error);
  }
  static std::string Message(const std::string& from, const std::string& date) {
    return "Received: by mx.example; " + date + "\r\nFrom: " + from +
           "\r\nSubject: s\r\n\r\nbody\r\n";
  }
  std::shared_ptr<SimFolder> FolderNamed(const std::wstring& name) {
    for (const auto& candidate : sim().outlook.folders) {
      if (candidate->name == name)
        return candidate;
    }
    return nullptr;
  }

  WindowHandle m_window = 0x4242;
  std::vector<UnreadableFile> m_unreadable;
};

TEST_F(MailboxLoaderTest, FoldersAccountsOutboxAndExplorer) {
  Write("mailbox.ini",
        "[account]\naddress = jane@gmail.com\ntype = imap\nserver = imap.gmail.com\n"
        "display = Jane\n"
        "[account]\naddress = Boss@Corp.example\ntype = exchange\nname = Work\nfolders = Work\n"
        "object = no\n");
  Write("b.eml", Message("b@x.example", "Tue, 4 Mar 2025 10:00:00 +0000"));
  Write("a.EML", Message("a@x.example", "Tue, 4 Mar 2025 11:00:00 +0000"));
  Write("notes.txt", "not a message");
  Write("Inbox/c.eml", Message("c@x.example", "Tue, 4 Mar 2025 09:00:00 +0000"));
  Write("Work/a.eml", Message("w@corp.example", "Tue, 4 Mar 2025 08:00:00 +0000"));
  Write("Outbox/draft.eml", "From: jane@gmail.com\r\nSubject: draft\r\n\r\nhi\r\n");
  Write(".hidden/x.eml", Message("h@x.example", "Tue, 4 Mar 2025 08:00:00 +0000"));
  std::wstring error;
  ASSERT_TRUE(Load(&error)) << WideToUtf8(error);
  SimOutlook& outlook = sim().outlook;

  // The default Outbox, then the Inbox first and the other folders by name.
  std::vector<std::wstring> names;
  for (const auto& each : outlook.folders)
    names.push_back(each->name);
  EXPECT_EQ(names, (std::vector<std::wstring>{L"Outbox", L"Inbox", L"Work"}));

  const auto inbox = FolderNamed(L"Inbox");
  ASSERT_EQ(inbox->items.size(), 3u);
  EXPECT_EQ(inbox->items[0]->senderEmailAddress, L"a@x.example");  // files by name
  EXPECT_EQ(inbox->items[2]->senderEmailAddress, L"c@x.example");
  EXPECT_EQ(inbox->items[0]->entryId, EntryIdForName(L"Inbox/a.EML"));
  ASSERT_TRUE(inbox->items[0]->account);
  EXPECT_EQ(inbox->items[0]->account->accountType, 1);
  EXPECT_EQ(inbox->items[0]->account->smtpAddress, L"jane@gmail.com");
  EXPECT_EQ(inbox->items[0]->account->displayName, L"Jane");
  EXPECT_EQ(inbox->items[0]->props.at(kPrReceivedByAddrTypeW).text, L"SMTP");
  EXPECT_EQ(inbox->items[0]->props.at(kPrReceivedByEmailAddressW).text, L"jane@gmail.com");
  EXPECT_TRUE(inbox->items[0]->sent);

  // Folder tables sort on the received time.
  auto table = outlook.Application()->ActiveExplorer()->CurrentFolder()->GetTable();
  table->Sort(L"ReceivedTime", true);
  EXPECT_EQ(*table->GetNextRow()->GetValues()->at(0), EntryIdForName(L"Inbox/a.EML"));
  EXPECT_EQ(*table->GetNextRow()->GetValues()->at(0), EntryIdForName(L"Inbox/b.eml"));

  const auto work = FolderNamed(L"Work");
  ASSERT_EQ(work->items.size(), 1u);
  EXPECT_EQ(work->items[0]->account, nullptr);  // object = no
  EXPECT_EQ(work->items[0]->props.at(kPrReceivedByAddrTypeW).text, L"EX");
  EXPECT_EQ(work->items[0]->props.at(kPrReceivedByEmailAddressW).text,
            L"/o=First Organization/ou=Exchange Administrative Group (FYDIBOHF23SPDLT)"
            L"/cn=Recipients/cn=Boss");
  EXPECT_NE(work->items[0]->entryId, inbox->items[0]->entryId);  // same file name elsewhere

  ASSERT_EQ(outlook.outbox->items.size(), 1u);
  const auto& draft = outlook.outbox->items[0];
  EXPECT_FALSE(draft->sent);
  EXPECT_EQ(draft->props.count(kPrTransportMessageHeadersW), 0u);
  EXPECT_EQ(draft->props.count(kPrReceivedByAddrTypeW), 0u);

  ASSERT_EQ(outlook.accounts.size(), 2u);
  EXPECT_EQ(outlook.accounts[0].name, L"jane@gmail.com");
  EXPECT_EQ(outlook.accounts[0].incomingServer, L"imap.gmail.com");
  EXPECT_EQ(outlook.accounts[1].name, L"Work");

  ASSERT_TRUE(outlook.activeExplorer);
  EXPECT_EQ(outlook.activeExplorer->currentFolder, inbox);
  EXPECT_EQ(outlook.activeExplorer->window, m_window);
  EXPECT_TRUE(outlook.activeExplorer->selection.empty());
}

TEST_F(MailboxLoaderTest, ExplorerFallsBackToTheFirstFolderOtherThanTheOutbox) {
  Write("mailbox.ini", "[account]\naddress = a@b.example\ntype = pop3\nserver = pop.b.example\n");
  Write("Archive/a.eml", Message("a@x.example", "Tue, 4 Mar 2025 10:00:00 +0000"));
  Write("Outbox/a.eml", Message("a@x.example", "Tue, 4 Mar 2025 10:00:00 +0000"));
  std::wstring error;
  ASSERT_TRUE(Load(&error)) << WideToUtf8(error);
  EXPECT_EQ(sim().outlook.activeExplorer->currentFolder, FolderNamed(L"Archive"));
}

TEST_F(MailboxLoaderTest, AnAccountMayNameAnOutboxWithoutMessages) {
  Write("mailbox.ini",
        "[account]\naddress = a@b.example\ntype = pop3\nserver = p\nfolders = Inbox, outbox\n");
  Write("a.eml", Message("a@x.example", "Tue, 4 Mar 2025 10:00:00 +0000"));
  std::wstring error;
  ASSERT_TRUE(Load(&error)) << WideToUtf8(error);
  EXPECT_TRUE(sim().outlook.outbox->items.empty());
}

TEST_F(MailboxLoaderTest, ErrorsNameTheFileAndTheReason) {
  std::wstring error;
  fs::create_directories(Dir());
  EXPECT_FALSE(Load(&error));
  EXPECT_NE(error.find(L"mailbox.ini: cannot open the mailbox manifest"), std::wstring::npos)
      << WideToUtf8(error);

  Write("mailbox.ini", "[account]\naddress = a@b.example\ntype = pop3\n");
  EXPECT_FALSE(Load(&error));
  EXPECT_NE(error.find(L"mailbox.ini: line 1: the [account] has no server"), std::wstring::npos);

  Write("mailbox.ini",
        "[account]\naddress = a@b.example\ntype = pop3\nserver = p\nfolders = Missing\n");
  EXPECT_FALSE(Load(&error));
  EXPECT_NE(error.find(L"folder \"Missing\" of account a@b.example does not exist"),
            std::wstring::npos);

  Write("mailbox.ini", "explorer = Elsewhere\n[account]\naddress = a@b\ntype = pop3\nserver = p\n");
  EXPECT_FALSE(Load(&error));
  EXPECT_NE(error.find(L"explorer folder \"Elsewhere\" does not exist"), std::wstring::npos);

  Write("mailbox.ini",
        "[account]\naddress = a@b\ntype = pop3\nserver = p\n[session]\nopen = Inbox/gone.eml\n");
  EXPECT_FALSE(Load(&error));
  EXPECT_NE(error.find(L"line 6: no message \"Inbox/gone.eml\" in the mailbox"), std::wstring::npos)
      << WideToUtf8(error);
  Write("mailbox.ini",
        "[account]\naddress = a@b\ntype = pop3\nserver = p\n[session]\nswitch = Nowhere\n");
  EXPECT_FALSE(Load(&error));
  EXPECT_NE(error.find(L"line 6: no folder \"Nowhere\" in the mailbox"), std::wstring::npos);

  // A session step cannot name a message that was left out.
  Write("Inbox/broken.eml", "\x89PNG not a message");
  Write("mailbox.ini",
        "[account]\naddress = a@b\ntype = pop3\nserver = p\n[session]\nopen = Inbox/broken.eml\n");
  EXPECT_FALSE(Load(&error));
  EXPECT_NE(error.find(L"line 6: message \"Inbox/broken.eml\" cannot be read"), std::wstring::npos)
      << WideToUtf8(error);
}

TEST_F(MailboxLoaderTest, UnreadableMessagesAreListedAndTheOthersLoaded) {
  Write("mailbox.ini", "[account]\naddress = a@b\ntype = pop3\nserver = p\n");
  Write("Inbox/a-good.eml", Message("a@x.example", "Tue, 4 Mar 2025 10:00:00 +0000"));
  Write("Inbox/b-broken.eml", "\x89PNG not a message");
  Write("Inbox/c-empty.eml", "");
  Write("Inbox/d-blank-first.eml", " \r\n" + Message("d@x.example", "Tue, 4 Mar 2025 +0000"));
  Write("Other/e-blank.eml", "\r\n\r\n");
  Write("Other/f-good.eml", Message("f@x.example", "Tue, 4 Mar 2025 10:00:00 +0000"));
  std::wstring error;
  ASSERT_TRUE(Load(&error)) << WideToUtf8(error);
  std::vector<std::wstring> loaded;
  for (const auto& folder : sim().outlook.folders) {
    for (const auto& item : folder->items)
      loaded.push_back(item->senderEmailAddress);
  }
  EXPECT_EQ(loaded, (std::vector<std::wstring>{L"a@x.example", L"d@x.example", L"f@x.example"}));
  std::vector<std::wstring> reported;
  for (const UnreadableFile& file : m_unreadable) {
    reported.push_back(PathText(NativePath(file.path).filename()) + L": " + file.reason);
  }
  EXPECT_EQ(reported, (std::vector<std::wstring>{
                          L"b-broken.eml: no header field at the start: not a mail message",
                          L"c-empty.eml: the file is empty",
                          L"e-blank.eml: the file holds only white space"}));
}

// --- The example mailbox ------------------------------------------------------------------

const fs::path kExamples = TP_EXAMPLES_DIR;

struct ExpectedMessage {
  const wchar_t* folder;
  const wchar_t* file;
  const wchar_t* sender;
  const wchar_t* header;    // a header the provider's analysis reads
  const wchar_t* bodyText;  // text the plain body holds
  const wchar_t* messageClass;
};

const ExpectedMessage kExpected[] = {
    {L"Gmail", L"01-acme-dkim-pass.eml", L"deals@acmetravel.example",
     L"\nAuthentication-Results: mx.google.com;", L"Lisbon start at \u20AC89", L"IPM.Note"},
    {L"Gmail", L"02-kestrel-active-content.eml", L"alerts@kestrelbank.example",
     L"\nAuthentication-Results: mx.google.com;",
     L"[APPointer: res=https://content.kestrelbank.example/statement/8841; pos=message "
     L":APPointer]",
     L"IPM.Note"},
    {L"Gmail", L"03-acme-esp-signer.eml", L"news@mail.acmetravel.example",
     L"header.i=@sendwave-esp.example", L"Three nights in Porto", L"IPM.Note"},
    {L"Gmail", L"04-kestrel-foreign-signer.eml", L"security@kestrelbank.example",
     L"header.i=@bulk-relay.example", L"confirm your account details", L"IPM.Note"},
    {L"Gmail", L"05-acme-not-google.eml", L"deals@acmetravel.example",
     L"\nAuthentication-Results: mx.mailrelay.example;", L"Only four seats left", L"IPM.Note"},
    {L"Gmail", L"06-blueheron-inline-image.eml", L"hello@blueheronbooks.example",
     L"header.i=@blueheronbooks.example", L"field guide to shore birds", L"IPM.Note"},
    {L"Gmail", L"07-unlisted-sender.eml", L"digest@harborweekly.example",
     L"\nAuthentication-Results: mx.google.com;", L"ferry timetable", L"IPM.Note"},
    {L"Gmail", L"08-lumen-signed.eml", L"billing@lumenenergy.example",
     L"header.i=@lumen-mailer.example", L"bill for February is 64.20",
     L"IPM.Note.SMIME.MultipartSigned"},
    {L"Hotmail", L"01-acme-dkim-pass.eml", L"deals@acmetravel.example",
     L"\nAuthentication-Results: hotmail.com; sender-id=pass", L"Booking confirmed\r\nSam, your",
     L"IPM.Note"},
    {L"Hotmail", L"02-blueheron-spf-only.eml", L"orders@blueheronbooks.example",
     L"dkim=none (message not signed)", L"\u201CThe Tide Pools\u201D has shipped \u2013",
     L"IPM.Note"},
    {L"Hotmail", L"03-kestrel-spf-not-allowed.eml", L"alerts@kestrelbank.example",
     L"smtp.mailfrom=notices@kestrelbank.example", L"Harbor Cafe", L"IPM.Note"},
    {L"Hotmail", L"04-lumen-xauth-pass.eml", L"service@lumenenergy.example",
     L"\nX-AUTH-Result: PASS\r\n", L"read your meter", L"IPM.Note"},
    {L"Hotmail", L"05-acme-softfail-spoof.eml", L"offers@acmetravel.example", L"spf=softfail",
     L"Claim your cruise", L"IPM.Note"},
    {L"Hotmail", L"06-acme-exchange-online.eml", L"deals@acmetravel.example",
     L"\nAuthentication-Results: spf=pass (sender IP is 192.0.2.44)", L"Lisbon and Porto",
     L"IPM.Note"},
    {L"Hotmail", L"07-kestrel-forged-hop.eml", L"alerts@kestrelbank.example",
     L"CO1PEPF000099AA.Mail.Protection.Outlook.com.", L"new device", L"IPM.Note"},
    {L"Yahoo", L"01-acme-dkim-pass.eml", L"deals@acmetravel.example",
     L"yahoo.com  from=acmetravel.example; domainkeys=neutral", L"Rail passes", L"IPM.Note"},
    {L"Yahoo", L"02-blueheron-domainkeys.eml", L"hello@blueheronbooks.example",
     L"domainkeys=pass (ok)", L"at the caf\u00E9 on Thursday", L"IPM.Note"},
    {L"Yahoo", L"03-kestrel-softfail.eml", L"alerts@kestrelbank.example",
     L"\nReceived-SPF: softfail", L"unusual sign-in", L"IPM.Note"},
    {L"Yahoo", L"04-lumen-sidebar-content.eml", L"usage@lumenenergy.example",
     L"from=lumenenergy.example; dkim=pass", L"pos=sidebar :APPointer]", L"IPM.Note"},
    {L"Yahoo", L"05-kestrel-atlas.eml", L"alerts@kestrelbank.example",
     L"\nAuthentication-Results: atlas210.free.mail.bf1.yahoo.com;", L"statement for March",
     L"IPM.Note"},
    {L"AOL", L"01-acme-dkim-pass.eml", L"deals@acmetravel.example",
     L"\nX-AOL-SPF: domain : acmetravel.example SPF : pass\r\n", L"canal tour", L"IPM.Note"},
    {L"AOL", L"02-kestrel-no-verdicts.eml", L"alerts@kestrelbank.example", L"\nX-AOL-IP:",
     L"Your card has been blocked", L"IPM.Note"},
    {L"AOL", L"03-blueheron-atlas-spf.eml", L"orders@blueheronbooks.example",
     L"\nAuthentication-Results: atlas101.aol.mail.bf1.yahoo.com;", L"three books", L"IPM.Note"},
    {L"Exchange", L"01-acme-on-exchange.eml", L"deals@acmetravel.example",
     L"\nAuthentication-Results: mx.google.com;", L"pos=message :APPointer]", L"IPM.Note"},
    {L"Exchange", L"02-internal-memo.eml", L"robin.sample@harborworks.example",
     L"\r\nSubject: Dock schedule", L"dock closes early", L"IPM.Note"},
};

class ExampleMailboxTest : public testing::SimHostTest {
 protected:
  void SetUp() override {
    m_window = sim().ui.CreateWindow(L"Explorer");
    std::wstring error;
    std::vector<UnreadableFile> unreadable;
    ASSERT_TRUE(
        LoadMailbox(PathText(kExamples / "mailbox"), sim().outlook, m_window, &unreadable, &error))
        << WideToUtf8(error);
    EXPECT_TRUE(unreadable.empty());
  }
  WindowHandle m_window = 0;
};

TEST_F(ExampleMailboxTest, EveryMessageLoadsWithSenderHeadersAndBody) {
  SimOutlook& outlook = sim().outlook;
  auto ns = [&] {
    HResult result = 0;
    return outlook.Application()->GetNamespace(L"MAPI", &result);
  }();
  size_t received = 0;
  for (const auto& each : outlook.folders) {
    if (each != outlook.outbox)
      received += each->items.size();
  }
  EXPECT_EQ(received, std::size(kExpected));
  for (const ExpectedMessage& expected : kExpected) {
    SCOPED_TRACE(WideToUtf8(std::wstring(expected.folder) + L"/" + expected.file));
    HResult result = 0;
    auto item = ns->GetItemFromId(
        EntryIdForName(std::wstring(expected.folder) + L"/" + expected.file), &result);
    ASSERT_TRUE(item);
    auto mail = item->AsMailItem();
    ASSERT_TRUE(mail);
    EXPECT_EQ(mail->SenderEmailAddress(), expected.sender);
    EXPECT_FALSE(mail->Subject().empty());
    auto message = mail->MapiObject();
    PropValue value;
    ASSERT_EQ(message->GetProp(kPrSentRepresentingEmailAddressW, &value), hr::kOk);
    EXPECT_EQ(value.text, expected.sender);
    ASSERT_EQ(message->GetProp(kPrTransportMessageHeadersW, &value), hr::kOk);
    EXPECT_NE(value.text.find(expected.header), std::wstring::npos);
    EXPECT_EQ(value.text.find(L"\r\n\r\n"), std::wstring::npos);  // no blank line inside
    ASSERT_EQ(message->GetProp(kPrMessageClassW, &value), hr::kOk);
    EXPECT_EQ(value.text, expected.messageClass);
    std::string body;
    ASSERT_EQ(message->ReadStream(kPrBodyW, &body), hr::kOk);
    EXPECT_NE(Utf16LeToWide(body).find(expected.bodyText), std::wstring::npos)
        << WideToUtf8(Utf16LeToWide(body));
    EXPECT_GT(mail->Size(), 0);
  }
}

TEST_F(ExampleMailboxTest, AccountsFoldersAndSpecialMessages) {
  SimOutlook& outlook = sim().outlook;
  ASSERT_EQ(outlook.accounts.size(), 5u);
  EXPECT_EQ(outlook.accounts[1].name, L"sam.sample@hotmail.com");
  EXPECT_EQ(outlook.accounts[1].incomingServer, L"pop-mail.outlook.com");
  EXPECT_EQ(outlook.activeExplorer->currentFolder->name, L"Gmail");
  EXPECT_EQ(outlook.activeExplorer->window, m_window);

  auto find = [&](const std::wstring& folder, const std::wstring& file) {
    return outlook.FindMail(EntryIdForName(folder + L"/" + file));
  };
  const auto exchange = find(L"Exchange", L"01-acme-on-exchange.eml");
  EXPECT_EQ(exchange->account->accountType, 0);
  EXPECT_EQ(exchange->props.at(kPrReceivedByAddrTypeW).text, L"EX");
  EXPECT_EQ(find(L"Hotmail", L"01-acme-dkim-pass.eml")->account->accountType, 2);
  EXPECT_EQ(find(L"AOL", L"01-acme-dkim-pass.eml")->props.at(kPrReceivedByEmailAddressW).text,
            L"pat.sample@aol.com");

  const auto heron = find(L"Gmail", L"06-blueheron-inline-image.eml");
  ASSERT_EQ(heron->attachments.size(), 1u);
  EXPECT_EQ(heron->attachments[0].contentId, L"heron-logo@blueheronbooks.example");
  EXPECT_EQ(heron->attachments[0].fileName, L"heron-logo.png");
  EXPECT_EQ(heron->attachments[0].bytes.substr(0, 8), "\x89PNG\r\n\x1A\n");
  EXPECT_NE(heron->props.at(kPrHtml).bytes.find("cid:heron-logo@blueheronbooks.example"),
            std::string::npos);

  const auto signedBill = find(L"Gmail", L"08-lumen-signed.eml");
  ASSERT_EQ(signedBill->attachments.size(), 1u);
  EXPECT_EQ(signedBill->attachments[0].bytes.rfind("Content-Type: multipart/signed;", 0), 0u);

  const auto shipped = find(L"Hotmail", L"02-blueheron-spf-only.eml");
  EXPECT_EQ(shipped->senderName, L"Blue Heron Books \u2013 Orders");
  EXPECT_EQ(shipped->subject, L"Your order \u201CThe Tide Pools\u201D has shipped");
  EXPECT_EQ(shipped->internetCodepage, 1252);

  ASSERT_EQ(outlook.outbox->items.size(), 1u);
  EXPECT_FALSE(outlook.outbox->items[0]->sent);
  EXPECT_EQ(outlook.outbox->items[0]->account->smtpAddress, L"jane.sample@gmail.com");
}

TEST(ExampleSendersListTest, EnvelopeStartsWithTheDeclarationAndCarriesTheBrands) {
  const std::string xml = testing::ReadFileBytes(kExamples / "sendersList.xml");
  EXPECT_EQ(xml.rfind("<?xml", 0), 0u);  // no byte-order mark or space before it
  const size_t start = xml.find("<branding><![CDATA[");
  ASSERT_NE(start, std::string::npos);
  const std::string json = xml.substr(start, xml.find("]]></branding>") - start);
  for (const char* brand :
       {"\"Acme Travel\"", "\"Blue Heron Books\"", "\"Kestrel Bank\"", "\"Lumen Energy\""}) {
    EXPECT_NE(json.find(brand), std::string::npos) << brand;
  }
  EXPECT_EQ(json.find('\''), std::string::npos);  // apostrophes would become quotes
}

}  // namespace
}  // namespace tp::host::sim
