// Quitting with the display in use: every hook removed, every browser window destroyed at once,
// nothing of ours left behind.
#include <gtest/gtest.h>

#include "display/display_fixture.h"

namespace tp {
namespace {

using testing::DisplayTest;

class QuitTest : public DisplayTest {
 protected:
  // Every browser window ever made is gone, and no destroyed window was used.
  void ExpectNothingLeft() {
    for (const auto& control : sim().browsers.controls)
      EXPECT_FALSE(sim().ui.IsWindow(control->window)) << control->window;
    for (host::HookType hook :
         {host::HookType::kCallWndProc, host::HookType::kKeyboard, host::HookType::kMouse}) {
      EXPECT_FALSE(sim().input.IsHookInstalled(hook));
    }
    EXPECT_EQ(sim().input.removals, 3);
    EXPECT_EQ(connect->closed_browser_windows().size(), 0u);
    EXPECT_TRUE(sim().windows.staleUses.empty()) << sim().windows.staleUses.front();
    EXPECT_TRUE(sim().windows.releasedInCall.empty()) << sim().windows.releasedInCall.front();
    for (const auto& helper : sim().browsers.helpers)
      EXPECT_TRUE(helper->released);
    EXPECT_EQ(sim().outlook.AdvisedSinkCount(), 0u);
  }
};

TEST_F(QuitTest, EveryBrowserGoesAtOnceWithoutTheClockMoving) {
  Start();
  const Opened closed = OpenInspector(AddMessage(L"a2", true));
  sim().outlook.RaiseInspectorClose(closed.state);  // its browser waits for the sweep
  const Opened open = OpenInspector(AddMessage(L"a3", true));
  sim().outlook.activeWindow = explorerWindow;
  ShowInPane(AddMessage(L"a1", true));
  sim().ui.Advance(3000);
  ASSERT_TRUE(pane().active_shown());
  ASSERT_EQ(connect->closed_browser_windows().size(), 1u);
  const host::WindowHandle paneBrowser = pane().browser().window();

  const uint64_t before = sim().clock.ElapsedMs();
  sim().outlook.RaiseQuit();
  // Nothing waits for a browser to age: the user-interface thread went nowhere.
  EXPECT_EQ(sim().clock.ElapsedMs(), before);
  EXPECT_FALSE(sim().ui.IsWindow(paneBrowser));
  EXPECT_TRUE(Visible(readingPane.body));
  EXPECT_TRUE(Visible(open.windows.body));
  EXPECT_EQ(display().item_count(), 0u);
  ExpectNothingLeft();
  // Keys after quit reach Outlook.
  sim().windows.focus = readingPane.body;
  EXPECT_FALSE(sim().input.TypeKey('A'));
  // A second quit finds nothing more to do.
  connect->OnDisconnection();
  EXPECT_EQ(sim().clock.ElapsedMs(), before);
  ExpectNothingLeft();
}

}  // namespace
}  // namespace tp
