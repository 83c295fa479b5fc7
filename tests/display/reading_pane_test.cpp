// The reading pane's browser: its creation and rebuilding by timer 2712, the switch back to
// Outlook's view by timer 2728, the show retries, the offline check and its notice, the helper
// object's two messages, the watcher's resizing and the folder switch.
#include "display/reading_pane.h"

#include <gtest/gtest.h>

#include "base/format.h"
#include "display/display_fixture.h"
#include "host/windows.h"
#include "platform/configuration.h"
#include "platform/timer_ids.h"

namespace tp {
namespace {

using host::sim::SimBrowserControl;
using testing::DisplayTest;

class ReadingPaneTest : public DisplayTest {
 protected:
  int64_t Until(host::TimerId id) { return sim().ui.TimeUntil(explorerWindow, id); }
  host::WindowHandle FocusInPaneBrowser() {
    sim().windows.focus = PaneControl()->focusWindow;
    return sim().windows.focus;
  }
  // The explorer's first frame window, which holds the whole reading pane.
  host::WindowHandle PaneFrame() {
    return sim().windows.FindChild(explorerWindow, L"rctrl_renwnd32");
  }
};

TEST_F(ReadingPaneTest, TheFirstMessageMakesTheBrowser100MsLaterAndStartsItsActiveContent) {
  Start();
  Select(AddMessage(L"a1", true));
  EXPECT_TRUE(Logged(L"Current window is not advised"));
  EXPECT_EQ(Until(kTimerCreateBrowserWindow), 100);
  sim().ui.Advance(99);
  EXPECT_EQ(pane().browser().window(), 0u);
  sim().ui.Advance(1);
  const host::WindowHandle browser = pane().browser().window();
  ASSERT_NE(browser, 0u);
  EXPECT_TRUE(pane().advised());
  const auto* window = sim().windows.Find(browser);
  EXPECT_EQ(window->parent, readingPane.bodyHost);
  EXPECT_EQ(window->text, L"Brisklet for Outlook");
  EXPECT_EQ(sim().windows.ClientRect(browser), sim().windows.ClientRect(readingPane.bodyHost));
  EXPECT_TRUE(Visible(browser));
  EXPECT_FALSE(Visible(readingPane.body));
  EXPECT_TRUE(pane().active_shown());
  EXPECT_EQ(pane().shown_entry_id(), L"a1");

  const host::sim::SimHelperObject& helper = LastHelper();
  EXPECT_EQ(helper.calls, (std::vector<std::wstring>{Format(L"SetHostWindow %x", explorerWindow),
                                                     Format(L"SetSite %x", browser),
                                                     L"SetMessageInfo", L"SetPageContent"}));
  const CheckedMessage& checked = connect->checked_message();
  EXPECT_EQ(helper.messageInfo,
            (std::array<std::wstring, 5>{L"alerts@bank.example", L"Subject of a1", L"a1",
                                         checked.account, L"gmail"}));
  EXPECT_NE(helper.page.find(L"[APPointer:res=https://content.example/s/1;pos=message"),
            std::wstring::npos);
  SimBrowserControl* control = PaneControl();
  EXPECT_EQ(control->navigations,
            (std::vector<std::wstring>{L"about:blank", config::kActiveContentPage}));
  EXPECT_EQ(control->zooms, std::vector<int>{100});
  for (host::HookType hook :
       {host::HookType::kCallWndProc, host::HookType::kKeyboard, host::HookType::kMouse}) {
    EXPECT_TRUE(sim().input.IsHookInstalled(hook));
  }

  // Both navigations complete; the first after the start installs the UI handler, once.
  sim().ui.Advance(100);
  EXPECT_TRUE(Logged(L"in OnNavigateComplete2; m_bCountNavigate = 0"));
  EXPECT_TRUE(Logged(L"in OnNavigateComplete2; m_bCountNavigate = 1"));
  EXPECT_EQ(control->uiHandlerInstalls, 1);
  EXPECT_EQ(control->location, config::kActiveContentPage);
}

TEST_F(ReadingPaneTest, AMessageWithoutActiveContentGetsOutlooksViewBack400MsLater) {
  Start();
  ShowInPane(AddMessage(L"a1", true));
  const host::WindowHandle browser = pane().browser().window();
  Select(AddMessage(L"s1", false));
  EXPECT_TRUE(Logged(L"Reusing browser object"));
  EXPECT_EQ(pane().shown_entry_id(), L"");
  EXPECT_EQ(PaneControl()->navigations.back(), L"about:blank");
  EXPECT_EQ(Until(kTimerBackToOutlookView), 400);
  sim().ui.Advance(399);
  EXPECT_FALSE(Visible(readingPane.body));
  sim().ui.Advance(1);
  EXPECT_TRUE(Visible(readingPane.body));
  EXPECT_FALSE(Visible(browser));
  EXPECT_TRUE(Logged(Format(L"Switching back to Outlook view. Window=%xx, ActiveWindow=%xx",
                            readingPane.bodyHost, browser)));

  // A message being written keeps whatever is in view.
  auto draft = AddMessage(L"d1", false);
  draft->sent = false;
  Select(draft);
  EXPECT_TRUE(Logged(L"Inspector is of a compose window Ignoring"));
  EXPECT_FALSE(sim().ui.HasTimer(explorerWindow, kTimerBackToOutlookView));
}

TEST_F(ReadingPaneTest, ActiveContentKillsAPendingSwitchBack) {
  Start();
  ShowInPane(AddMessage(L"s1", false));
  ASSERT_TRUE(sim().ui.HasTimer(explorerWindow, kTimerBackToOutlookView));
  Select(AddMessage(L"a1", true));
  EXPECT_FALSE(sim().ui.HasTimer(explorerWindow, kTimerBackToOutlookView));
  sim().ui.Advance(1000);
  EXPECT_TRUE(Visible(pane().browser().window()));
  EXPECT_FALSE(Visible(readingPane.body));
}

TEST_F(ReadingPaneTest, ABrowserWindowThatWentIsRebuilt400MsLaterWithoutUsingItsHandle) {
  Start();
  ShowInPane(AddMessage(L"a1", true));
  const host::WindowHandle gone = pane().browser().window();
  sim().ui.DestroyWindow(gone);
  Select(AddMessage(L"a2", true));
  EXPECT_TRUE(Logged(L"Resetting active browser window"));
  EXPECT_TRUE(pane().hide_on_create());
  EXPECT_EQ(Until(kTimerCreateBrowserWindow), 400);
  sim().ui.Advance(399);
  EXPECT_EQ(pane().browser().window(), 0u);
  sim().ui.Advance(1);
  ASSERT_NE(pane().browser().window(), 0u);
  EXPECT_NE(pane().browser().window(), gone);
  EXPECT_EQ(pane().shown_entry_id(), L"a2");
  EXPECT_TRUE(sim().windows.staleUses.empty()) << sim().windows.staleUses.front();
}

TEST_F(ReadingPaneTest, WithoutAReadingPaneTheWindowIsLookedForEverySecond) {
  Start();
  sim().ui.DestroyWindow(PaneFrame());  // the reading pane is switched off
  Select(AddMessage(L"a1", true));
  sim().ui.Advance(100);
  EXPECT_EQ(Until(kTimerCreateBrowserWindow), 1000);
  sim().ui.Advance(999);
  readingPane = host::sim::BuildReadingPane(sim().windows, explorerWindow);
  EXPECT_EQ(pane().browser().window(), 0u);
  sim().ui.Advance(1);
  ASSERT_NE(pane().browser().window(), 0u);
  EXPECT_EQ(sim().windows.Find(pane().browser().window())->parent, readingPane.bodyHost);
  EXPECT_TRUE(sim().windows.staleUses.empty());
}

TEST_F(ReadingPaneTest, AWindowThatCannotBeMadeIsTriedAgainAfter100Ms) {
  Start();
  sim().browsers.failWindowCreation = true;
  ShowInPane(AddMessage(L"a1", true));
  EXPECT_TRUE(Logged(L"Could not create active browser window"));
  EXPECT_EQ(Until(kTimerCreateBrowserWindow), 100);
  sim().browsers.failWindowCreation = false;
  sim().ui.Advance(100);
  EXPECT_NE(pane().browser().window(), 0u);
  EXPECT_EQ(pane().shown_entry_id(), L"a1");
}

TEST_F(ReadingPaneTest, AWindowWithoutItsControlIsLetGoOfAndNotKept) {
  Start();
  sim().browsers.windowWithoutControl = true;
  ShowInPane(AddMessage(L"a1", true));
  EXPECT_FALSE(pane().advised());
  EXPECT_EQ(pane().browser().window(), 0u);
  ASSERT_EQ(connect->closed_browser_windows().size(), 1u);
  EXPECT_EQ(Until(kTimerCreateBrowserWindow), 1000);
  EXPECT_TRUE(Visible(readingPane.body));
  EXPECT_EQ(sim().windows.Children(readingPane.bodyHost),
            std::vector<host::WindowHandle>{readingPane.body});
}

TEST_F(ReadingPaneTest, WithoutAnActiveWindowTheShowIsTriedAgainEvery100Ms) {
  Start();
  sim().outlook.activeWindow = 0;
  Select(AddMessage(L"a1", true));
  EXPECT_EQ(Until(kTimerRetryShowInPane), 100);
  sim().ui.Advance(100);
  EXPECT_EQ(CountLogged(L"In ShowBrisklet"), 2);
  EXPECT_EQ(CountLogged(L"in ShowBriskletOnWindow"), 0);
  sim().outlook.activeWindow = explorerWindow;
  sim().ui.Advance(99);
  EXPECT_EQ(CountLogged(L"in ShowBriskletOnWindow"), 0);
  sim().ui.Advance(1);
  EXPECT_EQ(CountLogged(L"in ShowBriskletOnWindow"), 1);
  sim().ui.Advance(100);  // 2712 makes the window and shows the message checked last
  EXPECT_EQ(pane().shown_entry_id(), L"a1");
}

TEST_F(ReadingPaneTest, SelectingTheShownMessageAgainLeavesItsActiveContentAlone) {
  Start();
  auto active = AddMessage(L"a1", true);
  ShowInPane(active);
  sim().ui.Advance(100);
  const size_t navigations = PaneControl()->navigations.size();
  const size_t helperCalls = LastHelper().calls.size();
  // Two items selected and then the first alone: it is checked again.
  sim().outlook.activeExplorer->selection = {active, AddMessage(L"s1", false)};
  sim().outlook.RaiseSelectionChange();
  Select(active);
  EXPECT_EQ(CountLogged(L"OnExplorerSelectionChange: a1"), 2);
  EXPECT_EQ(PaneControl()->navigations.size(), navigations);
  EXPECT_EQ(LastHelper().calls.size(), helperCalls);
  EXPECT_TRUE(Visible(pane().browser().window()));
  EXPECT_FALSE(Visible(readingPane.body));
  EXPECT_TRUE(pane().active_shown());
}

TEST_F(ReadingPaneTest, TheStateIsReadOnEveryFourthShowAndForActiveContentTheProbeOnceAMinute) {
  Start();
  struct Show {
    bool active;
    int statesAfter;
  };
  const Show kShows[] = {
      {false, 1},                                      // 1st
      {false, 1}, {false, 1}, {false, 1}, {false, 2},  // 5th
      {true, 3},                                       // active content: always
      {false, 3}, {false, 3}, {false, 4},              // 9th
      {true, 5},
  };
  int number = 0;
  for (const Show& show : kShows) {
    ShowInPane(AddMessage(Format(L"m%d", ++number), show.active));
    EXPECT_EQ(sim().connectivity.stateQueries, show.statesAfter) << "show " << number;
  }
  EXPECT_EQ(CountLogged(L"Internet is on"), 5);
  // The forced probe went to a worker, once in that minute.
  EXPECT_EQ(display().offline_check().probe().started(), 1);
  ASSERT_TRUE(sim().connectivity.WaitForProbes(1, std::chrono::seconds(20)));
  EXPECT_EQ(sim().connectivity.Probes().front(), config::kConnectivityProbeUrl);
  sim().ui.Advance(60000);
  ShowInPane(AddMessage(L"a1", true));
  EXPECT_EQ(display().offline_check().probe().started(), 2);
  ASSERT_TRUE(sim().connectivity.WaitForProbes(2, std::chrono::seconds(20)));
}

TEST_F(ReadingPaneTest, OfflineActiveContentIsShownStaticallyWithOneNoticeUntilOnlineAgain) {
  Start();
  sim().connectivity.online = false;
  ShowInPane(AddMessage(L"a1", true));
  EXPECT_TRUE(Logged(L"Internet is offline"));
  ASSERT_EQ(sim().windows.messageBoxes.size(), 1u);
  const auto& notice = sim().windows.messageBoxes.front();
  EXPECT_EQ(notice.owner, explorerWindow);
  EXPECT_EQ(notice.caption, L"Tidepost \u2013 No Internet Connection");
  EXPECT_EQ(notice.text.rfind(L"Cannot open Brisklet as Internet connection is not available.", 0),
            0u);
  EXPECT_EQ(notice.type, host::kMbIconExclamation);
  EXPECT_TRUE(Logged(L"In create - Brisklet is OFF"));
  EXPECT_EQ(pane().shown_entry_id(), L"");
  sim().ui.Advance(400);
  EXPECT_TRUE(Visible(readingPane.body));

  ShowInPane(AddMessage(L"a2", true));
  EXPECT_EQ(sim().windows.messageBoxes.size(), 1u) << "one notice while offline";
  sim().connectivity.online = true;
  ShowInPane(AddMessage(L"a3", true));
  EXPECT_EQ(pane().shown_entry_id(), L"a3");
  sim().connectivity.online = false;
  ShowInPane(AddMessage(L"a4", true));
  EXPECT_EQ(sim().windows.messageBoxes.size(), 2u) << "seen online in between";

  // A failing state query counts as offline too.
  sim().connectivity.online = true;
  sim().connectivity.stateCallFails = true;
  ShowInPane(AddMessage(L"a5", true));
  EXPECT_EQ(pane().shown_entry_id(), L"");
}

TEST_F(ReadingPaneTest, TheHelpersMessagesSwitchTheViewFromTheExplorer) {
  Start();
  ShowInPane(AddMessage(L"a1", true));
  const host::WindowHandle browser = pane().browser().window();
  SimBrowserControl* control = PaneControl();
  FocusInPaneBrowser();

  sim().browsers.SendCancel();
  EXPECT_TRUE(Visible(readingPane.body));
  EXPECT_FALSE(Visible(browser));
  EXPECT_EQ(control->navigations.back(), L"about:blank");
  EXPECT_EQ(pane().shown_entry_id(), L"") << "selected again, it starts anew";

  // The reading pane was made smaller meanwhile: the browser takes the message's size.
  sim().windows.SetPosition(readingPane.body, 0, 0, 500, 300, host::kSwpNoMove);
  const size_t helperCalls = LastHelper().calls.size();
  sim().browsers.SendActivate();
  EXPECT_EQ(control->refreshes, 1);
  EXPECT_FALSE(Visible(readingPane.body));
  EXPECT_TRUE(Visible(browser));
  EXPECT_EQ(sim().windows.ClientRect(browser), (host::Rect{0, 0, 500, 300}));
  EXPECT_EQ(LastHelper().calls.size(), helperCalls + 2);
  EXPECT_EQ(LastHelper().messageInfo[2], L"a1");
  EXPECT_EQ(control->navigations.back(), config::kActiveContentPage);
}

TEST_F(ReadingPaneTest, ACancelFromInsideTheHelpersCallStopsTheStartAndReleasesNothing) {
  Start();
  sim().browsers.helperDuringCall = [this](const std::wstring& call) {
    if (call != L"SetPageContent")
      return;
    FocusInPaneBrowser();
    sim().browsers.SendCancel();
  };
  ShowInPane(AddMessage(L"a1", true));
  EXPECT_FALSE(pane().active_shown());
  EXPECT_TRUE(Visible(readingPane.body));
  EXPECT_FALSE(Visible(pane().browser().window()));
  EXPECT_EQ(PaneControl()->navigations.back(), L"about:blank") << "the maker's page not loaded";
  EXPECT_EQ(pane().shown_entry_id(), L"");
  EXPECT_TRUE(sim().windows.releasedInCall.empty()) << sim().windows.releasedInCall.front();
}

TEST_F(ReadingPaneTest, TheVisibleBrowserFollowsTheSizeOfTheBodyHost) {
  Start();
  ShowInPane(AddMessage(L"a1", true));
  const host::WindowHandle browser = pane().browser().window();
  sim().windows.SetPosition(readingPane.bodyHost, 0, 0, 480, 320, host::kSwpNoMove);
  EXPECT_EQ(sim().windows.ClientRect(browser), (host::Rect{0, 0, 480, 320}));
  // Hidden, it is left alone until it is shown again.
  FocusInPaneBrowser();
  sim().browsers.SendCancel();
  sim().windows.SetPosition(readingPane.bodyHost, 0, 0, 400, 200, host::kSwpNoMove);
  sim().windows.Send(readingPane.body, host::kWmPaint);
  EXPECT_EQ(sim().windows.ClientRect(browser), (host::Rect{0, 0, 480, 320}));
  // A paint of a window elsewhere changes nothing either.
  sim().browsers.SendActivate();
  const host::Rect shown = *sim().windows.ClientRect(browser);
  sim().windows.Send(readingPane.dialog, host::kWmPaint);
  EXPECT_EQ(sim().windows.ClientRect(browser), shown);
}

TEST_F(ReadingPaneTest, TheDialogGoingForgetsTheMailOnDisplay) {
  Start();
  auto active = AddMessage(L"a1", true);
  ShowInPane(active);
  EXPECT_EQ(connect->current_entry_id(), L"a1");
  sim().ui.DestroyWindow(readingPane.dialog);  // the browser goes with it
  EXPECT_EQ(connect->current_entry_id(), L"");
  Select(active);
  EXPECT_EQ(CountLogged(L"OnExplorerSelectionChange: a1"), 2);
  EXPECT_TRUE(Logged(L"Resetting active browser window"));
  EXPECT_TRUE(sim().windows.staleUses.empty()) << sim().windows.staleUses.front();
}

TEST_F(ReadingPaneTest, AFolderSwitchDetachesTheBrowserAndMakesANewOne) {
  Start();
  ShowInPane(AddMessage(L"a1", true));
  sim().ui.Advance(100);  // the active-content page has loaded
  const host::WindowHandle old = pane().browser().window();
  EXPECT_FALSE(sim().outlook.RaiseBeforeFolderSwitch(inbox));
  EXPECT_FALSE(Visible(old));
  EXPECT_EQ(sim().windows.Find(old)->parent, 0u);
  EXPECT_EQ(connect->closed_browser_windows().size(), 1u);
  EXPECT_TRUE(connect->folder_switch_flag());
  EXPECT_FALSE(pane().advised());
  EXPECT_EQ(Until(kTimerCreateBrowserWindow), 400);
  sim().ui.Advance(400);
  ASSERT_NE(pane().browser().window(), 0u);
  EXPECT_NE(pane().browser().window(), old);
  // The detached window is destroyed by the sweep once it is five seconds old.
  sim().ui.Advance(4000);
  EXPECT_TRUE(sim().ui.IsWindow(old));
  sim().ui.Advance(2000);
  EXPECT_FALSE(sim().ui.IsWindow(old));

  // With the blank page in view there is nothing to detach.
  Select(AddMessage(L"s1", false));
  sim().ui.Advance(1000);
  EXPECT_FALSE(sim().outlook.RaiseBeforeFolderSwitch(inbox));
  EXPECT_EQ(connect->closed_browser_windows().size(), 0u);
}

TEST_F(ReadingPaneTest, AHelperObjectThatCannotBeMadeGivesOutlooksViewBack) {
  Start();
  sim().browsers.helperCreationFailure = static_cast<HResult>(0x80040154);
  ShowInPane(AddMessage(L"a1", true));
  EXPECT_TRUE(Logged(L"Failed to create BHO instance"));
  EXPECT_FALSE(Visible(pane().browser().window()));
  EXPECT_TRUE(Visible(readingPane.body));
  EXPECT_EQ(PaneControl()->navigations, std::vector<std::wstring>{L"about:blank"});
  EXPECT_EQ(pane().shown_entry_id(), L"");

  // A helper object whose calls fail stops the start the same way.
  sim().browsers.helperCreationFailure = hr::kOk;
  sim().browsers.helperCallFailure = hr::kFail;
  ShowInPane(AddMessage(L"a2", true));
  EXPECT_TRUE(Logged(L"Browser helper object failed (80004005x)"));
  EXPECT_EQ(pane().shown_entry_id(), L"");
  EXPECT_TRUE(Visible(readingPane.body));
}

TEST_F(ReadingPaneTest, SelectingAnItemThatIsNoMailLetsGoOfTheBrowser) {
  Start();
  ShowInPane(AddMessage(L"a1", true));
  const host::WindowHandle browser = pane().browser().window();
  auto meeting = AddMessage(L"x1", false);
  meeting->isMailItem = false;
  Select(meeting);
  EXPECT_FALSE(pane().advised());
  EXPECT_TRUE(Logged(L"CConnect::CleanMainActive -> DispEventUnadvise: 0"));
  ASSERT_TRUE(sim().ui.IsWindow(browser));
  EXPECT_FALSE(Visible(browser));
  EXPECT_EQ(sim().windows.Find(browser)->parent, 0u);
  EXPECT_FALSE(LastHelper().released);
  // The sweep releases it whole once it is five seconds old.
  sim().ui.Advance(6000);
  EXPECT_FALSE(sim().ui.IsWindow(browser));
  EXPECT_TRUE(LastHelper().released);
  EXPECT_EQ(LastHelper().calls.back(), L"SetSite null");
}

}  // namespace
}  // namespace tp
