// The Outlook object model, event sink, MAPI and account manager adapters over fake Outlook
// objects, in this process.
#include <gtest/gtest.h>

#include "fake_accounts.h"
#include "fake_outlook.h"
#include "host/win32/dispatch_event_sink.h"
#include "host/win32/outlook/account_helper_object.h"
#include "host/win32/outlook/account_manager.h"
#include "host/win32/outlook/connection_argument.h"
#include "host/win32/outlook/mapi_objects.h"
#include "host/win32/outlook/outlook_event_sink.h"
#include "host/win32/outlook/outlook_ids.h"
#include "host/win32/outlook/outlook_objects.h"
#include "host/win32/scoped_variant.h"
#include "win32_test_support.h"

namespace tp::testing {
namespace {

using host::ConnectionArgument;
using host::EventSinkId;
using host::win32::DispatchConnectionArgument;
using host::win32::OutlookEventSink;

class RecordingHandler final : public host::OutlookEventHandler {
 public:
  void NewInspector(std::shared_ptr<host::Inspector> inspector) override {
    events.push_back(L"NewInspector");
    lastInspector = std::move(inspector);
  }
  void OnExplorerSelectionChange() override { events.push_back(L"SelectionChange"); }
  void OnFolderSwitch() override { events.push_back(L"FolderSwitch"); }
  void OnBeforeFolderSwitch(std::shared_ptr<host::Folder> folder, bool* cancel) override {
    events.push_back(L"BeforeFolderSwitch " + (folder ? folder->Name() : std::wstring(L"-")) +
                     (*cancel ? L" cancelled" : L""));
    if (cancelFolderSwitch)
      *cancel = true;
  }
  void OnNewMailEx(const std::wstring& ids) override { events.push_back(L"NewMailEx " + ids); }
  void OnQuit() override {
    events.push_back(L"Quit");
    if (onQuit)
      onQuit();
  }
  void OnLogonComplete() override { events.push_back(L"LogonComplete"); }

  std::vector<std::wstring> events;
  std::shared_ptr<host::Inspector> lastInspector;
  bool cancelFolderSwitch = false;
  std::function<void()> onQuit;
};

class OutlookAdapterTest : public ComTest {
 protected:
  std::shared_ptr<host::OutlookApplication> Resolve() {
    DispatchConnectionArgument argument(m_outlook.ApplicationArgument());
    std::shared_ptr<host::OutlookApplication> application;
    ConnectionArgument::Step step = ConnectionArgument::Step::kGetIdsOfNames;
    EXPECT_EQ(argument.ResolveApplication(&application, &step), hr::kOk);
    return application;
  }

  TestWindow m_window;
  FakeOutlook m_outlook{m_window.handle()};
};

TEST_F(OutlookAdapterTest, ResolvesTheApplicationAndWalksTheObjectModel) {
  std::shared_ptr<host::OutlookApplication> application = Resolve();
  ASSERT_TRUE(application);
  EXPECT_EQ(application->Version(), L"16.0.0.4266");
  EXPECT_EQ(application->ActiveWindow(), m_window.value());

  HResult result = hr::kFail;
  EXPECT_FALSE(application->GetNamespace(L"OTHER", &result));
  EXPECT_EQ(result, hr::kInvalidArg);
  std::shared_ptr<host::OutlookNamespace> nameSpace = application->GetNamespace(L"MAPI", &result);
  ASSERT_TRUE(nameSpace);
  EXPECT_EQ(result, hr::kOk);
  EXPECT_EQ(nameSpace->CurrentProfileName(), L"Outlook");
  EXPECT_EQ(nameSpace->GetDefaultFolder(host::kOlFolderOutbox)->EntryId(), L"folder-outbox");
  EXPECT_FALSE(nameSpace->GetItemFromId(L"missing", &result));
  EXPECT_EQ(result, hr::kMapiNotFound);

  std::shared_ptr<host::Explorer> explorer = application->ActiveExplorer();
  ASSERT_TRUE(explorer);
  EXPECT_EQ(explorer->Window(), m_window.value());
  std::shared_ptr<host::Selection> selection = explorer->GetSelection();
  ASSERT_TRUE(selection);
  EXPECT_EQ(selection->Class(), host::kOlSelection);
  EXPECT_EQ(selection->Count(), 1);
  std::shared_ptr<host::MailItem> mail = selection->Item(1)->AsMailItem();
  ASSERT_TRUE(mail);
  EXPECT_EQ(mail->Class(), host::kOlMail);
  EXPECT_EQ(mail->EntryId(), FakeOutlook::kMailEntryId);
  EXPECT_EQ(mail->Subject(), L"Spring sale");
  EXPECT_TRUE(mail->Sent());
  EXPECT_EQ(mail->DownloadState(), 1);
  EXPECT_EQ(mail->Size(), 2048);
  EXPECT_TRUE(mail->UnRead());
  EXPECT_EQ(mail->SenderEmailAddress(), L"news@shop.example");
  EXPECT_EQ(mail->InternetCodepage(), 65001);
  std::shared_ptr<host::Account> account = mail->SendUsingAccount();
  ASSERT_TRUE(account);
  EXPECT_EQ(account->AccountType(), 2);
  EXPECT_EQ(account->SmtpAddress(), L"reader@example.com");
  EXPECT_EQ(account->DisplayName(), L"Reader");
  EXPECT_TRUE(nameSpace->GetItemFromId(FakeOutlook::kMailEntryId, &result)->AsMailItem());

  // An item that is not a mail item does not answer _MailItem.
  EXPECT_FALSE(host::win32::MakeItem(
                   host::win32::DispatchObject(m_outlook.account, host::win32::OutlookKind::kItem))
                   ->AsMailItem());
}

TEST_F(OutlookAdapterTest, ReadsAFoldersStoreAndTable) {
  std::shared_ptr<host::Folder> folder = Resolve()->ActiveExplorer()->CurrentFolder();
  ASSERT_TRUE(folder);
  EXPECT_EQ(folder->Name(), L"Inbox");
  EXPECT_EQ(folder->GetStore()->ExchangeStoreType(), host::kOlNotExchange);
  std::shared_ptr<host::Table> table = folder->GetTable();
  ASSERT_TRUE(table);
  table->RemoveAllColumns();
  table->AddColumn(L"EntryID");
  table->Sort(L"ReceivedTime", true);
  EXPECT_FALSE(table->EndOfTable());
  std::shared_ptr<host::TableRow> row = table->GetNextRow();
  ASSERT_TRUE(row);
  const auto values = row->GetValues();
  ASSERT_TRUE(values.has_value());
  ASSERT_EQ(values->size(), 1u);
  EXPECT_EQ((*values)[0], std::wstring(FakeOutlook::kMailEntryId));
  EXPECT_TRUE(table->EndOfTable());
  EXPECT_FALSE(table->GetNextRow());
  EXPECT_EQ(m_outlook.columns->calls(), (std::vector<std::wstring>{L"RemoveAll", L"Add"}));
}

TEST_F(OutlookAdapterTest, AsksForEachMembersDispidOncePerKind) {
  std::shared_ptr<host::OutlookApplication> application = Resolve();
  for (int i = 0; i < 3; ++i) {
    std::shared_ptr<host::MailItem> mail =
        application->ActiveExplorer()->GetSelection()->Item(1)->AsMailItem();
    (void)mail->Subject();
  }
  // Other objects of the same kinds reuse the ids.
  FakeOutlook other(m_window.handle());
  DispatchConnectionArgument argument(other.ApplicationArgument());
  std::shared_ptr<host::OutlookApplication> second;
  ConnectionArgument::Step step{};
  ASSERT_EQ(argument.ResolveApplication(&second, &step), hr::kOk);
  (void)second->ActiveExplorer()->GetSelection()->Item(1)->AsMailItem()->Subject();

  EXPECT_LE(m_outlook.mail->NameLookups(L"Subject") + other.mail->NameLookups(L"Subject"), 1);
  EXPECT_LE(
      m_outlook.explorer->NameLookups(L"Selection") + other.explorer->NameLookups(L"Selection"), 1);
  EXPECT_EQ(m_outlook.mail->calls().size(), 3u);
}

TEST_F(OutlookAdapterTest, FailsEachConnectionStepDistinctly) {
  std::shared_ptr<host::OutlookApplication> application;
  ConnectionArgument::Step step = ConnectionArgument::Step::kInvoke;

  m_outlook.application->FailNameLookups(DISP_E_UNKNOWNNAME);
  DispatchConnectionArgument unnamed(m_outlook.ApplicationArgument());
  EXPECT_EQ(unnamed.ResolveApplication(&application, &step), DISP_E_UNKNOWNNAME);
  EXPECT_EQ(step, ConnectionArgument::Step::kGetIdsOfNames);
  m_outlook.application->FailNameLookups(S_OK);

  m_outlook.application->Set(L"Application", [](const std::vector<const VARIANT*>&, VARIANT*) {
    return static_cast<HRESULT>(RPC_E_CALL_REJECTED);
  });
  DispatchConnectionArgument rejecting(m_outlook.ApplicationArgument());
  EXPECT_EQ(rejecting.ResolveApplication(&application, &step), RPC_E_CALL_REJECTED);
  EXPECT_EQ(step, ConnectionArgument::Step::kInvoke);

  // Another Office program's application is no Outlook _Application.
  FakeOutlookOptions word;
  word.answersApplicationInterface = false;
  FakeOutlook notOutlook(m_window.handle(), word);
  DispatchConnectionArgument foreign(notOutlook.ApplicationArgument());
  EXPECT_EQ(foreign.ResolveApplication(&application, &step), hr::kNoInterface);
  EXPECT_EQ(step, ConnectionArgument::Step::kInvoke);
  EXPECT_FALSE(application);

  DispatchConnectionArgument none(nullptr);
  EXPECT_TRUE(hr::Failed(none.ResolveApplication(&application, &step)));
}

TEST_F(OutlookAdapterTest, SinksRouteEachEventWithItsArgumentsAndUnadvise) {
  std::shared_ptr<host::OutlookApplication> application = Resolve();
  std::shared_ptr<host::Explorer> explorer = application->ActiveExplorer();
  std::shared_ptr<host::Inspectors> inspectors = application->GetInspectors();
  RecordingHandler handler;
  OutlookEventSink applicationSink(EventSinkId::kApplication, handler);
  OutlookEventSink explorerSink(EventSinkId::kExplorer, handler);
  OutlookEventSink inspectorsSink(EventSinkId::kInspectors, handler);
  EXPECT_EQ(applicationSink.Cookie(), host::kNotAdvisedCookie);

  ASSERT_EQ(applicationSink.Advise(*application), hr::kOk);
  ASSERT_EQ(explorerSink.Advise(*explorer), hr::kOk);
  ASSERT_EQ(inspectorsSink.Advise(*inspectors), hr::kOk);
  EXPECT_NE(applicationSink.Cookie(), host::kNotAdvisedCookie);
  EXPECT_EQ(applicationSink.Advise(*application), hr::kFail) << "advising twice is refused";
  EXPECT_EQ(m_outlook.AdvisedSinks(), 3u);

  m_outlook.applicationEvents().Fire(0xFAB5, {StringVariant(L"id1,id2")});
  m_outlook.applicationEvents().Fire(0xFA90);
  m_outlook.applicationEvents().Fire(0x1234);  // an event the add-in does not sink
  m_outlook.explorerEvents().Fire(0xF007);
  m_outlook.explorerEvents().Fire(0xF002);
  VARIANT_BOOL cancel = VARIANT_FALSE;
  VARIANT cancelArgument;
  ::VariantInit(&cancelArgument);
  cancelArgument.vt = VT_BOOL | VT_BYREF;
  cancelArgument.pboolVal = &cancel;
  m_outlook.explorerEvents().Fire(0xF003,
                                  {DispatchVariant(m_outlook.outbox.get()), cancelArgument});
  EXPECT_EQ(cancel, VARIANT_FALSE);
  handler.cancelFolderSwitch = true;
  m_outlook.explorerEvents().Fire(0xF003, {DispatchVariant(nullptr), cancelArgument});
  EXPECT_EQ(cancel, VARIANT_TRUE) << "the handler's answer goes back through the reference";
  m_outlook.inspectorsEvents().Fire(0xF001, {DispatchVariant(m_outlook.inspector.get())});
  ASSERT_TRUE(handler.lastInspector);
  EXPECT_EQ(handler.lastInspector->CurrentItem()->AsMailItem()->EntryId(),
            FakeOutlook::kMailEntryId);
  EXPECT_EQ(handler.lastInspector->Identity(),
            reinterpret_cast<uintptr_t>(static_cast<IDispatch*>(m_outlook.inspector.get())));

  // Quit unadvises from inside the event, as the add-in does.
  handler.onQuit = [&] {
    EXPECT_EQ(explorerSink.Unadvise(), hr::kOk);
    EXPECT_EQ(inspectorsSink.Unadvise(), hr::kOk);
    EXPECT_EQ(applicationSink.Unadvise(), hr::kOk);
  };
  m_outlook.applicationEvents().Fire(0xF007);
  EXPECT_EQ(m_outlook.AdvisedSinks(), 0u);
  EXPECT_EQ(applicationSink.Cookie(), host::kNotAdvisedCookie);
  EXPECT_EQ(applicationSink.Unadvise(), CONNECT_E_NOCONNECTION);

  EXPECT_EQ(handler.events,
            (std::vector<std::wstring>{L"NewMailEx id1,id2", L"LogonComplete", L"SelectionChange",
                                       L"FolderSwitch", L"BeforeFolderSwitch Outbox",
                                       L"BeforeFolderSwitch -", L"NewInspector", L"Quit"}));
}

TEST_F(OutlookAdapterTest, ASinkLetGoWhileAdvisedUnadvisesItself) {
  std::shared_ptr<host::OutlookApplication> application = Resolve();
  RecordingHandler handler;
  {
    OutlookEventSink sink(EventSinkId::kApplication, handler);
    ASSERT_EQ(sink.Advise(*application), hr::kOk);
  }
  EXPECT_EQ(m_outlook.AdvisedSinks(), 0u);
  m_outlook.applicationEvents().Fire(0xF007);
  EXPECT_TRUE(handler.events.empty());
}

TEST_F(OutlookAdapterTest, ReadsAndWritesMessagePropertiesThroughMapi) {
  std::shared_ptr<host::OutlookApplication> application = Resolve();
  HResult result = hr::kFail;
  std::shared_ptr<host::MapiMessage> message =
      application->ActiveExplorer()->GetSelection()->Item(1)->AsMailItem()->MapiObject();
  ASSERT_TRUE(message);

  host::PropValue value;
  ASSERT_EQ(message->GetProp(host::kPrMessageClassW, &value), hr::kOk);
  EXPECT_EQ(value.tag, host::kPrMessageClassW);
  EXPECT_EQ(value.text, L"IPM.Note");
  EXPECT_EQ(message->GetProp(host::kPrTransportMessageHeadersW, &value), hr::kMapiNotFound);

  host::PropValue branded;
  branded.tag = host::kPrMessageClassW;
  branded.text = L"IPM.Note.Tidepost.Shop";
  ASSERT_EQ(message->SetProp(branded), hr::kOk);
  EXPECT_EQ(m_outlook.message->Text(host::kPrMessageClassW), L"IPM.Note.Tidepost.Shop");

  m_outlook.message->saveResults = {static_cast<HRESULT>(hr::kMapiObjectChanged)};
  EXPECT_EQ(message->SaveChanges(host::kKeepOpenReadWrite), hr::kMapiObjectChanged);
  EXPECT_EQ(message->SaveChanges(host::kKeepOpenReadWrite | host::kForceSave), hr::kOk);
  EXPECT_EQ(m_outlook.message->saveFlags,
            (std::vector<ULONG>{KEEP_OPEN_READWRITE, KEEP_OPEN_READWRITE | FORCE_SAVE}));

  const std::string html(100000, 'h');
  m_outlook.message->SetStream(host::kPrHtml, html);
  std::string read;
  ASSERT_EQ(message->ReadStream(host::kPrHtml, &read), hr::kOk);
  EXPECT_EQ(read, html);
  EXPECT_EQ(message->ReadStream(host::kPrBodyW, &read), hr::kMapiNotFound);

  // The namespace's session opens messages by entry id.
  std::shared_ptr<host::MapiSession> session =
      application->GetNamespace(L"MAPI", &result)->MapiObject();
  ASSERT_TRUE(session);
  std::shared_ptr<host::MapiMessage> opened;
  ASSERT_EQ(session->OpenEntry(std::string(FakeOutlook::kMailMapiEntryId,
                                           sizeof FakeOutlook::kMailMapiEntryId - 1),
                               host::kMapiModify | host::kMapiDeferredErrors, &opened),
            hr::kOk);
  ASSERT_TRUE(opened);
  EXPECT_EQ(m_outlook.session->openFlags, (std::vector<ULONG>{MAPI_MODIFY | MAPI_DEFERRED_ERRORS}));
  EXPECT_EQ(session->OpenEntry("unknown", 0, &opened), hr::kMapiNotFound);
}

TEST_F(OutlookAdapterTest, EnumeratesAccountsAndServesTheHelperToTheManager) {
  auto record = std::make_shared<AccountManagerRecord>();
  ComPtr<FakeOlkAccount> gmail = FakeOlkAccount::Create(
      {{host::kPropInetServer, L"imap.gmail.com"}, {host::kPropAccountName, L"Me@Gmail.com"}});
  ComPtr<FakeOlkAccount> nameless = FakeOlkAccount::Create({{host::kPropInetServer, L"pop.x"}});
  record->accounts = {ComPtr<IUnknown>(static_cast<IOlkAccount*>(gmail.get())),
                      ComPtr<IUnknown>(static_cast<IOlkAccount*>(nameless.get())),
                      ComPtr<IUnknown>(static_cast<IDispatch*>(m_outlook.mail.get()))};
  std::shared_ptr<host::OlkAccountManager> manager = host::win32::MakeAccountManager(
      ComPtr<IOlkAccountManager>::Adopt(FakeAccountManager::Create(record).Detach()));

  std::shared_ptr<host::OlkAccountEnum> accounts;
  EXPECT_TRUE(hr::Failed(manager->EnumerateMailAccounts(&accounts))) << "not initialised";

  HResult result = hr::kFail;
  std::shared_ptr<host::MapiSession> session =
      Resolve()->GetNamespace(L"MAPI", &result)->MapiObject();
  class Helper final : public host::OlkAccountHelper {
   public:
    explicit Helper(std::shared_ptr<host::MapiSession> held) : m_held(std::move(held)) {}
    HResult GetIdentity(wchar_t* buffer, uint32_t* count) override {
      if (*count < 8) {
        *count = 8;
        return hr::kOutOfMemory;
      }
      std::copy_n(L"Outlook", 8, buffer);
      return hr::kOk;
    }
    HResult GetMapiSession(std::shared_ptr<host::MapiSession>* session) override {
      *session = m_held;
      return hr::kOk;
    }

   private:
    std::shared_ptr<host::MapiSession> m_held;
  };
  ASSERT_EQ(manager->Init(std::make_shared<Helper>(session), host::kAcctInitNoSyncMapiAccounts),
            hr::kOk);
  EXPECT_EQ(record->initFlags, (std::vector<DWORD>{1}));
  EXPECT_EQ(record->identity, L"Outlook");
  EXPECT_EQ(record->sessionResult, S_OK);
  EXPECT_TRUE(host::win32::SameObject(record->session.get(),
                                      static_cast<IMAPISession*>(m_outlook.session.get())));

  ASSERT_EQ(manager->EnumerateMailAccounts(&accounts), hr::kOk);
  EXPECT_TRUE(record->enumeratedMail);
  uint32_t count = 0;
  ASSERT_EQ(accounts->GetCount(&count), hr::kOk);
  EXPECT_EQ(count, 3u);
  ASSERT_EQ(accounts->Reset(), hr::kOk);
  std::shared_ptr<host::OlkAccount> account;
  ASSERT_EQ(accounts->GetNext(&account), hr::kOk);
  ASSERT_TRUE(account);
  std::wstring text;
  EXPECT_EQ(account->GetProp(host::kPropInetServer, &text), hr::kOk);
  EXPECT_EQ(text, L"imap.gmail.com");
  EXPECT_EQ(account->GetProp(host::kPropAccountName, &text), hr::kOk);
  EXPECT_EQ(text, L"Me@Gmail.com");
  EXPECT_EQ(gmail->outstanding(), 0) << "every string given back to FreeMemory";

  account.reset();
  ASSERT_EQ(accounts->GetNext(&account), hr::kOk);
  EXPECT_TRUE(hr::Failed(account->GetProp(host::kPropAccountName, &text)));
  account.reset();
  ASSERT_EQ(accounts->GetNext(&account), hr::kOk);
  EXPECT_FALSE(account) << "an element that is not an IOlkAccount";
  EXPECT_EQ(accounts->GetNext(&account), S_FALSE);
}

TEST_F(OutlookAdapterTest, TheHelperObjectAnswersOnlyItsInterfaces) {
  class NoSession final : public host::OlkAccountHelper {
   public:
    HResult GetIdentity(wchar_t*, uint32_t*) override { return hr::kInvalidArg; }
    HResult GetMapiSession(std::shared_ptr<host::MapiSession>*) override { return hr::kNotImpl; }
  };
  ComPtr<host::win32::AccountHelperObject> helper =
      host::win32::AccountHelperObject::Create(std::make_shared<NoSession>());
  ComPtr<IUnknown> unknown;
  EXPECT_EQ(helper->QueryInterface(IID_IUnknown, unknown.ReceiveVoid()), S_OK);
  ComPtr<IOlkAccountHelper> same;
  EXPECT_EQ(helper->QueryInterface(host::win32::kIidOlkAccountHelper, same.ReceiveVoid()), S_OK);
  ComPtr<IDispatch> none;
  EXPECT_EQ(helper->QueryInterface(IID_IDispatch, none.ReceiveVoid()), E_NOINTERFACE);
  EXPECT_EQ(helper->PlaceHolder1(nullptr), E_NOTIMPL);
  EXPECT_EQ(helper->HandsOffSession(), E_NOTIMPL);
  IUnknown* session = reinterpret_cast<IUnknown*>(1);
  EXPECT_EQ(helper->GetMapiSession(&session), E_NOTIMPL);
  EXPECT_EQ(session, nullptr);
}

}  // namespace
}  // namespace tp::testing
