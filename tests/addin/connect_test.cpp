// The add-in object's life: construction, connection, timers, quit and reconnection.
#include "addin/connect.h"

#include <gtest/gtest.h>

#include "addin/add_in_fixture.h"
#include "addin/timer_proc.h"
#include "branding/mail_provider.h"
#include "platform/process_state.h"
#include "platform/registry_values.h"
#include "platform/timer_ids.h"

namespace tp {
namespace {

using host::EventSinkId;
using host::kNotAdvisedCookie;

class ConnectTest : public testing::AddinTest {
 protected:
  // The user-interface thread's messages from `first` to `last` (the workers' own start and
  // end lines are left out).
  std::vector<std::wstring> MessagesBetween(const std::wstring& first, const std::wstring& last) {
    std::vector<std::wstring> all;
    for (const std::wstring& message : LogMessages()) {
      if (message.rfind(L"Starting bg", 0) != 0 && message.rfind(L"End of bg", 0) != 0) {
        all.push_back(message);
      }
    }
    auto begin = std::find(all.begin(), all.end(), first);
    auto end = std::find(begin, all.end(), last);
    if (end != all.end())
      ++end;
    return std::vector<std::wstring>(begin, end);
  }
  void SetIeKey(const wchar_t* name, const wchar_t* value) {
    std::unique_ptr<host::RegistryKey> key;
    sim()
        .registry.Root(host::RegRoot::kLocalMachine)
        .CreateSubKey(L"SOFTWARE\\Microsoft\\Internet Explorer", host::RegAccess::kReadWrite, &key);
    if (name)
      WriteStringValue(*key, name, value);
  }
};

TEST_F(ConnectTest, ConstructionPreparesTheObjectAndStartsTheDownloadWorkers) {
  sim().system.screenPixelsPerInch = 120;
  CConnect& addin = Create(QuietOptions());
  EXPECT_TRUE(Logged(L"In CConnect"));
  EXPECT_GE(addin.msg_send_cancel(), 0xC000u);
  EXPECT_NE(addin.msg_send_cancel(), addin.msg_send_activate());
  EXPECT_NE(addin.msg_send_activate(), addin.msg_send_offline());
  EXPECT_EQ(addin.zoom_dpi(), 125);
  EXPECT_EQ(addin.zoom_default(), 100);
  EXPECT_NE(addin.style_head_225().find(L"</head>"), std::wstring::npos);
  EXPECT_NE(addin.style_head_226().find(L"</head>"), std::wstring::npos);
  EXPECT_TRUE(OpenRegistryKey(host::RegRoot::kCurrentUser, L"Software\\Tidepost\\Addon",
                              host::RegAccess::kRead));
  EXPECT_TRUE(g_sendersListDownloader);
  EXPECT_TRUE(g_senderIconCache);
  for (EventSinkId id :
       {EventSinkId::kInspectors, EventSinkId::kExplorer, EventSinkId::kApplication}) {
    EXPECT_EQ(addin.sink_cookie(id), kNotAdvisedCookie);
  }
  Destroy();
  EXPECT_FALSE(g_sendersListDownloader);
  EXPECT_FALSE(g_senderIconCache);
  EXPECT_TRUE(Logged(L"In ~CConnect"));
}

TEST_F(ConnectTest, MissingScreenAndResourcesLeaveDefaults) {
  sim().system.screenPixelsPerInch.reset();
  sim().resources.overrides[{L"STYLE", 225}] = std::nullopt;
  CConnect& addin = Create(QuietOptions());
  EXPECT_EQ(addin.zoom_dpi(), 100);
  EXPECT_EQ(addin.style_head_225(), L"");
  EXPECT_FALSE(addin.style_head_226().empty());
}

TEST_F(ConnectTest, ConnectionAttachesToOutlookInOrder) {
  sim().system.dragFullWindows = true;
  SetIeKey(L"svcVersion", L"11.0.9600.18860");
  ASSERT_EQ(Connect(), hr::kOk);
  EXPECT_EQ(g_pConnect, connect.get());
  EXPECT_EQ(connect->outlook_version(), 16);
  EXPECT_EQ(connect->ie_version(), 11);
  EXPECT_TRUE(connect->drag_full_windows());
  EXPECT_EQ(connect->explorer_window(), explorerWindow);
  EXPECT_EQ(sim().outlook.AdvisedSinkCount(), 3u);
  for (EventSinkId id :
       {EventSinkId::kInspectors, EventSinkId::kExplorer, EventSinkId::kApplication}) {
    EXPECT_NE(connect->sink_cookie(id), kNotAdvisedCookie);
  }
  EXPECT_EQ(sim().system.navigationSoundsDisabled, 1);
  EXPECT_EQ(MessagesBetween(L"In OnConnection", L"Attaching to application events"),
            (std::vector<std::wstring>{L"In OnConnection", L"Attaching to explorer events",
                                       L"Getting providers and providers icons",
                                       L"Branding JSON still empty, checking in 1 second",
                                       L"Attaching to application events"}));
  EXPECT_EQ(sim().ui.TimeUntil(explorerWindow, kTimerDestroyClosedWindows), 1000);
  EXPECT_EQ(sim().ui.TimeUntil(explorerWindow, kTimerLoadBrandingList), 1000);
  ASSERT_NE(connect->statistics(), nullptr);
}

TEST_F(ConnectTest, InternetExplorerVersionFallsBackThroughItsValues) {
  SetIeKey(L"Version", L"9.11.9600");
  Connect();
  EXPECT_EQ(connect->ie_version(), 9);
  Destroy();
  sim()
      .registry.Root(host::RegRoot::kLocalMachine)
      .DeleteTree(L"SOFTWARE\\Microsoft\\Internet Explorer");
  SetIeKey(nullptr, nullptr);
  Connect();
  EXPECT_EQ(connect->ie_version(), 0);  // the key without either value
  Destroy();
  sim()
      .registry.Root(host::RegRoot::kLocalMachine)
      .DeleteTree(L"SOFTWARE\\Microsoft\\Internet Explorer");
  Connect();
  EXPECT_EQ(connect->ie_version(), 8);  // no key at all
}

TEST_F(ConnectTest, FailuresToReachOutlookAreLoggedAndReturned) {
  sim().outlook.failResolveAt = host::ConnectionArgument::Step::kGetIdsOfNames;
  EXPECT_EQ(Connect(), sim().outlook.resolveFailure);
  EXPECT_TRUE(Logged(L"Failed Application->GetIDsOfNames"));
  sim().outlook.failResolveAt = host::ConnectionArgument::Step::kInvoke;
  EXPECT_EQ(Connect(), sim().outlook.resolveFailure);
  EXPECT_TRUE(Logged(L"Failed Application->Invoke"));
  sim().outlook.failResolveAt.reset();
  sim().outlook.getNamespaceFailure = static_cast<HResult>(0x80040111);
  EXPECT_EQ(Connect(), static_cast<HResult>(0x80040111));
  EXPECT_TRUE(Logged(L"BGNewMail: Failed to get Namespace (Error: 80040111x)"));
  EXPECT_EQ(g_pConnect, nullptr);
  EXPECT_EQ(sim().outlook.AdvisedSinkCount(), 0u);
}

TEST_F(ConnectTest, OutlookOlderThan2007LeavesTheAddinInert) {
  sim().outlook.version = L"11.0.8169";
  EXPECT_EQ(Connect(), hr::kFalse);
  EXPECT_EQ(g_pConnect, nullptr);
  EXPECT_EQ(sim().outlook.AdvisedSinkCount(), 0u);
  EXPECT_TRUE(sim().ui.PendingTimers().empty());
  EXPECT_EQ(connect->statistics(), nullptr);
  EXPECT_TRUE(g_sendersListDownloader);  // the workers of the constructor still run
}

TEST_F(ConnectTest, WithoutAnExplorerTimersWaitForTheFirstSelection) {
  sim().outlook.activeExplorer.reset();
  ASSERT_EQ(Connect(), hr::kOk);
  EXPECT_EQ(connect->explorer_window(), 0u);
  EXPECT_EQ(sim().outlook.AdvisedSinkCount(), 2u);
  EXPECT_TRUE(sim().ui.PendingTimers().empty());
  EXPECT_TRUE(connect->timers().IsHeldBack(kTimerDestroyClosedWindows));
  EXPECT_FALSE(Logged(L"Getting providers and providers icons"));

  sim().clock.Advance(400);
  sim().outlook.activeWindow = explorerWindow;
  connect->OnExplorerSelectionChange();
  EXPECT_EQ(connect->explorer_window(), explorerWindow);
  EXPECT_EQ(sim().ui.TimeUntil(explorerWindow, kTimerDestroyClosedWindows), 600);
  EXPECT_EQ(sim().ui.TimeUntil(explorerWindow, kTimerScanSchedule), 1000);
}

TEST_F(ConnectTest, AccountMapClassifiesIncomingServers) {
  sim().outlook.accounts = {{L"Me@Live.example", L"pop3.live.com"},
                            {L"work@company.example", L"imap.outlook.com"},
                            {L"mine@gmail.com", L"imap.gmail.com"},
                            {L"other@company.example", L"mail.company.example"},
                            {L"skipped", L"", false}};
  ASSERT_EQ(Connect(), hr::kOk);
  EXPECT_EQ(g_accountProviderDomains,
            (std::map<std::wstring, std::wstring>{{L"me@live.example", L"@hotmail.com"},
                                                  {L"work@company.example", L"@hotmail.com"},
                                                  {L"mine@gmail.com", L"@gmail.com"}}));
}

TEST_F(ConnectTest, AccountManagerFailureOnlySkipsTheMap) {
  g_accountProviderDomains.clear();
  sim().outlook.accounts = {{L"mine@gmail.com", L"imap.gmail.com"}};
  sim().outlook.accountManagerInitFailure = hr::kFail;
  ASSERT_EQ(Connect(), hr::kOk);
  EXPECT_TRUE(g_accountProviderDomains.empty());
}

TEST_F(ConnectTest, QuitReleasesEverythingAndASecondQuitOnlyLogs) {
  sim().system.dragFullWindows = true;
  ASSERT_EQ(Connect(), hr::kOk);
  sim().outlook.RaiseQuit();
  EXPECT_EQ(g_pConnect, nullptr);
  EXPECT_EQ(sim().outlook.AdvisedSinkCount(), 0u);
  for (EventSinkId id :
       {EventSinkId::kInspectors, EventSinkId::kExplorer, EventSinkId::kApplication}) {
    EXPECT_EQ(connect->sink_cookie(id), kNotAdvisedCookie);
  }
  EXPECT_TRUE(IsStopSignaled());
  EXPECT_TRUE(sim().ui.PendingTimers().empty());
  EXPECT_FALSE(g_sendersListDownloader);
  EXPECT_EQ(connect->statistics(), nullptr);
  EXPECT_TRUE(Logged(L"CConnect::OnQuit - SPI_SETDRAGFULLWINDOWS TRUE"));
  EXPECT_TRUE(sim().system.dragFullWindows);
  EXPECT_TRUE(std::filesystem::exists(DataFolder() / "StatsCache.ini"));
  EXPECT_EQ(
      MessagesBetween(L"In OnQuit", L"Out of OnQuit"),
      (std::vector<std::wstring>{L"In OnQuit", L"CConnect::OnQuit - SPI_SETDRAGFULLWINDOWS TRUE",
                                 L"Cleaning up", L"Out of OnQuit"}));

  const int writes = sim().system.dragFullWindowsWrites;
  EXPECT_EQ(connect->OnDisconnection(), hr::kOk);
  EXPECT_EQ(CountLogged(L"In OnQuit"), 2);
  EXPECT_EQ(CountLogged(L"Out of OnQuit"), 2);
  EXPECT_EQ(sim().system.dragFullWindowsWrites, writes);
}

TEST_F(ConnectTest, QuitUnadvisesAnExplorerThatOutlookHasReplaced) {
  ASSERT_EQ(Connect(), hr::kOk);
  sim().outlook.activeExplorer = std::make_shared<host::sim::SimExplorerState>();
  sim().outlook.RaiseQuit();
  EXPECT_EQ(sim().outlook.AdvisedSinkCount(), 0u);
}

TEST_F(ConnectTest, TimersActOnlyWhileConnected) {
  ASSERT_EQ(Connect(), hr::kOk);
  sim().ui.Advance(1000);  // 1814 sweeps and re-arms; 1813 retries the branding list
  EXPECT_EQ(sim().ui.TimeUntil(explorerWindow, kTimerDestroyClosedWindows), 1000);
  EXPECT_EQ(CountLogged(L"Branding JSON still empty, checking in 1 second"), 2);
  connect->OnQuit();
  // A timer that fires after quit is killed and does nothing.
  sim().ui.SetTimer(explorerWindow, kTimerLoadBrandingList, 10);
  sim().ui.Advance(1000);
  EXPECT_EQ(CountLogged(L"Branding JSON still empty, checking in 1 second"), 2);
  EXPECT_FALSE(sim().ui.HasTimer(explorerWindow, kTimerLoadBrandingList));
}

TEST_F(ConnectTest, AReconnectionInTheSameProcessScansAgain) {
  ASSERT_EQ(Connect(), hr::kOk);
  Destroy();
  EXPECT_TRUE(IsStopSignaled());
  ASSERT_EQ(Connect(), hr::kOk);
  EXPECT_FALSE(IsStopSignaled());
}

TEST_F(ConnectTest, LogonCompleteAndFolderSwitchEvents) {
  ASSERT_EQ(Connect(), hr::kOk);
  sim().outlook.RaiseLogonComplete();
  EXPECT_TRUE(Logged(L"In OnLogonComplete"));
  sim().outlook.RaiseFolderSwitch();
  EXPECT_TRUE(Logged(L"In OnFolderSwitch event"));
  EXPECT_EQ(g_hScanEvent->Wait(0), host::WaitResult::kSignaled);
}

}  // namespace
}  // namespace tp
