// The browsers the display lets go of: released whole (helper detached, control, window) once
// five seconds old, never while a call from or into a browser runs, and all at once at quit.
#include "display/closed_windows.h"

#include <gtest/gtest.h>

#include "host/host.h"
#include "support/test_host.h"

namespace tp {
namespace {

class ClosedBrowserWindowsTest : public testing::SimHostTest {
 protected:
  // A browser window with its control and an attached helper object, as the display lets go.
  ReleasedBrowser MakeBrowser() {
    const host::WindowHandle parent = sim().ui.CreateWindow(L"rctrl_renwnd32");
    ReleasedBrowser browser;
    browser.window = sim().browsers.CreateBrowserWindow(parent, host::Rect{0, 0, 100, 100});
    browser.control = sim().browsers.BrowserOf(browser.window);
    EXPECT_EQ(sim().browsers.CreateBrowserHelper(&browser.helper), hr::kOk);
    (void)browser.helper->SetSite(browser.control.get());
    return browser;
  }
  bool Alive(host::WindowHandle window) { return sim().ui.IsWindow(window); }
};

TEST_F(ClosedBrowserWindowsTest, ReleasesABrowserWholeOnlyOnceItIsOlderThanFiveSeconds) {
  ClosedBrowserWindows closed;
  ReleasedBrowser young = MakeBrowser();
  ReleasedBrowser old = MakeBrowser();
  const host::WindowHandle youngWindow = young.window;
  const host::WindowHandle oldWindow = old.window;
  const uint32_t nearWrap = 0xFFFFFF00u;
  closed.Add(std::move(old), nearWrap);
  closed.Add(std::move(young), nearWrap + 100);
  closed.DestroyExpired(nearWrap + 5000);  // exactly 5000 ms: kept
  EXPECT_EQ(closed.size(), 2u);
  closed.DestroyExpired(nearWrap + 5001);  // across the 32-bit wrap
  EXPECT_EQ(closed.size(), 1u);
  EXPECT_FALSE(Alive(oldWindow));
  EXPECT_TRUE(Alive(youngWindow));
  const host::sim::SimHelperObject& helper = *sim().browsers.helpers[1];
  EXPECT_EQ(helper.calls.back(), L"SetSite null") << "detached before it goes";
  EXPECT_TRUE(helper.released);
  EXPECT_FALSE(sim().browsers.helpers[0]->released);
}

TEST_F(ClosedBrowserWindowsTest, NothingIsReleasedWhileABrowserCallRuns) {
  ClosedBrowserWindows closed;
  ReleasedBrowser browser = MakeBrowser();
  const host::WindowHandle window = browser.window;
  closed.Add(std::move(browser), 0);
  {
    ClosedBrowserWindows::InCall call(closed);
    {
      ClosedBrowserWindows::InCall nested(closed);
      closed.DestroyExpired(10000);
    }
    closed.ReleaseAll();
    EXPECT_TRUE(closed.in_call());
    EXPECT_TRUE(Alive(window));
    EXPECT_FALSE(sim().browsers.helpers[0]->released);
  }
  EXPECT_FALSE(closed.in_call());
  closed.DestroyExpired(10000);
  EXPECT_FALSE(Alive(window));
}

TEST_F(ClosedBrowserWindowsTest, AtQuitAllGoWhateverTheirAgeAndAWindowAlreadyGoneIsNotUsed) {
  ClosedBrowserWindows closed;
  ReleasedBrowser fresh = MakeBrowser();
  ReleasedBrowser gone = MakeBrowser();
  const host::WindowHandle freshWindow = fresh.window;
  sim().ui.DestroyWindow(gone.window);  // Outlook took it down with its parent
  closed.Add(std::move(fresh), sim().clock.TickCount());
  closed.Add(std::move(gone), sim().clock.TickCount());
  closed.ReleaseAll();
  EXPECT_EQ(closed.size(), 0u);
  EXPECT_FALSE(Alive(freshWindow));
  for (const auto& helper : sim().browsers.helpers)
    EXPECT_TRUE(helper->released);
  EXPECT_TRUE(sim().windows.staleUses.empty()) << sim().windows.staleUses.front();
}

}  // namespace
}  // namespace tp
