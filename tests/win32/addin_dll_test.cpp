// TidepostOutlookAddin.dll loaded into a fake Outlook: its class factory, the Connect object
// through _IDTExtensibility2 (early and late bound), Outlook's events through the connection
// points, an inspector's browser and helper object, the log it writes to the real data
// folder, and its unloading.
#include <gtest/gtest.h>

#include "addin/com/addin_interfaces.h"
#include "base/text.h"
#include "fake_accounts.h"
#include "fake_browser_helper.h"
#include "fake_outlook.h"
#include "host/mapi.h"
#include "host/win32/browser/browser_ids.h"
#include "host/win32/outlook/outlook_ids.h"
#include "host/win32/unique_resource.h"
#include "outlook_windows.h"
#include "platform/log.h"
#include "provider_blocks.h"
#include "support/test_host.h"
#include "win32_test_support.h"

namespace tp::testing {
namespace {

using addin::IDTExtensibility2;
using host::win32::UniqueModule;

constexpr int kConnectStartup = 1;  // ext_cm_Startup
// An active-content marker with message placement.
constexpr wchar_t kActiveBody[] =
    L"Your statement [APPointer: res=https://content.example/s/1; pos=message :APPointer]";
constexpr int kDisconnectHostShutdown = 0;

class AddinDllTest : public ComTest {
 protected:
  AddinDllTest() {
    ::DeleteFileW(LogPath().c_str());
    m_dll.Reset(::LoadLibraryW((ProgramFolder() + L"TidepostOutlookAddin.dll").c_str()));
  }

  ~AddinDllTest() override {
    m_window.Destroy();  // its timers point into the DLL
    if (m_accountManagerCookie != 0)
      ::CoRevokeClassObject(m_accountManagerCookie);
  }

  static std::wstring LogPath() { return RealDataFolder() + kLogFileName; }
  std::vector<std::wstring> Log() const { return ReadLogMessages(LogPath()); }
  bool Logged(const std::wstring& message) const { return CountMessage(Log(), message) > 0; }

  template <class Function>
  Function Export(const char* name) {
    return reinterpret_cast<Function>(reinterpret_cast<void*>(::GetProcAddress(m_dll.get(), name)));
  }

  ComPtr<IClassFactory> Factory() {
    using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
    ComPtr<IClassFactory> factory;
    const auto get = Export<GetClassObject>("DllGetClassObject");
    EXPECT_NE(get, nullptr);
    if (get == nullptr)
      return factory;
    EXPECT_EQ(get(addin::kClsidConnect, IID_IClassFactory, factory.ReceiveVoid()), S_OK);
    return factory;
  }

  ComPtr<IDTExtensibility2> CreateConnect() {
    ComPtr<IDTExtensibility2> connect;
    ComPtr<IClassFactory> factory = Factory();
    if (!factory)
      return connect;
    EXPECT_EQ(factory->CreateInstance(nullptr, addin::kIidDTExtensibility2, connect.ReceiveVoid()),
              S_OK);
    return connect;
  }

  HRESULT CanUnloadNow() {
    using CanUnload = HRESULT(WINAPI*)();
    return Export<CanUnload>("DllCanUnloadNow")();
  }

  // Serves CLSID_OlkAccountManager from this process, as Outlook does from its own.
  void RegisterAccountManager() {
    ComPtr<FakeAccountManagerFactory> factory = FakeAccountManagerFactory::Create(m_accounts);
    ASSERT_EQ(::CoRegisterClassObject(
                  host::win32::kClsidOlkAccountManager, static_cast<IClassFactory*>(factory.get()),
                  CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &m_accountManagerCookie),
              S_OK);
  }

  TestWindow m_window;
  UniqueModule m_dll;
  std::shared_ptr<AccountManagerRecord> m_accounts = std::make_shared<AccountManagerRecord>();
  DWORD m_accountManagerCookie = 0;
};

TEST_F(AddinDllTest, RunsALifecycleInsideOutlookAndUnloads) {
  ASSERT_TRUE(m_dll) << "TidepostOutlookAddin.dll beside the test program";
  EXPECT_EQ(CanUnloadNow(), S_OK);
  RegisterAccountManager();
  FakeOutlook outlook(m_window.handle());
  {
    ComPtr<IDTExtensibility2> connect = CreateConnect();
    ASSERT_TRUE(connect);
    EXPECT_EQ(CanUnloadNow(), S_FALSE) << "a live object locks the module";
    EXPECT_TRUE(Logged(L"In CConnect"));

    ASSERT_EQ(
        connect->OnConnection(outlook.ApplicationArgument(), kConnectStartup, nullptr, nullptr),
        S_OK);
    EXPECT_TRUE(Logged(L"In OnConnection"));
    EXPECT_TRUE(Logged(L"Attaching to explorer events"));
    EXPECT_TRUE(Logged(L"Attaching to application events"));
    EXPECT_EQ(outlook.applicationEvents().AdviseCount(), 1u);
    EXPECT_EQ(outlook.explorerEvents().AdviseCount(), 1u);
    EXPECT_EQ(outlook.inspectorsEvents().AdviseCount(), 1u);

    // The account manager met the add-in's helper.
    EXPECT_EQ(m_accounts->managersMade, 1);
    EXPECT_EQ(m_accounts->initFlags, (std::vector<DWORD>{1}));
    EXPECT_EQ(m_accounts->identity, L"Outlook");
    EXPECT_TRUE(host::win32::SameObject(m_accounts->session.get(),
                                        static_cast<IMAPISession*>(outlook.session.get())));
    EXPECT_TRUE(m_accounts->enumeratedMail);

    outlook.applicationEvents().Fire(0xFAB5, {StringVariant(L"AAA1,BBB2")});
    EXPECT_TRUE(Logged(L"In OnNewMailEx event"));
    EXPECT_TRUE(
        Logged(L"Adding ID AAA1 (obtained from NewMailEx event) to scan in background thread"));
    EXPECT_TRUE(
        Logged(L"Adding ID BBB2 (obtained from NewMailEx event) to scan in background thread"));

    outlook.explorerEvents().Fire(0xF007);
    EXPECT_TRUE(Logged(L"In OnExplorerSelectionChange event"));
    EXPECT_TRUE(Logged(L"OnExplorerSelectionChange: " + std::wstring(FakeOutlook::kMailEntryId)));
    EXPECT_TRUE(Logged(L"In CheckMailItem"));

    outlook.inspectorsEvents().Fire(0xF001, {DispatchVariant(outlook.inspector.get())});
    EXPECT_TRUE(Logged(L"NewInspector: " + std::wstring(FakeOutlook::kMailEntryId)));

    // The timers armed on the explorer window run through the DLL's TimerProc.
    const int before = CountMessage(Log(), L"Getting providers and providers icons");
    PumpMessages(3000, [&] {
      return CountMessage(Log(), L"Getting providers and providers icons") > before;
    });
    EXPECT_GT(CountMessage(Log(), L"Getting providers and providers icons"), before);

    outlook.applicationEvents().Fire(0xF007);
    EXPECT_TRUE(Logged(L"In OnQuit"));
    EXPECT_TRUE(Logged(L"Out of OnQuit"));
    EXPECT_EQ(outlook.AdvisedSinks(), 0u) << "every sink unadvised";

    EXPECT_EQ(connect->OnDisconnection(kDisconnectHostShutdown, nullptr), S_OK);
    EXPECT_EQ(CountMessage(Log(), L"In OnQuit"), 2) << "the second pass only logs";
    EXPECT_EQ(outlook.AdvisedSinks(), 0u);
  }
  EXPECT_TRUE(Logged(L"In ~CConnect"));
  EXPECT_EQ(CanUnloadNow(), S_OK);
}

// The inspector's window tree is real, with Outlook's class names; the DLL lays its browser
// window (Wine's WebBrowser control in our host window) over the body and starts the active
// content through the helper object. Inside its SetPageContent call the helper sees the
// inspector close and runs a message loop long enough for the sweep of detached windows to
// come round several times: the browser window and the helper outlive that call, and go
// through the closed-windows list after it.
TEST_F(AddinDllTest, AnInspectorClosedWhileItsHelperIsInACallLetsItsBrowserGoAfterwards) {
  ASSERT_TRUE(m_dll);
  FakeOutlook outlook(m_window.handle());
  outlook.message->SetStream(host::kPrBodyW, WideToUtf16Le(kActiveBody));
  OutlookWindowTree inspectorWindows;
  outlook.inspector->SetWindow(inspectorWindows.top());
  const HWND bodyHost = inspectorWindows.windows().bodyHost;
  auto helper = std::make_shared<BrowserHelperRecord>();
  ComPtr<FakeBrowserHelperFactory> factory = FakeBrowserHelperFactory::Create(helper);
  DWORD cookie = 0;
  ASSERT_EQ(::CoRegisterClassObject(host::win32::kClsidBrowserHelper,
                                    static_cast<IClassFactory*>(factory.get()),
                                    CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie),
            S_OK);
  HWND browser = nullptr;
  int helpersBefore = 0;  // the one the add-in makes at connection
  int sweeps = 0;
  bool keptThroughTheCall = false;
  helper->duringCall = [&](const wchar_t* call) {
    if (std::wstring(call) != L"SetPageContent" || browser != nullptr)
      return;
    browser = ::FindWindowExW(bodyHost, nullptr, L"TidepostBrowserHost", nullptr);
    outlook.inspectorEvents().Fire(0xF008);  // Close
    PumpMessages(6500, {}, 1814, &sweeps);
    keptThroughTheCall = browser != nullptr && ::IsWindow(browser) &&
                         helper->alive == helpersBefore + 1 &&
                         helper->calls.back() == L"SetPageContent";
  };
  {
    ComPtr<IDTExtensibility2> connect = CreateConnect();
    ASSERT_TRUE(connect);
    ASSERT_EQ(
        connect->OnConnection(outlook.ApplicationArgument(), kConnectStartup, nullptr, nullptr),
        S_OK);
    outlook.application->SetObject(L"ActiveInspector", outlook.inspector);
    outlook.application->SetObject(L"ActiveWindow", outlook.inspector);
    helpersBefore = helper->alive;
    outlook.inspectorsEvents().Fire(0xF001, {DispatchVariant(outlook.inspector.get())});
    EXPECT_TRUE(Logged(L"In CBriskletItem::Initialize: Window Defined"));
    EXPECT_TRUE(Logged(L"CBriskletItem::Initialize -> DispEventAdvise: 0"));
    EXPECT_TRUE(Logged(L"Starting BHO"));
    ASSERT_NE(browser, nullptr) << "the helper was given the page";
    wchar_t text[64] = {};
    ::GetWindowTextW(browser, text, 64);
    EXPECT_STREQ(text, L"Tidepost for Outlook");
    EXPECT_TRUE(Logged(L"CBriskletItem::CloseInspector"));
    EXPECT_EQ(outlook.inspectorEvents().AdviseCount(), 0u);
    EXPECT_GE(sweeps, 5) << "the sweep came round during the call";
    EXPECT_TRUE(keptThroughTheCall);
    EXPECT_EQ(helper->releasedInCall, 0);

    // Detached, hidden, and destroyed by the next sweep, the helper let go of with it.
    ASSERT_TRUE(::IsWindow(browser));
    EXPECT_EQ(::GetParent(browser), nullptr);
    EXPECT_FALSE(::IsWindowVisible(browser));
    PumpMessages(3000, [browser] { return !::IsWindow(browser); });
    EXPECT_FALSE(::IsWindow(browser)) << "destroyed through the closed-windows list";
    EXPECT_EQ(helper->calls.back(), L"SetSite null");
    EXPECT_EQ(helper->alive, helpersBefore);

    outlook.applicationEvents().Fire(0xF007);  // Quit
    EXPECT_TRUE(Logged(L"Out of OnQuit"));
    EXPECT_EQ(outlook.AdvisedSinks(), 0u);
    EXPECT_EQ(helper->alive, 0);
  }
  ::CoRevokeClassObject(cookie);
  EXPECT_EQ(CanUnloadNow(), S_OK);
}

TEST_F(AddinDllTest, ServesOnlyTheConnectClassAndTheFactoryLocksTheModule) {
  ASSERT_TRUE(m_dll);
  using GetClassObject = HRESULT(WINAPI*)(REFCLSID, REFIID, void**);
  const auto get = Export<GetClassObject>("DllGetClassObject");
  ComPtr<IClassFactory> factory;
  EXPECT_EQ(get(host::win32::kClsidOlkMail, IID_IClassFactory, factory.ReceiveVoid()),
            CLASS_E_CLASSNOTAVAILABLE);
  EXPECT_EQ(get(addin::kClsidConnect, IID_IClassFactory, nullptr), E_POINTER);
  factory = Factory();
  ASSERT_TRUE(factory);
  EXPECT_EQ(CanUnloadNow(), S_FALSE);
  ComPtr<IUnknown> aggregated;
  EXPECT_EQ(factory->CreateInstance(reinterpret_cast<IUnknown*>(factory.get()), IID_IUnknown,
                                    aggregated.ReceiveVoid()),
            CLASS_E_NOAGGREGATION);
  EXPECT_EQ(factory->LockServer(TRUE), S_OK);
  factory.Reset();
  EXPECT_EQ(CanUnloadNow(), S_FALSE) << "LockServer holds the module";
  ComPtr<IClassFactory> again = Factory();
  EXPECT_EQ(again->LockServer(FALSE), S_OK);
  again.Reset();
  EXPECT_EQ(CanUnloadNow(), S_OK);
}

TEST_F(AddinDllTest, ExposesItsInterfacesAndAnswersLateBoundCalls) {
  ASSERT_TRUE(m_dll);
  FakeOutlook outlook(m_window.handle());
  ComPtr<IDTExtensibility2> connect = CreateConnect();
  ASSERT_TRUE(connect);

  ComPtr<ISupportErrorInfo> errors;
  ASSERT_EQ(connect.As(IID_ISupportErrorInfo, &errors), S_OK);
  EXPECT_EQ(errors->InterfaceSupportsErrorInfo(addin::kIidConnect), S_OK);
  EXPECT_EQ(errors->InterfaceSupportsErrorInfo(addin::kIidDTExtensibility2), S_FALSE);
  ComPtr<IDispatch> dispatch;
  ASSERT_EQ(connect.As(addin::kIidConnect, &dispatch), S_OK);
  ComPtr<IOleWindow> none;
  EXPECT_EQ(connect.As(IID_IOleWindow, &none), E_NOINTERFACE);

  wchar_t name[] = L"onconnection";
  LPOLESTR names[] = {name};
  DISPID id = 0;
  ASSERT_EQ(dispatch->GetIDsOfNames(IID_NULL, names, 1, LOCALE_USER_DEFAULT, &id), S_OK);
  EXPECT_EQ(id, 1);

  // OnConnection(Application, ConnectMode, AddInInst, custom), last argument first.
  VARIANT arguments[4];
  for (VARIANT& argument : arguments)
    ::VariantInit(&argument);
  SAFEARRAY* custom = nullptr;
  arguments[0].vt = VT_ARRAY | VT_VARIANT | VT_BYREF;
  arguments[0].pparray = &custom;
  arguments[1].vt = VT_DISPATCH;
  arguments[2].vt = VT_I4;
  arguments[2].lVal = kConnectStartup;
  arguments[3] = DispatchVariant(outlook.ApplicationArgument());
  DISPPARAMS parameters{arguments, nullptr, 4, 0};
  EXPECT_EQ(dispatch->Invoke(1, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters,
                             nullptr, nullptr, nullptr),
            S_OK);
  ::VariantClear(&arguments[3]);
  EXPECT_EQ(outlook.AdvisedSinks(), 3u);
  DISPPARAMS wrongCount{arguments, nullptr, 1, 0};
  EXPECT_EQ(dispatch->Invoke(1, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &wrongCount,
                             nullptr, nullptr, nullptr),
            DISP_E_BADPARAMCOUNT);
  EXPECT_EQ(dispatch->Invoke(9, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &parameters,
                             nullptr, nullptr, nullptr),
            DISP_E_MEMBERNOTFOUND);

  // OnStartupComplete answers E_NOTIMPL, which a late-bound caller sees as an exception.
  DISPPARAMS one{arguments, nullptr, 1, 0};
  EXCEPINFO exception{};
  EXPECT_EQ(dispatch->Invoke(4, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD, &one, nullptr,
                             &exception, nullptr),
            DISP_E_EXCEPTION);
  EXPECT_EQ(exception.scode, E_NOTIMPL);
  EXPECT_EQ(connect->OnAddInsUpdate(nullptr), S_OK);
  EXPECT_EQ(connect->OnBeginShutdown(nullptr), S_OK);

  // OnDisconnection(RemoveMode, custom) late bound: the add-in quits.
  VARIANT disconnect[2];
  ::VariantInit(&disconnect[0]);
  ::VariantInit(&disconnect[1]);
  disconnect[0].vt = VT_ARRAY | VT_VARIANT | VT_BYREF;
  disconnect[0].pparray = &custom;
  disconnect[1].vt = VT_I4;
  disconnect[1].lVal = kDisconnectHostShutdown;
  DISPPARAMS disconnectParameters{disconnect, nullptr, 2, 0};
  EXPECT_EQ(dispatch->Invoke(2, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                             &disconnectParameters, nullptr, nullptr, nullptr),
            S_OK);
  EXPECT_EQ(outlook.AdvisedSinks(), 0u);
}

TEST_F(AddinDllTest, StaysInertInAnOldOutlookAndOutsideOutlook) {
  ASSERT_TRUE(m_dll);
  FakeOutlookOptions outlook2003;
  outlook2003.version = L"11.0.0.8312";
  FakeOutlook old(m_window.handle(), outlook2003);
  ComPtr<IDTExtensibility2> connect = CreateConnect();
  ASSERT_TRUE(connect);
  EXPECT_EQ(connect->OnConnection(old.ApplicationArgument(), kConnectStartup, nullptr, nullptr),
            S_FALSE);
  EXPECT_EQ(old.AdvisedSinks(), 0u);

  FakeOutlookOptions word;
  word.answersApplicationInterface = false;
  FakeOutlook notOutlook(m_window.handle(), word);
  EXPECT_EQ(
      connect->OnConnection(notOutlook.ApplicationArgument(), kConnectStartup, nullptr, nullptr),
      E_NOINTERFACE);
  EXPECT_TRUE(Logged(L"Failed Application->Invoke"));
  EXPECT_EQ(connect->OnConnection(nullptr, kConnectStartup, nullptr, nullptr), E_POINTER);
  EXPECT_TRUE(Logged(L"Failed Application->GetIDsOfNames"));
  EXPECT_EQ(notOutlook.AdvisedSinks(), 0u);
}

// The 64-bit DLL's branding decision on the fake Outlook's selected message, received by
// `account`, from news@bank.example with the transport headers `headers`: the message's class
// afterwards.
class AddinDecisionTest : public AddinDllTest {
 protected:
  AddinDecisionTest() {
    const std::string list =
        "<?xml version=\"1.0\" encoding=\"utf-8\"?><content><data><senders/><branding>"
        "<![CDATA[{\"branding\":[{\"name\":\"Bank\",\"domain\":\"bank.example\","
        "\"spf\":true,\"dkimSigners\":\"esp.example\"}]}]]></branding></data></content>";
    ::CreateDirectoryW(RealDataFolder().c_str(), nullptr);
    WriteFileBytes(SendersListPath(), list);
  }
  ~AddinDecisionTest() override { ::DeleteFileW(SendersListPath().c_str()); }

  static std::wstring SendersListPath() { return RealDataFolder() + L"sendersList.xml"; }

  std::wstring Decide(const std::wstring& account, const std::wstring& headers) {
    FakeOutlook outlook(m_window.handle());
    outlook.account->SetString(L"SmtpAddress", account);
    outlook.mail->SetString(L"SenderEmailAddress", L"news@bank.example");
    outlook.message->SetText(host::kPrSentRepresentingEmailAddressW, L"news@bank.example");
    outlook.message->SetText(host::kPrTransportMessageHeadersW, headers);
    outlook.message->SetStream(host::kPrBodyW, WideToUtf16Le(L"Your statement is ready."));
    outlook.message->SetBinary(
        host::kPrEntryId,
        std::string(FakeOutlook::kMailMapiEntryId, sizeof FakeOutlook::kMailMapiEntryId - 1));
    ComPtr<IDTExtensibility2> connect = CreateConnect();
    if (!connect)
      return L"no add-in";
    EXPECT_EQ(
        connect->OnConnection(outlook.ApplicationArgument(), kConnectStartup, nullptr, nullptr),
        S_OK);
    outlook.explorerEvents().Fire(0xF007);     // SelectionChange: the check and the decision
    outlook.applicationEvents().Fire(0xF007);  // Quit
    EXPECT_EQ(connect->OnDisconnection(kDisconnectHostShutdown, nullptr), S_OK);
    return outlook.message->Text(host::kPrMessageClassW);
  }
};

TEST_F(AddinDecisionTest, TodaysLayoutsAreBrandedOnlyOnTheProvidersOwnVerdicts) {
  ASSERT_TRUE(m_dll);
  const std::wstring outlookPass =
      L"spf=pass (sender IP is 192.0.2.7) smtp.mailfrom=bank.example; dkim=pass (signature was "
      L"verified) header.d=bank.example;dmarc=pass action=none header.from=bank.example;"
      L"compauth=pass reason=100";
  const std::wstring outlookFail =
      L"spf=fail (sender IP is 192.0.2.9) smtp.mailfrom=evil.example; dkim=none (message not "
      L"signed) header.d=none;compauth=pass reason=130";
  const std::wstring yahooPass =
      L"atlas1.free.mail.bf1.yahoo.com; dkim=pass header.i=@bank.example header.s=s1; spf=pass "
      L"smtp.mailfrom=bank.example";
  const wchar_t* aolAtlas = L"atlas101.aol.mail.bf1.yahoo.com";
  const struct {
    const char* name;
    const wchar_t* account;
    std::wstring headers;
    const wchar_t* messageClass;
    const wchar_t* logged;
  } cases[] = {
      {"outlook.com today", L"reader@hotmail.com", OutlookBlock(outlookPass),
       L"IPM.Note.Tidepost.Bank",
       L"Header layout: Outlook.com (Exchange Online), inbound hop on line 18"},
      {"a forged inbound hop", L"reader@outlook.com",
       OutlookBlock(outlookFail,
                    L"Authentication-Results: spf=pass smtp.mailfrom=bank.example; "
                    L"dkim=pass header.d=bank.example\r\nReceived: from a "
                    L"(192.0.2.9) by X1.MAIL.PROTECTION.OUTLOOK.COM; date\r\n" +
                        kSenderPart),
       L"IPM.Note",
       L"Verdict ignored: the Received line 23 names a server of Outlook.com's below "
       L"Outlook.com's inbound hop on line 18: the sender's text, which extends nothing"},
      {"results the sender wrote below Yahoo's", L"reader@yahoo.com",
       YahooTodayBlock(L"", L"", L"Authentication-Results: " + yahooPass + L"\r\n" + kSenderPart),
       L"IPM.Note",
       L"Verdict ignored: Authentication-Results on line 13 lies outside the part of the block "
       L"that Yahoo wrote"},
      {"a DKIM pass Yahoo took over from an ARC set", L"reader@yahoo.com",
       YahooTodayBlock(L"atlas1.free.mail.bf1.yahoo.com; dkim=pass header.i=@bank.example "
                       L"arc_overridden_status=OVERRIDDEN",
                       L""),
       L"IPM.Note",
       L"Verdict ignored: the dkim verdict was taken over from an ARC set, not reached by Yahoo "
       L"itself"},
      {"an AOL run in today's layout", L"reader@aol.com",
       YahooTodayBlock(L"atlas101.aol.mail.bf1.yahoo.com; dkim=unknown", L"", kSenderPart,
                       aolAtlas) +
           AolRun(L"domain : bank.example DKIM : pass", L"domain : bank.example SPF : pass"),
       L"IPM.Note", L"Failed SPF\\DKIM check"},
      {"a foreign signer's pass", L"reader@aol.com",
       YahooTodayBlock(L"atlas101.aol.mail.bf1.yahoo.com; dkim=pass header.i=@other.example", L"",
                       kSenderPart, aolAtlas),
       L"IPM.Note", L"DKIM is OK but not the DKIM signer"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.name);
    ::DeleteFileW(LogPath().c_str());
    EXPECT_EQ(Decide(c.account, c.headers), c.messageClass);
    EXPECT_TRUE(Logged(L"Checking branding"));
    EXPECT_TRUE(Logged(c.logged));
  }
}

// The DLL's branding decision through the fake Outlook, for a message received by a Gmail
// account: the authentic message is branded; each class of From that mail programs may read
// differently, and a From domain that is not a host name, is refused with its reason; the
// senders list's entry whose domain is "*" is skipped at load.
TEST_F(AddinDllTest, BrandsOnlyAFromThatEveryReaderReadsAlike) {
  ASSERT_TRUE(m_dll);
  const std::wstring list = RealDataFolder() + L"sendersList.xml";
  ::CreateDirectoryW(RealDataFolder().c_str(), nullptr);
  const std::string envelope =
      "<?xml version=\"1.0\"?><content><data><senders/><branding><![CDATA["
      "{'branding':[{'name':'Kestrel','domain':'kestrel.example'},"
      "{'name':'Star','domain':'*','dkimSigners':'kestrel.example'}]}"
      "]]></branding></data></content>";
  WriteFileBytes(list, envelope);
  FakeOutlook outlook(m_window.handle());
  outlook.account->SetString(L"SmtpAddress", L"reader@gmail.com");
  outlook.message->SetBinary(
      host::kPrEntryId,
      std::string(FakeOutlook::kMailMapiEntryId, sizeof FakeOutlook::kMailMapiEntryId - 1));
  const std::wstring body = L"Your statement is ready.";
  outlook.message->SetStream(
      host::kPrBodyW,
      std::string(reinterpret_cast<const char*>(body.c_str()), body.size() * sizeof(wchar_t)));
  const struct {
    const wchar_t* fromLines;
    const wchar_t* outlookSender;
    const wchar_t* refusal;  // null: branded
  } cases[] = {
      {L"From: Kestrel <alerts@kestrel.example>\r\n", L"alerts@kestrel.example", nullptr},
      {L"From: Kestrel <alerts@kestrel.example>\r\nFrom : <x@evil.example>\r\n",
       L"alerts@kestrel.example",
       L"From field refused for branding: the message has 2 From fields"},
      {L"From: Alerts: alerts@kestrel.example;\r\n", L"alerts@kestrel.example",
       L"From field refused for branding: the From field holds a group"},
      {L"From: alerts@kestrel.example, x@evil.example\r\n", L"alerts@kestrel.example",
       L"From field refused for branding: the From field holds 2 mailboxes"},
      {L"From: <@evil.example:alerts@kestrel.example>\r\n", L"alerts@kestrel.example",
       L"From field refused for branding: the address has a source route"},
      {L"From: alerts(x@evil.example)@kestrel.example\r\n", L"alerts@kestrel.example",
       L"From field refused for branding: a comment inside the address holds '@'"},
      {L"From: Kestrel <alerts@kestrel.example>\r\n", L"x@evil.example",
       L"From field refused for branding: Outlook shows the sender x@evil.example, the From "
       L"field holds alerts@kestrel.example"},
      {L"From: <alerts@kestrel.example.>\r\n", L"alerts@kestrel.example.",
       L"Sender domain kestrel.example. is not a host name (an empty label); it matches no "
       L"brand"},
  };
  {
    ComPtr<IDTExtensibility2> connect = CreateConnect();
    ASSERT_TRUE(connect);
    ASSERT_EQ(
        connect->OnConnection(outlook.ApplicationArgument(), kConnectStartup, nullptr, nullptr),
        S_OK);
    EXPECT_TRUE(
        Logged(L"Skipping branding entry 2 (Star): the domain \"*\" is not a host name: "
               L"it holds a wildcard"));
    int serial = 0;
    for (const auto& c : cases) {
      SCOPED_TRACE(::testing::Message() << "case " << serial);
      outlook.mail->SetString(L"EntryID", L"CASE" + std::to_wstring(++serial));
      outlook.message->SetText(host::kPrMessageClassW, L"IPM.Note");
      outlook.message->SetText(host::kPrSentRepresentingEmailAddressW, c.outlookSender);
      outlook.message->SetText(
          host::kPrTransportMessageHeadersW,
          L"Received: from out.kestrel.example (out.kestrel.example. [192.0.2.1])\r\n"
          L"        by mx.google.com with ESMTPS id s1si2\r\n"
          L"Authentication-Results: mx.google.com; dkim=pass header.i=@kestrel.example\r\n" +
              std::wstring(c.fromLines) + L"Subject: Statement\r\n");
      outlook.explorerEvents().Fire(0xF007);
      if (c.refusal == nullptr) {
        EXPECT_EQ(outlook.message->Text(host::kPrMessageClassW), L"IPM.Note.Tidepost.Kestrel");
        EXPECT_TRUE(
            Logged(L"Branding message for sender Kestrel SPF=, DKIM=pass, "
                   L"DKIMDomain=kestrel.example"));
      } else {
        EXPECT_EQ(outlook.message->Text(host::kPrMessageClassW), L"IPM.Note");
        EXPECT_TRUE(Logged(c.refusal));
      }
    }
    outlook.applicationEvents().Fire(0xF007);  // Quit
    EXPECT_TRUE(Logged(L"Out of OnQuit"));
  }
  ::DeleteFileW(list.c_str());
  ::RegDeleteTreeW(HKEY_CURRENT_USER,
                   L"Software\\Microsoft\\Office\\Outlook\\FormRegions\\IPM.Note.Tidepost.Kestrel");
}

}  // namespace
}  // namespace tp::testing
