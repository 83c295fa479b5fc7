// The browser of each inspector: laid over the body found in the inspector's window tree,
// activated and cancelled, closed with its inspector, tried again until the inspector is the
// active one, and never let go of inside a call that came from it.
#include "display/brisklet_item.h"

#include <gtest/gtest.h>

#include <functional>

#include "base/format.h"
#include "display/display_fixture.h"
#include "platform/configuration.h"
#include "platform/timer_ids.h"

namespace tp {
namespace {

using host::sim::SimInspectorBody;
using testing::DisplayTest;

class BriskletItemTest : public DisplayTest {
 protected:
  BriskletItemTest() { Start(); }
  BriskletContent Content(const std::wstring& entryId, bool active) {
    BriskletContent content;
    content.entryId = entryId;
    content.page = L"<html>" + entryId + L"</html>";
    content.showActive = active;
    return content;
  }
};

TEST_F(BriskletItemTest, AnOpenedMessageWithActiveContentGetsABrowserOverItsWordBody) {
  const Opened opened = OpenInspector(AddMessage(L"a1", true));
  CBriskletItem* item = ItemOf(opened);
  ASSERT_NE(item, nullptr);
  EXPECT_EQ(display().current_item(), item);
  EXPECT_TRUE(item->initialised());
  EXPECT_TRUE(item->active_shown());
  EXPECT_EQ(item->dialog_window(), opened.windows.dialog);
  EXPECT_EQ(item->body_window(), opened.windows.body);
  const host::WindowHandle browser = item->browser().window();
  ASSERT_NE(browser, 0u);
  EXPECT_EQ(sim().windows.Find(browser)->parent, opened.windows.bodyHost);
  EXPECT_EQ(sim().windows.Find(browser)->text, L"Tidepost for Outlook");
  EXPECT_TRUE(Visible(browser));
  EXPECT_FALSE(Visible(opened.windows.body));
  EXPECT_EQ(sim().windows.ClientRect(browser), sim().windows.ClientRect(opened.windows.body));
  EXPECT_TRUE(Logged(L"CBriskletItem::Initialize -> DispEventAdvise: 0"));
  EXPECT_TRUE(Logged(L"In CBriskletItem::Activate - showing active content"));
  EXPECT_EQ(LastHelper().hostWindow, opened.windows.top);
  EXPECT_EQ(LastHelper().messageInfo[2], L"a1");
  EXPECT_EQ(
      ControlOf(browser)->navigations,
      (std::vector<std::wstring>{L"about:blank", L"about:blank", config::kActiveContentPage}));
  EXPECT_EQ(ControlOf(browser)->zooms, std::vector<int>{item->default_zoom()});
  EXPECT_EQ(sim().outlook.calls.back(), L"Advise Inspector");
  // The reading pane is not touched by an inspector.
  EXPECT_EQ(pane().browser().window(), 0u);
}

TEST_F(BriskletItemTest, BodiesAndTreesOfEachKind) {
  struct Case {
    SimInspectorBody body;
    bool active;
    const wchar_t* bodyClass;  // null: no browser at all
  };
  const Case kCases[] = {
      {SimInspectorBody::kWord, false, L"_WwB"},
      {SimInspectorBody::kOutlook, true, L"AfxWndW"},
      {SimInspectorBody::kNoDialog, true, nullptr},
  };
  int number = 0;
  for (const Case& test : kCases) {
    const size_t controls = sim().browsers.controls.size();
    const Opened opened =
        OpenInspector(AddMessage(Format(L"m%d", ++number), test.active), test.body);
    CBriskletItem* item = ItemOf(opened);
    ASSERT_NE(item, nullptr);
    if (test.bodyClass == nullptr) {
      EXPECT_FALSE(item->initialised());
      EXPECT_EQ(item->browser().window(), 0u);
      EXPECT_EQ(sim().browsers.controls.size(), controls) << "no browser made";
      continue;
    }
    EXPECT_EQ(sim().windows.Find(item->body_window())->className, test.bodyClass);
    EXPECT_EQ(Visible(item->body_window()), !test.active);
    EXPECT_EQ(Visible(item->browser().window()), test.active);
  }
}

TEST_F(BriskletItemTest, ASecondInitializeOnlyShowsWhatItIsAsked) {
  const Opened opened = OpenInspector(AddMessage(L"a1", true));
  CBriskletItem* item = ItemOf(opened);
  const host::WindowHandle browser = item->browser().window();
  item->Initialize(opened.windows.top, nullptr, false);
  EXPECT_EQ(CountLogged(L"In CBriskletItem::Initialize: Window Defined"), 1);
  EXPECT_TRUE(Logged(L"In CBriskletItem::Initialize - showing static content"));
  EXPECT_EQ(item->browser().window(), browser);
  EXPECT_FALSE(Visible(browser));
  EXPECT_TRUE(Visible(opened.windows.body));
}

TEST_F(BriskletItemTest, EachActivationInstallsTheUiHandlerOnItsFirstNavigation) {
  const Opened opened = OpenInspector(AddMessage(L"a1", true));
  CBriskletItem* item = ItemOf(opened);
  host::sim::SimBrowserControl* control = ControlOf(item->browser().window());
  sim().ui.Advance(200);
  EXPECT_EQ(control->uiHandlerInstalls, 1);
  EXPECT_TRUE(Logged(L"in CBriskletItem::OnNavigateComplete2: Count = 0"));
  item->Activate(Content(L"a1", true));
  sim().ui.Advance(200);
  EXPECT_EQ(control->uiHandlerInstalls, 2);
  // Static content restarts nothing.
  item->Activate(Content(L"a1", false));
  sim().ui.Advance(200);
  EXPECT_EQ(control->uiHandlerInstalls, 2);
  EXPECT_FALSE(item->active_shown());
  EXPECT_FALSE(Visible(item->browser().window()));
}

TEST_F(BriskletItemTest, AnotherWindowIsRefusedAndChangesNothing) {
  const Opened opened = OpenInspector(AddMessage(L"a1", true));
  CBriskletItem* item = ItemOf(opened);
  const host::WindowHandle browser = item->browser().window();
  for (host::WindowHandle other : {explorerWindow, opened.windows.dialog, host::WindowHandle{0}}) {
    EXPECT_FALSE(item->ActivateBrisklet(other));
    EXPECT_FALSE(item->CancelBrisklet(other));
    EXPECT_FALSE(item->CloseForWindow(other));
  }
  EXPECT_EQ(ControlOf(browser)->refreshes, 0);
  EXPECT_TRUE(item->initialised());
  EXPECT_TRUE(Visible(browser));
  EXPECT_EQ(connect->closed_browser_windows().size(), 0u);
}

TEST_F(BriskletItemTest, TheHelpersMessagesSwitchTheInspectorThatHasTheFocus) {
  auto other = OpenInspector(AddMessage(L"a0", true));
  const Opened opened = OpenInspector(AddMessage(L"a1", true));
  CBriskletItem* item = ItemOf(opened);
  const host::WindowHandle browser = item->browser().window();
  sim().windows.focus = ControlOf(browser)->focusWindow;

  const size_t helperCalls = LastHelper().calls.size();
  sim().browsers.SendActivate();
  EXPECT_EQ(ControlOf(browser)->refreshes, 1);
  EXPECT_EQ(LastHelper().calls.size(), helperCalls + 2);
  EXPECT_EQ(ControlOf(ItemOf(other)->browser().window())->refreshes, 0);

  sim().browsers.SendCancel();
  EXPECT_TRUE(Logged(L"CBriskletItem::CancelBrisklet"));
  EXPECT_TRUE(Visible(opened.windows.body));
  EXPECT_FALSE(Visible(browser));
  EXPECT_FALSE(item->active_shown());
  EXPECT_EQ(ControlOf(browser)->navigations.back(), L"about:blank");
  EXPECT_FALSE(LastHelper().released) << "kept for the next activation";
  EXPECT_TRUE(ItemOf(other)->active_shown());

  // A later activation of the same inspector shows its content in the same browser.
  connect->ShowBriskletOnWindow(false);
  EXPECT_EQ(item->browser().window(), browser);
  EXPECT_TRUE(item->active_shown());
  EXPECT_TRUE(Visible(browser));
  EXPECT_TRUE(sim().windows.staleUses.empty()) << sim().windows.staleUses.front();
  EXPECT_TRUE(sim().windows.releasedInCall.empty()) << sim().windows.releasedInCall.front();
}

TEST_F(BriskletItemTest, ClosingTheInspectorDetachesItsBrowserForLater) {
  const Opened opened = OpenInspector(AddMessage(L"a1", true));
  const host::WindowHandle browser = ItemOf(opened)->browser().window();
  sim().outlook.RaiseInspectorClose(opened.state);
  EXPECT_TRUE(Logged(L"CBriskletItem::CloseInspector"));
  EXPECT_TRUE(Logged(L"CBriskletItem::CloseForWindow"));
  EXPECT_EQ(ItemOf(opened), nullptr);
  EXPECT_EQ(display().item_count(), 0u);
  EXPECT_EQ(sim().outlook.calls.back(), L"Unadvise Inspector");
  ASSERT_TRUE(sim().ui.IsWindow(browser));
  EXPECT_EQ(sim().windows.Find(browser)->parent, 0u);
  EXPECT_FALSE(Visible(browser));
  EXPECT_EQ(connect->closed_browser_windows().size(), 1u);
  // Outlook destroys the inspector's windows; ours lives on for five seconds.
  sim().ui.DestroyWindow(opened.windows.top);
  sim().ui.Advance(5000);
  EXPECT_TRUE(sim().ui.IsWindow(browser));
  sim().ui.Advance(1000);
  EXPECT_FALSE(sim().ui.IsWindow(browser));
  EXPECT_TRUE(sim().windows.staleUses.empty()) << sim().windows.staleUses.front();
}

TEST_F(BriskletItemTest, AnInspectorNotYetActiveIsTriedAgainEvery100MsWhileItIsOpen) {
  auto mail = AddMessage(L"a1", true);
  const host::sim::SimMessageWindows windows =
      host::sim::BuildInspectorWindow(sim().windows, SimInspectorBody::kWord);
  auto state = sim().outlook.OpenInspector(mail);
  state->window = windows.top;
  sim().outlook.activeWindow = windows.top;
  sim().outlook.RaiseNewInspector(state);  // Outlook has not made it the active one yet
  CBriskletItem* item = display().ItemOf(reinterpret_cast<uintptr_t>(state.get()));
  ASSERT_NE(item, nullptr);
  EXPECT_FALSE(item->initialised());
  EXPECT_EQ(sim().ui.TimeUntil(explorerWindow, kTimerRetryShowInInspector), 100);
  sim().ui.Advance(100);
  EXPECT_EQ(sim().ui.TimeUntil(explorerWindow, kTimerRetryShowInInspector), 100);
  sim().outlook.activeInspector = state;
  sim().ui.Advance(99);
  EXPECT_FALSE(item->initialised());
  sim().ui.Advance(1);
  EXPECT_TRUE(item->initialised());
  EXPECT_TRUE(item->active_shown());
  EXPECT_FALSE(sim().ui.HasTimer(explorerWindow, kTimerRetryShowInInspector));
}

// The retries end with what they serve: an inspector closed before it was ever shown (its
// Close event is sunk from the start), and one whose item is released; nothing is shown
// afterwards and no timer is left.
TEST_F(BriskletItemTest, TheRetriesEndWhenTheInspectorClosesBeforeItIsShown) {
  struct Case {
    const char* name;
    std::function<void(const std::shared_ptr<host::sim::SimInspectorState>&)> end;
  };
  const Case kCases[] = {
      {"closed", [this](const auto& state) { sim().outlook.RaiseInspectorClose(state); }},
      {"released", [this](const auto&) { display().ReleaseInspectors(); }},
  };
  int number = 0;
  for (const Case& test : kCases) {
    auto state = sim().outlook.OpenInspector(AddMessage(Format(L"n%d", ++number), true));
    sim().outlook.RaiseNewInspector(state);  // never made the active one
    ASSERT_TRUE(sim().ui.HasTimer(explorerWindow, kTimerRetryShowInInspector)) << test.name;
    sim().ui.Advance(300);
    test.end(state);
    EXPECT_FALSE(sim().ui.HasTimer(explorerWindow, kTimerRetryShowInInspector)) << test.name;
    const int shows = CountLogged(L"In ShowBrisklet");
    sim().ui.Advance(1000);
    EXPECT_EQ(CountLogged(L"In ShowBrisklet"), shows) << test.name;
    EXPECT_EQ(display().item_count(), 0u) << test.name;
    EXPECT_EQ(sim().outlook.AdvisedSinkCount(), 3u) << test.name << ": only the add-in's own";
  }
}

// The helper object acts from inside its own call, as the maker's may: it gives up, or the
// inspector closes while it runs a message loop in which the timers fire. Nothing of the
// browser is destroyed or released inside that call; what was let go of goes afterwards.
TEST_F(BriskletItemTest, NothingOfTheBrowserGoesInsideACallFromItsHelper) {
  std::shared_ptr<host::sim::SimInspectorState> state;
  CBriskletItem* current = nullptr;
  std::wstring action;
  sim().browsers.helperDuringCall = [&](const std::wstring& call) {
    if (call != L"SetPageContent" || action.empty())
      return;
    if (action == L"cancel") {
      sim().windows.focus = ControlOf(current->browser().window())->focusWindow;
      sim().browsers.SendCancel();
    } else {
      sim().outlook.RaiseInspectorClose(state);
      sim().ui.Advance(6000);  // the sweep and the retries come round meanwhile
    }
  };
  const Opened opened = OpenInspector(AddMessage(L"a1", true));
  state = opened.state;
  current = ItemOf(opened);
  const host::WindowHandle browser = current->browser().window();
  const size_t navigations = ControlOf(browser)->navigations.size();

  action = L"cancel";
  current->Activate(Content(L"a1", true));
  EXPECT_TRUE(Logged(L"CBriskletItem::CancelBrisklet"));
  EXPECT_FALSE(current->active_shown());
  EXPECT_TRUE(Visible(opened.windows.body));
  EXPECT_FALSE(Visible(browser));
  EXPECT_EQ(ControlOf(browser)->navigations.back(), L"about:blank") << "the start stopped";
  EXPECT_EQ(ControlOf(browser)->navigations.size(), navigations + 2);

  action = L"close";
  current->Activate(Content(L"a1", true));
  EXPECT_EQ(ItemOf(opened), nullptr);
  ASSERT_TRUE(sim().ui.IsWindow(browser)) << "kept through the call";
  EXPECT_FALSE(LastHelper().released);
  sim().ui.Advance(6000);
  EXPECT_FALSE(sim().ui.IsWindow(browser));
  EXPECT_TRUE(LastHelper().released);
  EXPECT_TRUE(sim().windows.releasedInCall.empty()) << sim().windows.releasedInCall.front();
  EXPECT_TRUE(sim().windows.staleUses.empty()) << sim().windows.staleUses.front();
}

TEST_F(BriskletItemTest, TheSameInspectorKeepsItsItem) {
  auto mail = AddMessage(L"a1", true);
  const Opened opened = OpenInspector(mail);
  CBriskletItem* item = ItemOf(opened);
  sim().outlook.RaiseNewInspector(opened.state);
  EXPECT_EQ(display().item_count(), 1u);
  EXPECT_EQ(ItemOf(opened), item);
  EXPECT_EQ(CountLogged(L"In CBriskletItem::Initialize: Window Defined"), 1);
}

}  // namespace
}  // namespace tp
