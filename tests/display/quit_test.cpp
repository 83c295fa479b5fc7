// Quitting with the display in use: every hook removed, every browser window destroyed within
// the waits for the windows that were detached, nothing of ours left behind.
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
    for (const auto& helper : sim().browsers.helpers)
      EXPECT_TRUE(helper->released);
    EXPECT_EQ(sim().outlook.AdvisedSinkCount(), 0u);
  }
};

TEST_F(QuitTest, ActiveContentAnOpenInspectorAndADetachedWindowEndCleanly) {
  Start();
  const Opened closed = OpenInspector(AddMessage(L"a2", true));
  sim().outlook.RaiseInspectorClose(closed.state);  // its browser waits for destruction
  const Opened open = OpenInspector(AddMessage(L"a3", true));
  sim().outlook.activeWindow = explorerWindow;
  ShowInPane(AddMessage(L"a1", true));
  sim().ui.Advance(3000);
  ASSERT_TRUE(pane().active_shown());
  ASSERT_EQ(connect->closed_browser_windows().size(), 1u);
  const host::WindowHandle paneBrowser = pane().browser().window();

  sim().outlook.RaiseQuit();
  // The preview's browser was detached at quit: the end waits until it is ten seconds old.
  EXPECT_GE(sim().ui.sleptMs, 10000u);
  EXPECT_LE(sim().ui.sleptMs, 10200u);
  EXPECT_FALSE(sim().ui.IsWindow(paneBrowser));
  EXPECT_TRUE(Visible(readingPane.body));
  EXPECT_TRUE(Visible(open.windows.body));
  EXPECT_EQ(display().item_count(), 0u);
  ExpectNothingLeft();
  // Keys after quit reach Outlook.
  sim().windows.focus = readingPane.body;
  EXPECT_FALSE(sim().input.TypeKey('A'));
}

TEST_F(QuitTest, AWindowDetachedThreeSecondsEarlierDelaysTheEndBySeven) {
  Start();
  ShowInPane(AddMessage(L"s1", false));
  const Opened opened = OpenInspector(AddMessage(L"a1", true));
  sim().outlook.RaiseInspectorClose(opened.state);
  sim().outlook.activeWindow = explorerWindow;
  sim().ui.Advance(3000);
  sim().outlook.RaiseQuit();
  EXPECT_GE(sim().ui.sleptMs, 7000u);
  EXPECT_LE(sim().ui.sleptMs, 7200u);
  ExpectNothingLeft();
}

TEST_F(QuitTest, NothingDetachedMeansNoWait) {
  Start();
  ShowInPane(AddMessage(L"s1", false));
  OpenInspector(AddMessage(L"a1", true));
  sim().outlook.RaiseQuit();
  EXPECT_EQ(sim().ui.sleptMs, 0u);
  ExpectNothingLeft();
  // A second quit finds nothing more to do.
  connect->OnDisconnection();
  EXPECT_EQ(sim().ui.sleptMs, 0u);
}

}  // namespace
}  // namespace tp
