// The branding decision and the mail check, through the add-in object on a simulated Outlook.
#include "addin/mail_check.h"

#include <gtest/gtest.h>

#include <algorithm>

#include "addin/add_in_fixture.h"
#include "branding/active_content.h"
#include "host/mapi.h"
#include "platform/process_state.h"
#include "platform/registry_values.h"
#include "platform/timer_ids.h"
#include "provider_blocks.h"

namespace tp {
namespace {

using host::sim::SimMail;

// Records what the mail check hands to the display.
class RecordingDisplay final : public OutlookViewDisplay {
 public:
  struct Shown {
    CheckedMessage message;
    bool inInspector;
  };
  // `pagesFor`: for each look into the message's own content, whether the sender was known
  // to be branded by then.
  RecordingDisplay(std::vector<Shown>* shown, std::vector<bool>* pagesFor)
      : m_shown(shown), m_pagesFor(pagesFor) {}
  bool CheckTideEmbed(host::MailItem&, bool, CheckedMessage* message) override {
    m_pagesFor->push_back(message->senderBranded);
    return false;
  }
  void ShowBrisklet(const CheckedMessage& message, bool inInspector) override {
    m_shown->push_back({message, inInspector});
  }

 private:
  std::vector<Shown>* m_shown;
  std::vector<bool>* m_pagesFor;
};

constexpr wchar_t kPassing[] =
    L"mx.google.com; dkim=pass header.i=@acme.example; spf=pass (google.com: domain of "
    L"bounce@acme.example designates 192.0.2.1 as permitted sender) "
    L"smtp.mailfrom=bounce@acme.example";

class MailCheckTest : public testing::AddinTest {
 protected:
  void Start(const std::wstring& branding =
                 L"{\"branding\":[{\"name\":\"Acme\",\"domain\":\"acme.example\"}]}") {
    WriteSendersList(branding);
    AddinOptions options = QuietOptions();
    options.display = std::make_unique<RecordingDisplay>(&shown, &pagesFor);
    Create(std::move(options));
    ASSERT_EQ(Connect(), hr::kOk);
    ASSERT_FALSE(connect->branding_list().senders().empty());
  }
  static std::wstring ClassOf(const SimMail& mail) {
    return mail.props.at(host::kPrMessageClassW).text;
  }
  bool Brand(const std::shared_ptr<SimMail>& mail, bool viewed = false) {
    return connect->BrandMailItem(*Item(mail), viewed);
  }
  const BrandingDecision& Decision() const { return *connect->last_decision(); }
  std::vector<RecordingDisplay::Shown> shown;
  std::vector<bool> pagesFor;
};

TEST_F(MailCheckTest, AnAuthenticMessageGetsItsBrandedClassAndFormRegion) {
  Start();
  auto mail = AddGmailMessage(L"m1", L"news@acme.example", kPassing);
  sim().outlook.saveCostMs = 4;
  EXPECT_TRUE(Brand(mail));
  EXPECT_EQ(ClassOf(*mail), L"IPM.Note.Tidepost.Acme");
  EXPECT_EQ(mail->saveFlags, std::vector<uint32_t>{host::kKeepOpenReadWrite});
  EXPECT_EQ(sim().ui.waitCursorShown, 1);
  EXPECT_EQ(sim().ui.cursor(), host::sim::SimUiThread::kArrowCursor);
  EXPECT_TRUE(
      Logged(L"Header analysis result: Mail provider=@gmail.com, SPF=pass, "
             L"SPFDomain=acme.example, DKIM=pass, DKIMDomain=acme.example"));
  EXPECT_TRUE(
      Logged(L"Branding message for sender Acme SPF=pass, DKIM=pass, DKIMDomain=acme.example"));
  EXPECT_TRUE(
      Logged(L"Done saving item with new message class IPM.Note.Tidepost.Acme. "
             L"Took 4 ms (256 KB/Sec). Result=0x"));
  EXPECT_EQ(Decision().outcome, BrandingOutcome::kBrand);
  EXPECT_EQ(Decision().reason, BrandingReason::kVouchedByHeaders);
  EXPECT_EQ(Decision().vouchingDomain, L"acme.example");
  EXPECT_EQ(Decision().newClass, L"IPM.Note.Tidepost.Acme");
  EXPECT_TRUE(OpenRegistryKey(host::RegRoot::kCurrentUser,
                              L"Software\\Microsoft\\Office\\Outlook\\FormRegions\\"
                              L"IPM.Note.Tidepost.Acme",
                              host::RegAccess::kRead));
  EXPECT_EQ(connect->stats_cache().ReportedKind(L"m1"), 0);  // seen unread in a list
}

TEST_F(MailCheckTest, DkimFromAForeignSignerIsRefusedEvenWithPassingSpf) {
  Start(L"{\"branding\":[{\"name\":\"Acme\",\"domain\":\"acme.example\",\"spf\":1}]}");
  auto mail = AddGmailMessage(L"m1", L"news@acme.example",
                              L"mx.google.com; dkim=pass header.i=@esp.example; spf=pass "
                              L"(google.com: domain of b@acme.example designates x) x");
  EXPECT_FALSE(Brand(mail));
  EXPECT_EQ(Decision().reason, BrandingReason::kDkimSignerNotSender);
  EXPECT_EQ(ClassOf(*mail), L"IPM.Note");
  EXPECT_TRUE(mail->saveFlags.empty());
}

TEST_F(MailCheckTest, SpfVouchesOnlyForEntriesThatAllowIt) {
  const std::wstring spfOnly =
      L"mx.google.com; dkim=neutral header.i=@acme.example; spf=pass (google.com: domain of "
      L"b@mail.acme.example designates 192.0.2.1 as permitted sender) "
      L"smtp.mailfrom=b@mail.acme.example";
  Start();
  EXPECT_FALSE(Brand(AddGmailMessage(L"m1", L"news@acme.example", spfOnly)));
  EXPECT_EQ(Decision().reason, BrandingReason::kNoPass);
  Destroy();
  Start(L"{\"branding\":[{\"name\":\"Acme\",\"domain\":\"acme.example\",\"spf\":false}]}");
  EXPECT_TRUE(Brand(AddGmailMessage(L"m2", L"news@acme.example", spfOnly)));
  EXPECT_FALSE(Brand(AddGmailMessage(
      L"m3", L"news@acme.example",
      L"mx.google.com; spf=pass (google.com: domain of b@evil.example designates x) "
      L"smtp.mailfrom=b@evil.example")));
  EXPECT_EQ(Decision().reason, BrandingReason::kSpfDomainNotSender);
}

TEST_F(MailCheckTest, ABrandedMessageIsNotSavedAgainButItsRegionIsRestored) {
  Start();
  auto mail = AddGmailMessage(L"m1", L"news@acme.example", kPassing);
  mail->SetProp(host::kPrMessageClassW, L"IPM.Note.SMIME.Tidepost.Acme");
  EXPECT_FALSE(Brand(mail, true));
  EXPECT_EQ(Decision().outcome, BrandingOutcome::kKeepBrandedClass);
  EXPECT_EQ(Decision().reason, BrandingReason::kVouchedByHeaders);
  EXPECT_TRUE(Logged(L"Registering new form region SMIME.Tidepost.Acme.SMIME"));
  EXPECT_TRUE(mail->saveFlags.empty());
  EXPECT_EQ(connect->stats_cache().ReportedKind(L"m1"), 2);  // opened in a viewer
}

TEST_F(MailCheckTest, ABrandedClassTheEvidenceDoesNotBearOutIsTakenBack) {
  Start(
      L"{\"branding\":[{\"name\":\"Acme\",\"domain\":\"acme.example\"},"
      L"{\"name\":\"Evil\",\"domain\":\"evil.example\"}]}");
  const wchar_t* evilPasses = L"mx.google.com; dkim=pass header.i=@evil.example";
  const struct {
    const char* name;
    const wchar_t* sender;
    const wchar_t* verdict;
    const wchar_t* forgedClass;
    const wchar_t* restored;
    BrandingReason reason;
  } cases[] = {
      {"an unlisted sender", L"news@unlisted.example", kPassing, L"IPM.Note.Tidepost.Acme",
       L"IPM.Note", BrandingReason::kClassBrandNotSender},
      {"no sender address at all", L"", kPassing, L"IPM.Note.Tidepost.Acme", L"IPM.Note",
       BrandingReason::kClassBrandNotSender},
      {"the brand's sender without a passing verdict", L"news@acme.example",
       L"mx.google.com; dkim=fail header.i=@acme.example", L"IPM.Note.Tidepost.Acme", L"IPM.Note",
       BrandingReason::kNoPass},
      {"another listed brand's authentic mail", L"news@evil.example", evilPasses,
       L"IPM.Note.Tidepost.Acme", L"IPM.Note", BrandingReason::kClassBrandNotSender},
      {"a signed form", L"news@evil.example", evilPasses,
       L"IPM.Note.SMIME.MultipartSigned.Tidepost.Acme.SMIME.MultipartSigned",
       L"IPM.Note.SMIME.MultipartSigned", BrandingReason::kClassBrandNotSender},
      {"an opaque signed form that lost its suffix", L"news@evil.example", evilPasses,
       L"IPM.Note.SMIME.Tidepost.Acme", L"IPM.Note.SMIME", BrandingReason::kClassBrandNotSender},
  };
  int serial = 0;
  for (const auto& c : cases) {
    const std::wstring id = L"f" + std::to_wstring(++serial);
    auto mail = AddGmailMessage(id, c.sender, c.verdict);
    mail->SetProp(host::kPrMessageClassW, c.forgedClass);
    EXPECT_FALSE(Brand(mail, true)) << c.name;
    EXPECT_EQ(ClassOf(*mail), c.restored) << c.name;
    EXPECT_EQ(mail->saveFlags, std::vector<uint32_t>{host::kKeepOpenReadWrite}) << c.name;
    EXPECT_EQ(Decision().outcome, BrandingOutcome::kRestoreClass) << c.name;
    EXPECT_EQ(Decision().reason, c.reason) << c.name;
    EXPECT_EQ(Decision().newClass, c.restored) << c.name;
    EXPECT_TRUE(Logged(std::wstring(L"Message class ") + c.forgedClass +
                       L" is not vouched for by this message's own evidence; restoring class " +
                       c.restored))
        << c.name;
    EXPECT_FALSE(connect->stats_cache().ReportedKind(id)) << c.name;
  }
  // Taken back, authentic mail of another brand then gets its own class.
  auto evil = AddGmailMessage(L"f9", L"news@evil.example", evilPasses);
  evil->SetProp(host::kPrMessageClassW, L"IPM.Note.Tidepost.Acme");
  EXPECT_FALSE(Brand(evil));
  EXPECT_TRUE(Brand(evil));
  EXPECT_EQ(ClassOf(*evil), L"IPM.Note.Tidepost.Evil");
}

TEST_F(MailCheckTest, ABrandedClassTheListCannotJudgeIsLeftAlone) {
  Start();
  auto gone = AddGmailMessage(L"m1", L"news@acme.example", kPassing);
  gone->SetProp(host::kPrMessageClassW, L"IPM.Note.Tidepost.Gone");
  auto unlisted = AddGmailMessage(L"m2", L"news@unlisted.example", kPassing);
  unlisted->SetProp(host::kPrMessageClassW, L"IPM.Note.Tidepost.Gone");
  for (const auto& mail : {gone, unlisted}) {
    EXPECT_FALSE(Brand(mail, true));
    EXPECT_EQ(ClassOf(*mail), L"IPM.Note.Tidepost.Gone");
    EXPECT_TRUE(mail->saveFlags.empty());
    EXPECT_EQ(Decision().outcome, BrandingOutcome::kLeave);
    EXPECT_EQ(Decision().reason, BrandingReason::kClassBrandNotListed);
  }
  EXPECT_FALSE(connect->stats_cache().ReportedKind(L"m1"));

  // Nothing is taken back while the list is empty (not loaded yet, or unusable).
  Destroy();
  WriteSendersList(L"{\"branding\":[]}");
  Create(QuietOptions());
  ASSERT_EQ(Connect(), hr::kOk);
  auto early = AddGmailMessage(L"m3", L"news@unlisted.example", kPassing);
  early->SetProp(host::kPrMessageClassW, L"IPM.Note.Tidepost.Acme");
  EXPECT_FALSE(Brand(early));
  EXPECT_EQ(ClassOf(*early), L"IPM.Note.Tidepost.Acme");
  EXPECT_TRUE(early->saveFlags.empty());
}

TEST_F(MailCheckTest, SignedMessagesKeepTheirSmimeClassesAndRegisterThreeRegions) {
  Start();
  auto mail = AddGmailMessage(L"m1", L"news@acme.example", kPassing);
  mail->SetProp(host::kPrMessageClassW, L"IPM.Note.SMIME.MultipartSigned");
  EXPECT_TRUE(Brand(mail));
  EXPECT_EQ(ClassOf(*mail), L"IPM.Note.SMIME.MultipartSigned.Tidepost.Acme.SMIME.MultipartSigned");
  EXPECT_TRUE(Logged(L"Registering new form region SMIME.Tidepost.Acme.SMIME"));
  EXPECT_TRUE(Logged(
      L"Registering new form region SMIME.MultipartSigned.Tidepost.Acme.SMIME.MultipartSigned"));
}

TEST_F(MailCheckTest, AChangedObjectIsSavedByForceAndAFailedSaveLeavesTheMessageAlone) {
  Start();
  auto forced = AddGmailMessage(L"m1", L"news@acme.example", kPassing);
  forced->saveResults = {hr::kMapiObjectChanged};
  EXPECT_TRUE(Brand(forced));
  EXPECT_EQ(forced->saveFlags, (std::vector<uint32_t>{host::kKeepOpenReadWrite, host::kForceSave}));
  EXPECT_EQ(ClassOf(*forced), L"IPM.Note.Tidepost.Acme");

  auto failed = AddGmailMessage(L"m2", L"news@acme.example", kPassing);
  failed->saveResults = {hr::kMapiObjectChanged, static_cast<HResult>(0x80040102)};
  EXPECT_FALSE(Brand(failed));
  EXPECT_TRUE(
      Logged(L"Done saving item with new message class IPM.Note.Tidepost.Acme. "
             L"Took 0 ms (1025 KB/Sec). Result=80040102x"));
  EXPECT_TRUE(Logged(L"The new message class was not saved; the message keeps its class IPM.Note"));
  EXPECT_EQ(ClassOf(*failed), L"IPM.Note");
  EXPECT_FALSE(connect->stats_cache().ReportedKind(L"m2"));  // nothing reported as branded
  EXPECT_EQ(connect->stats_cache().ReportedKind(L"m1"), 0);
}

TEST_F(MailCheckTest, NothingIsWrittenOnceQuitHasBegun) {
  Start();
  auto mail = AddGmailMessage(L"m1", L"news@acme.example", kPassing);
  g_hStopEvent->Set();
  EXPECT_FALSE(Brand(mail));
  EXPECT_EQ(ClassOf(*mail), L"IPM.Note");
  EXPECT_FALSE(connect->stats_cache().ReportedKind(L"m1"));
}

TEST_F(MailCheckTest, MessagesWithoutHeadersOrFromExchangeAreRefused) {
  Start();
  auto noHeaders = AddGmailMessage(L"m1", L"news@acme.example", kPassing);
  noHeaders->props.erase(host::kPrTransportMessageHeadersW);
  EXPECT_FALSE(Brand(noHeaders));
  // Without headers From cannot be read one way: the message names no sender.
  EXPECT_EQ(Decision().reason, BrandingReason::kNoSender);
  EXPECT_EQ(DescribeBrandingReason(Decision()), L"Failed getting transport headers");

  auto exchange = AddGmailMessage(L"m2", L"news@acme.example", kPassing);
  exchange->account->accountType = 0;
  EXPECT_FALSE(Brand(exchange));
  EXPECT_EQ(Decision().reason, BrandingReason::kExchangeNotSigned);
  EXPECT_FALSE(Decision().senderListed);
}

TEST_F(MailCheckTest, AClassTooLongForTheStoreIsLeftAlone) {
  const std::wstring name(250, L'n');
  Start(L"{\"branding\":[{\"name\":\"" + name + L"\",\"domain\":\"acme.example\"}]}");
  auto mail = AddGmailMessage(L"m1", L"news@acme.example", kPassing);
  EXPECT_FALSE(Brand(mail));
  EXPECT_EQ(ClassOf(*mail), L"IPM.Note");
}

TEST_F(MailCheckTest, CheckFindsTheActiveContentAndShowsTheMessage) {
  Start();
  auto mail = AddGmailMessage(L"m1", L"news@acme.example", kPassing);
  mail->SetProp(host::kPrBodyW, L"Hi [APPointer: res=42 :APPointer]");
  connect->CheckMailItem(*Item(mail), true);
  ASSERT_EQ(shown.size(), 1u);
  const CheckedMessage& checked = shown[0].message;
  EXPECT_TRUE(shown[0].inInspector);
  EXPECT_EQ(checked.entryId, L"m1");
  EXPECT_TRUE(checked.pointerFound);
  EXPECT_TRUE(checked.activeWanted);
  EXPECT_TRUE(checked.messageMode);
  EXPECT_NE(checked.page.find(L"[APPointer:res=42:APPointer]"), std::wstring::npos);
  EXPECT_EQ(checked.subject, L"Subject of m1");
  EXPECT_EQ(checked.senderAddress, L"news@acme.example");
  EXPECT_EQ(checked.account, L"@gmail.com");
  EXPECT_EQ(checked.provider, L"gmail");
  EXPECT_TRUE(Logged(L"Checking branding"));
  EXPECT_EQ(ClassOf(*mail), L"IPM.Note.Tidepost.Acme");
}

TEST_F(MailCheckTest, TheMessagesOwnPageIsBuiltKnowingWhetherTheDecisionVouchesForItsSender) {
  Start();
  const struct {
    const char* name;
    const wchar_t* sender;
    const wchar_t* verdict;
    const wchar_t* messageClass;
    bool branded;
  } cases[] = {
      {"branded now", L"news@acme.example", kPassing, L"IPM.Note", true},
      {"a branded class borne out again", L"news@acme.example", kPassing, L"IPM.Note.Tidepost.Acme",
       true},
      {"a branded class taken back", L"news@unlisted.example", kPassing, L"IPM.Note.Tidepost.Acme",
       false},
      {"a branded class the list cannot judge", L"news@acme.example", kPassing,
       L"IPM.Note.Tidepost.Gone", false},
      {"a listed sender without a passing verdict", L"news@acme.example",
       L"mx.google.com; dkim=fail header.i=@acme.example", L"IPM.Note", false},
      {"an unlisted sender", L"news@unlisted.example", kPassing, L"IPM.Note", false},
  };
  int serial = 0;
  for (const auto& c : cases) {
    auto mail = AddGmailMessage(L"p" + std::to_wstring(++serial), c.sender, c.verdict);
    mail->SetProp(host::kPrMessageClassW, c.messageClass);
    connect->CheckMailItem(*Item(mail), false);
    ASSERT_EQ(pagesFor.size(), static_cast<size_t>(serial)) << c.name;
    EXPECT_EQ(pagesFor.back(), c.branded) << c.name;
    EXPECT_EQ(shown.back().message.senderBranded, c.branded) << c.name;
  }
  // The please-wait page is our own: the same whoever the sender.
  auto pointed = AddGmailMessage(L"w", L"news@unlisted.example", kPassing);
  pointed->SetProp(host::kPrBodyW, L"Hi [APPointer: res=42 :APPointer]");
  connect->CheckMailItem(*Item(pointed), false);
  EXPECT_EQ(pagesFor.size(), std::size(cases));
  EXPECT_FALSE(shown.back().message.senderBranded);
  EXPECT_EQ(shown.back().message.page, BuildPleaseWaitPage(L"res=42"));
}

TEST_F(MailCheckTest, CheckStopsEarlyForComposedEmptyAndHeaderOnlyMessages) {
  Start();
  auto compose = AddGmailMessage(L"c", L"me@gmail.com", kPassing);
  compose->sent = false;
  connect->CheckMailItem(*Item(compose), true);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_TRUE(shown[0].message.compose);
  EXPECT_TRUE(Logged(L"Inspector is of a compose window Ignoring"));

  auto empty = AddGmailMessage(L"e", L"news@acme.example", kPassing);
  empty->SetProp(host::kPrBodyW, L"");
  connect->CheckMailItem(*Item(empty), false);
  EXPECT_EQ(shown.size(), 2u);
  EXPECT_TRUE(Logged(L"Empty message body. Ignoring"));

  auto headerOnly = AddGmailMessage(L"h", L"news@acme.example", kPassing);
  headerOnly->downloadState = host::kOlHeaderOnly;
  connect->CheckMailItem(*Item(headerOnly), false);
  EXPECT_EQ(shown.size(), 2u);  // nothing shown until the re-check
  EXPECT_TRUE(Logged(L"Message was not fully downloaded. Ignoring"));
  EXPECT_EQ(sim().ui.TimeUntil(explorerWindow, kTimerRecheckSelection), 100);
  EXPECT_EQ(ClassOf(*empty), L"IPM.Note");
}

TEST_F(MailCheckTest, LinkedInSendersAreKnownByOneAddress) {
  Start();
  auto mail = AddGmailMessage(L"l", L"invitations@e.linkedin.com", kPassing);
  connect->CheckMailItem(*Item(mail), false);
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_EQ(shown[0].message.senderAddress, L"messages-noreply@linkedin.com");
  EXPECT_TRUE(Logged(L"Did not find a valid pointer and message does not contain an active link"));
}

TEST_F(MailCheckTest, SelectionChecksEachNewlySelectedMailOnce) {
  Start();
  auto first = AddGmailMessage(L"m1", L"news@acme.example", kPassing);
  auto second = AddGmailMessage(L"m2", L"news@acme.example", kPassing);
  auto& selection = sim().outlook.activeExplorer->selection;
  selection = {first};
  sim().outlook.RaiseSelectionChange();
  sim().outlook.RaiseSelectionChange();
  EXPECT_EQ(shown.size(), 1u);
  EXPECT_TRUE(Logged(L"OnExplorerSelectionChange: m1"));
  selection = {first, second};
  sim().outlook.RaiseSelectionChange();
  EXPECT_EQ(connect->current_entry_id(), L"");
  selection = {first};
  sim().outlook.RaiseSelectionChange();
  EXPECT_EQ(shown.size(), 2u);
  sim().outlook.activeExplorer->currentFolder = sim().outlook.outbox;
  selection = {second};
  sim().outlook.RaiseSelectionChange();
  EXPECT_EQ(shown.size(), 2u);
}

TEST_F(MailCheckTest, OpenedMailIsCheckedInItsInspector) {
  Start();
  auto mail = AddGmailMessage(L"m1", L"news@acme.example", kPassing);
  sim().outlook.RaiseNewInspector(sim().outlook.OpenInspector(mail));
  ASSERT_EQ(shown.size(), 1u);
  EXPECT_TRUE(shown[0].inInspector);
  EXPECT_TRUE(Logged(L"NewInspector: m1"));
  EXPECT_EQ(connect->stats_cache().ReportedKind(L"m1"), 2);
}

// A message received by `account` whose transport headers are `headers`.
std::shared_ptr<SimMail> AddMessage(host::sim::SimHost& sim, const std::wstring& entryId,
                                    const std::wstring& account, const std::wstring& sender,
                                    const std::wstring& headers) {
  SimMail mail;
  mail.entryId = entryId;
  mail.senderEmailAddress = sender;
  mail.subject = L"Subject of " + entryId;
  mail.account = std::make_shared<host::sim::SimAccount>(host::sim::SimAccount{1, account, L""});
  mail.SetProp(host::kPrMessageClassW, L"IPM.Note");
  mail.SetProp(host::kPrBodyW, L"Hello");
  mail.SetProp(host::kPrTransportMessageHeadersW, headers);
  auto inbox = sim.outlook.AddFolder(L"Mail of " + account);
  return sim.outlook.AddMail(*inbox, mail);
}

constexpr wchar_t kGmailTrace[] =
    L"Received: from out.acme.example (out.acme.example. [192.0.2.1])\r\n"
    L"        by mx.google.com with ESMTPS id s1\r\n"
    L"        for <me@gmail.com>; Tue, 04 Mar 2025 01:02:11 -0800 (PST)\r\n";
constexpr wchar_t kHotmailTrace[] =
    L"Received: from out.acme.example ([192.0.2.1]) by BAY0-MC4-F10.Bay0.hotmail.com with "
    L"Microsoft SMTPSVC(6.0.3790.4900);\r\n\t Tue, 4 Mar 2025 01:02:11 -0800\r\n";
constexpr wchar_t kYahooTrace[] =
    L"Received: from 127.0.0.1  (EHLO out.acme.example) (192.0.2.1)\r\n"
    L"  by mta1380.mail.ne1.yahoo.com with SMTPS; Tue, 04 Mar 2025 20:45:51 +0000\r\n";
constexpr wchar_t kAolTrace[] =
    L"Received: from out.acme.example (out.acme.example [192.0.2.1])\r\n"
    L"\tby mtain-di06.r1000.mx.aol.com (Internet Inbound) with SMTP id B98\r\n"
    L"\tfor <me@aol.com>; Tue,  4 Mar 2025 15:12:11 -0400 (EDT)\r\n";
constexpr wchar_t kSenderFields[] =
    L"DKIM-Signature: v=1; a=rsa-sha256; d=acme.example; s=s1; b=abc\r\n"
    L"From: Acme <news@acme.example>\r\n";

struct DecisionCase {
  const char* name;
  const wchar_t* account;
  std::wstring headers;
  bool branded;
};

class DecisionTest : public MailCheckTest {
 protected:
  void ExpectDecisions(const std::vector<DecisionCase>& cases,
                       const wchar_t* sender = L"news@acme.example") {
    for (const DecisionCase& c : cases) {
      auto mail =
          AddMessage(sim(), L"d" + std::to_wstring(++m_serial), c.account, sender, c.headers);
      EXPECT_EQ(Brand(mail), c.branded) << c.name;
      EXPECT_EQ(ClassOf(*mail) != L"IPM.Note", c.branded) << c.name;
      decided.push_back(Decision());
    }
  }
  // Whether one of the decisions taken satisfies `test`.
  template <typename Test>
  bool AnyDecided(Test test) const {
    return std::any_of(decided.begin(), decided.end(), test);
  }
  bool AnyIgnored(const std::wstring& note) const {
    return AnyDecided([&note](const BrandingDecision& decision) {
      return decision.verdicts && std::count(decision.verdicts->ignored.begin(),
                                             decision.verdicts->ignored.end(), note) > 0;
    });
  }
  std::vector<BrandingDecision> decided;

 private:
  int m_serial = 0;
};

// Today's layouts of Outlook.com, Yahoo and AOL through the whole decision: one legitimate
// message and one refused attack per class, for the brand of the blocks' sender part.
TEST_F(DecisionTest, TodaysLayoutsAreBrandedOnlyOnTheProvidersOwnVerdicts) {
  Start(
      L"{\"branding\":[{\"name\":\"Bank\",\"domain\":\"bank.example\",\"spf\":1,"
      L"\"dkimSigners\":\"esp.example\"}]}");
  const std::wstring outlookPass =
      L"spf=pass (sender IP is 192.0.2.7) smtp.mailfrom=bank.example; dkim=pass (signature was "
      L"verified) header.d=bank.example;dmarc=pass action=none header.from=bank.example;"
      L"compauth=pass reason=100";
  const std::wstring outlookFail =
      L"spf=fail (sender IP is 192.0.2.9) smtp.mailfrom=evil.example; dkim=none (message not "
      L"signed) header.d=none;dmarc=pass action=none header.from=bank.example;compauth=pass "
      L"reason=130";
  const std::wstring forgedHop =
      L"Authentication-Results: spf=pass smtp.mailfrom=bank.example; dkim=pass "
      L"header.d=bank.example\r\n"
      L"Received: from a (192.0.2.9) by X1.Mail.Protection.Outlook.COM. with SMTP; date\r\n";
  const std::wstring yahooPass =
      L"atlas1.free.mail.bf1.yahoo.com; dkim=pass header.i=@esp.example header.s=s1 "
      L"arc_overridden_status=NOT_OVERRIDDEN; spf=pass smtp.mailfrom=esp.example";
  const std::wstring aolPass =
      L"atlas101.aol.mail.bf1.yahoo.com; dkim=pass header.i=@bank.example; spf=pass "
      L"smtp.mailfrom=bank.example";
  const wchar_t* aolAtlas = L"atlas101.aol.mail.bf1.yahoo.com";
  ExpectDecisions(
      {
          {"outlook: DKIM by the brand", L"me@outlook.com", testing::OutlookBlock(outlookPass),
           true},
          {"outlook: SPF only", L"me@hotmail.com",
           testing::OutlookBlock(L"spf=pass smtp.mailfrom=bounce.bank.example; dkim=none "
                                 L"header.d=none"),
           true},
          {"outlook: forged inbound hop below Outlook.com's", L"me@hotmail.com",
           testing::OutlookBlock(outlookFail, forgedHop + testing::kSenderPart), false},
          {"outlook: a foreign signer's pass", L"me@hotmail.com",
           testing::OutlookBlock(L"spf=pass smtp.mailfrom=bank.example; dkim=pass "
                                 L"header.d=other.example"),
           false},
          {"yahoo: the listed signer", L"me@yahoo.com", testing::YahooTodayBlock(yahooPass, L""),
           true},
          {"yahoo: a DKIM pass taken over from an ARC set", L"me@yahoo.com",
           testing::YahooTodayBlock(L"atlas1.free.mail.bf1.yahoo.com; dkim=pass "
                                    L"header.i=@bank.example arc_overridden_status=OVERRIDDEN",
                                    L""),
           false},
          {"yahoo: the sender's results below Yahoo's inbound hop", L"me@yahoo.com",
           testing::YahooTodayBlock(
               L"", L"", L"Authentication-Results: " + yahooPass + L"\r\n" + testing::kSenderPart),
           false},
          {"aol: AOL's atlas server", L"me@aol.com",
           testing::YahooTodayBlock(aolPass, L"", testing::kSenderPart, aolAtlas), true},
          {"aol: an appended run in today's layout", L"me@aol.com",
           testing::YahooTodayBlock(L"atlas101.aol.mail.bf1.yahoo.com; dkim=unknown; spf=none "
                                    L"smtp.mailfrom=evil.example",
                                    L"", testing::kSenderPart, aolAtlas) +
               testing::AolRun(L"domain : bank.example DKIM : pass",
                               L"domain : bank.example SPF : pass"),
           false},
      },
      L"news@bank.example");
  EXPECT_TRUE(AnyDecided([](const BrandingDecision& decision) {
    return decision.verdicts && decision.verdicts->layout == L"Outlook.com (Exchange Online)" &&
           decision.verdicts->inboundLine == 18;
  }));
  EXPECT_TRUE(AnyDecided([](const BrandingDecision& decision) {
    return decision.reason == BrandingReason::kDkimSignerNotSender;
  }));
  EXPECT_TRUE(
      AnyIgnored(L"the dkim verdict was taken over from an ARC set, not reached by Yahoo itself"));
}

TEST_F(DecisionTest, LegitimateMailOfEveryProviderStaysBranded) {
  Start(
      L"{\"branding\":[{\"name\":\"Acme\",\"domain\":\"acme.example\",\"spf\":1,"
      L"\"dkimSigners\":\"esp.example\"}]}");
  ExpectDecisions({
      {"gmail: several signatures, the ESP's last and unlisted one failing", L"me@gmail.com",
       std::wstring(kGmailTrace) +
           L"Authentication-Results: mx.google.com;\r\n"
           L"       dkim=pass header.i=@acme.example header.s=s1;\r\n"
           L"       dkim=pass header.i=@other-esp.example header.s=e1\r\n" +
           kSenderFields,
       true},
      {"gmail: the ESP listed for the brand", L"me@gmail.com",
       std::wstring(kGmailTrace) +
           L"Authentication-Results: mx.google.com; dkim=pass header.i=@esp.example\r\n" +
           kSenderFields,
       true},
      {"gmail: a sender-side Authentication-Results below Gmail's", L"me@gmail.com",
       std::wstring(kGmailTrace) +
           L"Received-SPF: pass (google.com: domain of b@acme.example designates 192.0.2.1 as "
           L"permitted sender) client-ip=192.0.2.1;\r\n"
           L"Authentication-Results: mx.google.com; dkim=pass header.i=@acme.example\r\n"
           L"Authentication-Results: relay.acme.example; dkim=fail header.d=acme.example\r\n" +
           kSenderFields,
       true},
      {"gmail: SPF for a brand sub-domain", L"me@gmail.com",
       std::wstring(kGmailTrace) +
           L"Authentication-Results: mx.google.com; spf=pass (google.com: domain of "
           L"b@bounce.acme.example designates 192.0.2.1 as permitted sender) "
           L"smtp.mailfrom=b@bounce.acme.example\r\n" +
           kSenderFields,
       true},
      {"hotmail: SPF for a brand sub-domain", L"me@hotmail.com",
       L"Authentication-Results: hotmail.com; spf=pass (sender IP is 192.0.2.1) "
       L"smtp.mailfrom=b@bounce.acme.example; dkim=none (message not signed) header.d=none\r\n" +
           std::wstring(kHotmailTrace) + kSenderFields,
       true},
      {"hotmail: the brand's and the ESP's signatures", L"me@hotmail.com",
       L"Authentication-Results: hotmail.com; dkim=pass header.d=other-esp.example; dkim=pass "
       L"header.d=acme.example\r\n" +
           std::wstring(kHotmailTrace) + kSenderFields +
           L"Authentication-Results: mail.acme.example; dkim=pass header.d=acme.example\r\n",
       true},
      {"yahoo", L"me@yahoo.com",
       L"Authentication-Results: mta1380.mail.ne1.yahoo.com  from=acme.example; "
       L"domainkeys=neutral (no sig);  from=acme.example; dkim=pass (ok)\r\n" +
           std::wstring(kYahooTrace) + kSenderFields,
       true},
      {"aol", L"me@aol.com",
       std::wstring(kAolTrace) + kSenderFields +
           L"x-aol-global-disposition: G\r\n"
           L"X-AOL-SCOLL-AUTHENTICATION: mail_rly_antispam_dkim-d247.2 ; domain : esp.example "
           L"DKIM : pass\r\n",
       true},
  });
}

TEST_F(DecisionTest, ForgeriesAndWeakEvidenceAreRefusedWithTheirReason) {
  Start(L"{\"branding\":[{\"name\":\"Acme\",\"domain\":\"acme.example\",\"spf\":1}]}");
  ExpectDecisions({
      {"gmail: look-alike signer", L"me@gmail.com",
       std::wstring(kGmailTrace) +
           L"Authentication-Results: mx.google.com; dkim=pass "
           L"header.i=@acme.example.evil.example\r\n" +
           kSenderFields,
       false},
      {"gmail: best-guess SPF", L"me@gmail.com",
       std::wstring(kGmailTrace) +
           L"Authentication-Results: mx.google.com; spf=pass (google.com: best guess record "
           L"for domain of b@acme.example designates 192.0.2.9 as permitted sender) "
           L"smtp.mailfrom=b@acme.example\r\n" +
           kSenderFields,
       false},
      {"gmail: the sender's verdict below Gmail's failing one", L"me@gmail.com",
       std::wstring(kGmailTrace) +
           L"Authentication-Results: mx.google.com; spf=fail smtp.mailfrom=b@evil.example\r\n" +
           kSenderFields +
           L"Authentication-Results: mx.google.com; dkim=pass "
           L"header.i=@acme.example\r\n",
       false},
      {"hotmail: look-alike mail-from", L"me@hotmail.com",
       L"Authentication-Results: hotmail.com; spf=pass smtp.mailfrom=b@xacme.example\r\n" +
           std::wstring(kHotmailTrace) + kSenderFields,
       false},
      {"yahoo: the sender's verdicts where Yahoo wrote none", L"me@yahoo.com",
       std::wstring(kYahooTrace) +
           L"Authentication-Results: mta1.mail.ne1.yahoo.com  from=acme.example; dkim=pass "
           L"(ok)\r\n" +
           kSenderFields,
       false},
  });
  EXPECT_TRUE(AnyIgnored(
      L"SPF passed only by a best-guess record (the domain publishes no SPF record), which is "
      L"not a pass"));
  EXPECT_TRUE(AnyDecided([](const BrandingDecision& decision) {
    return decision.verdicts && decision.verdicts->spfResult == L"bestguesspass" &&
           decision.verdicts->spfDomain == L"acme.example";
  }));
  EXPECT_TRUE(AnyIgnored(
      L"Authentication-Results on line 7 lies outside the part of the block that Gmail wrote"));
}

}  // namespace
}  // namespace tp
