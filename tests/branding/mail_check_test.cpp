// The branding decision and the mail check, through the add-in object on a simulated Outlook.
#include "branding/mail_check.h"

#include <gtest/gtest.h>

#include "addin/add_in_fixture.h"
#include "addin/process_state.h"
#include "addin/timer_ids.h"
#include "host/mapi.h"
#include "support/registry_values.h"

namespace tp {
namespace {

using host::sim::SimMail;

// Records what the mail check hands to the display.
class RecordingDisplay final : public ContentDisplay {
 public:
  struct Shown {
    CheckedMessage message;
    bool inInspector;
  };
  explicit RecordingDisplay(std::vector<Shown>* shown) : shown_(shown) {}
  void RemoveTemporaryFiles() override {}
  void CreateBrowserHelper() override {}
  void ReleaseBrowserHelper() override {}
  void TearDown() override {}
  host::WindowHandle DetachForFolderSwitch() override { return 0; }
  void OnTimer(host::TimerId) override {}
  void BeginCheck() override {}
  bool CheckTideEmbed(host::MailItem&, bool, CheckedMessage*) override { return false; }
  void ShowBrisklet(const CheckedMessage& message, bool inInspector) override {
    shown_->push_back({message, inInspector});
  }
  void CleanMainActive() override {}
  void BindInspector(const std::shared_ptr<host::Inspector>&) override {}
  void ReleaseInspectors() override {}

 private:
  std::vector<Shown>* shown_;
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
    options.display = std::make_unique<RecordingDisplay>(&shown);
    Create(std::move(options));
    ASSERT_EQ(Connect(), hr::kOk);
    ASSERT_EQ(connect->branding_list().senders().size(), 1u);
  }
  static std::wstring ClassOf(const SimMail& mail) {
    return mail.props.at(host::kPrMessageClassW).text;
  }
  bool Brand(const std::shared_ptr<SimMail>& mail, bool viewed = false) {
    return connect->BrandMailItem(*Item(mail), viewed);
  }
  std::vector<RecordingDisplay::Shown> shown;
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
  EXPECT_TRUE(Logged(L"DKIM is OK but not the DKIM signer"));
  EXPECT_EQ(ClassOf(*mail), L"IPM.Note");
  EXPECT_TRUE(mail->saveFlags.empty());
}

TEST_F(MailCheckTest, SpfVouchesOnlyForEntriesThatAllowIt) {
  const std::wstring spfOnly =
      L"mx.google.com; dkim=neutral header.i=@acme.example; spf=pass (google.com: domain of "
      L"b@mail.acme.example designates 192.0.2.1 as permitted sender)";
  Start();
  EXPECT_FALSE(Brand(AddGmailMessage(L"m1", L"news@acme.example", spfOnly)));
  EXPECT_TRUE(Logged(L"Failed SPF\\DKIM check"));
  Destroy();
  Start(L"{\"branding\":[{\"name\":\"Acme\",\"domain\":\"acme.example\",\"spf\":false}]}");
  EXPECT_TRUE(Brand(AddGmailMessage(L"m2", L"news@acme.example", spfOnly)));
  EXPECT_FALSE(Brand(AddGmailMessage(
      L"m3", L"news@acme.example",
      L"mx.google.com; spf=pass (google.com: domain of b@evil.example designates x)")));
  EXPECT_TRUE(Logged(L"SPF is OK but not the SPF allowed domain"));
}

TEST_F(MailCheckTest, ABrandedMessageIsNotSavedAgainButItsRegionIsRestored) {
  Start();
  auto mail = AddGmailMessage(L"m1", L"news@acme.example", kPassing);
  mail->SetProp(host::kPrMessageClassW, L"IPM.Note.SMIME.Tidepost.Acme");
  EXPECT_FALSE(Brand(mail, true));
  EXPECT_TRUE(Logged(L"Message class name is already branded - IPM.Note.SMIME.Tidepost.Acme"));
  EXPECT_TRUE(Logged(L"Registering new form region SMIME.Tidepost.Acme.SMIME"));
  EXPECT_TRUE(mail->saveFlags.empty());
  EXPECT_EQ(connect->stats_cache().ReportedKind(L"m1"), 2);  // opened in a viewer
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

TEST_F(MailCheckTest, AChangedObjectIsSavedByForce) {
  Start();
  auto mail = AddGmailMessage(L"m1", L"news@acme.example", kPassing);
  mail->saveResults = {hr::kMapiObjectChanged, static_cast<HResult>(0x80040102)};
  EXPECT_TRUE(Brand(mail));  // a failing save is only logged
  EXPECT_EQ(mail->saveFlags, (std::vector<uint32_t>{host::kKeepOpenReadWrite, host::kForceSave}));
  EXPECT_TRUE(
      Logged(L"Done saving item with new message class IPM.Note.Tidepost.Acme. "
             L"Took 0 ms (1025 KB/Sec). Result=80040102x"));
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
  EXPECT_TRUE(Logged(L"Failed getting transport headers"));

  auto exchange = AddGmailMessage(L"m2", L"news@acme.example", kPassing);
  exchange->account->accountType = 0;
  EXPECT_FALSE(Brand(exchange));
  EXPECT_TRUE(Logged(L"Should not check a message from an exchange account"));
  EXPECT_TRUE(Logged(L"Should not check branding for this message. Sender="));
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

}  // namespace
}  // namespace tp
