// The keyboard and mouse hooks: keys inside a hosted browser (zoom, F5, the keys the control
// does not translate) and keys elsewhere, which reach Outlook unchanged.
#include <gtest/gtest.h>

#include "display/display_fixture.h"
#include "host/windows.h"
#include "platform/configuration.h"

namespace tp {
namespace {

using testing::DisplayTest;

constexpr uint32_t kVkControl = 0x11;
constexpr uint32_t kVkAdd = 0x6B;
constexpr uint32_t kVkSubtract = 0x6D;
constexpr uint32_t kVkF5 = 0x74;
constexpr uint32_t kKeyDown = 0x00000001;
constexpr uint32_t kKeyUp = 0xC0000001;
constexpr int kWheelAway = 120;
constexpr int kWheelToward = -120;

class InputHooksTest : public DisplayTest {
 protected:
  InputHooksTest() {
    Start();
    ShowInPane(AddMessage(L"a1", true));
    paneBrowser = pane().browser().window();
    control = PaneControl();
    sim().windows.focus = control->focusWindow;
  }
  // A point inside a window, on the screen.
  std::pair<int, int> Inside(host::WindowHandle window) {
    const host::Rect rect = *sim().windows.ScreenRect(window);
    return {rect.left + 10, rect.top + 10};
  }
  bool Wheel(host::WindowHandle over, int delta) {
    const auto [x, y] = Inside(over);
    return sim().input.Mouse(host::kWmMouseWheel, x, y, delta);
  }

  host::WindowHandle paneBrowser = 0;
  host::sim::SimBrowserControl* control = nullptr;
};

TEST_F(InputHooksTest, CtrlWithKeypadPlusAndMinusZoomsThePreview) {
  sim().input.keysDown.insert(kVkControl);
  struct Press {
    int from;
    uint32_t key;
    int to;  // the zoom after the key
    bool applied;
  };
  const Press kPresses[] = {
      {95, kVkAdd, 103, true},      {98, kVkAdd, 103, true}, {105, kVkSubtract, 99, true},
      {500, kVkAdd, 500, false},  // at the top: consumed, nothing applied
      {25, kVkSubtract, 25, false},
  };
  for (const Press& press : kPresses) {
    pane().browser().set_zoom(press.from);
    const size_t applied = control->zooms.size();
    EXPECT_TRUE(sim().input.TypeKey(press.key));
    EXPECT_EQ(pane().browser().zoom(), press.to) << press.from;
    EXPECT_EQ(control->zooms.size(), applied + (press.applied ? 1 : 0)) << press.from;
    if (press.applied) {
      EXPECT_EQ(control->zooms.back(), press.to);
    }
  }
  EXPECT_TRUE(Logged(L"Keyboard: Changing browser zoom level to 103 of Preview window"));
  EXPECT_TRUE(sim().windows.posted.empty());
  EXPECT_TRUE(sim().input.keysPassedOn.empty());

  // Without Ctrl the keypad keys go to the focused window as they came.
  sim().input.keysDown.clear();
  EXPECT_TRUE(sim().input.Keyboard(kVkAdd, kKeyDown));
  ASSERT_EQ(sim().windows.posted.size(), 1u);
  EXPECT_EQ(sim().windows.posted[0].message, host::kWmKeyDown);
  EXPECT_EQ(sim().windows.posted[0].wParam, kVkAdd);
  EXPECT_EQ(sim().windows.posted[0].lParam, static_cast<intptr_t>(kKeyDown));
}

TEST_F(InputHooksTest, TheWheelWithCtrlZoomsTheBrowserUnderTheCursor) {
  sim().input.keysDown.insert(kVkControl);
  struct Turn {
    int from;
    int delta;
    int to;
  };
  const Turn kTurns[] = {{95, kWheelAway, 100},
                         {96, kWheelAway, 103},
                         {105, kWheelToward, 100},
                         {500, kWheelAway, 500},
                         {25, kWheelToward, 25}};
  for (const Turn& turn : kTurns) {
    pane().browser().set_zoom(turn.from);
    EXPECT_TRUE(Wheel(paneBrowser, turn.delta));
    EXPECT_EQ(pane().browser().zoom(), turn.to) << turn.from;
    EXPECT_EQ(control->zooms.back(), turn.to) << "applied even at a limit";
  }
  EXPECT_TRUE(Logged(L"Mouse: Changing browser zoom level to 103 of Preview window"));

  // Outside the browser, without Ctrl, or another message: Outlook's.
  EXPECT_FALSE(Wheel(explorerWindow, kWheelAway));
  sim().input.keysDown.clear();
  EXPECT_FALSE(Wheel(paneBrowser, kWheelAway));
  sim().input.keysDown.insert(kVkControl);
  const auto [x, y] = Inside(paneBrowser);
  EXPECT_FALSE(sim().input.Mouse(0x0201, x, y, 0));  // WM_LBUTTONDOWN
  EXPECT_FALSE(sim().input.Mouse(host::kWmMouseWheel, x, y, kWheelAway, host::kHcNoRemove));
}

TEST_F(InputHooksTest, AnInspectorsBrowserZoomsOnItsOwn) {
  sim().input.keysDown.insert(kVkControl);
  const Opened opened = OpenInspector(AddMessage(L"a2", true));
  ActiveBrowser& browser = ItemOf(opened)->browser();
  sim().windows.focus = ControlOf(browser.window())->focusWindow;
  browser.set_zoom(110);
  EXPECT_TRUE(sim().input.TypeKey(kVkSubtract));
  EXPECT_EQ(browser.zoom(), 105);
  EXPECT_TRUE(Logged(L"Keyboard: Changing browser zoom level to 105 of Message window"));
  EXPECT_TRUE(Wheel(browser.window(), kWheelAway));
  EXPECT_EQ(browser.zoom(), 110);
  EXPECT_TRUE(Logged(L"Mouse: Changing browser zoom level to 110 of Message window"));
  EXPECT_EQ(pane().browser().zoom(), 100) << "the preview keeps its own";
}

TEST_F(InputHooksTest, F5LoadsTheActiveContentPageAtANewAddressEachTime) {
  EXPECT_TRUE(sim().input.TypeKey(kVkF5));
  EXPECT_TRUE(sim().input.TypeKey(kVkF5));
  ASSERT_GE(control->navigations.size(), 2u);
  const std::wstring first = control->navigations[control->navigations.size() - 2];
  const std::wstring second = control->navigations.back();
  const std::wstring prefix = std::wstring(config::kActiveContentPage) + L"#";
  EXPECT_EQ(first.rfind(prefix, 0), 0u) << first;
  EXPECT_EQ(second.rfind(prefix, 0), 0u) << second;
  EXPECT_NE(first, second);
  EXPECT_GT(first.size(), prefix.size());
  EXPECT_EQ(CountLogged(L"F5 pressed, refreshing page"), 2);
}

TEST_F(InputHooksTest, KeysTheControlDoesNotTranslate) {
  control->translatedKeys = {'C'};
  // Translated: consumed.
  EXPECT_TRUE(sim().input.Keyboard('C', kKeyDown));
  EXPECT_TRUE(sim().windows.posted.empty());
  // The arrows go nowhere; the key-ups of control keys are swallowed.
  for (uint32_t arrow = 0x25; arrow <= 0x28; ++arrow)
    EXPECT_TRUE(sim().input.TypeKey(arrow));
  EXPECT_TRUE(sim().windows.posted.empty());
  // Esc becomes a key-up for the focused window; a letter goes as it came; N too.
  EXPECT_TRUE(sim().input.Keyboard(0x1B, kKeyDown));
  EXPECT_TRUE(sim().input.Keyboard('A', kKeyUp));
  EXPECT_TRUE(sim().input.Keyboard('N', kKeyDown));
  ASSERT_EQ(sim().windows.posted.size(), 3u);
  EXPECT_EQ(sim().windows.posted[0].message, host::kWmKeyUp);
  EXPECT_EQ(sim().windows.posted[0].wParam, 0x1Bu);
  EXPECT_EQ(sim().windows.posted[1].message, host::kWmKeyUp);
  EXPECT_EQ(sim().windows.posted[1].wParam, static_cast<uintptr_t>('A'));
  EXPECT_EQ(sim().windows.posted[2].message, host::kWmKeyDown);
  for (const auto& posted : sim().windows.posted)
    EXPECT_EQ(posted.window, control->focusWindow);
  EXPECT_TRUE(
      Logged(L"KeyboardProc: msg.message: 0x100, msg.wParam: 0x1B, msg.lParam: 0x00000001"));
  // Enter is offered to the control but never consumed by its translation.
  control->translatedKeys.insert(0x0D);
  EXPECT_TRUE(sim().input.Keyboard(0x0D, kKeyDown));
  EXPECT_EQ(sim().windows.posted.back().message, host::kWmKeyUp);
  EXPECT_TRUE(sim().input.keysPassedOn.empty());
}

TEST_F(InputHooksTest, KeysOutsideAnyHostedBrowserReachOutlookUnchanged) {
  sim().input.keysDown.insert(kVkControl);
  for (host::WindowHandle focus :
       {readingPane.body, readingPane.dialog, explorerWindow, host::WindowHandle{0}}) {
    sim().windows.focus = focus;
    EXPECT_FALSE(sim().input.TypeKey(kVkAdd));
    EXPECT_FALSE(sim().input.TypeKey(kVkF5));
  }
  EXPECT_EQ(sim().input.keysPassedOn.size(), 16u);
  EXPECT_TRUE(sim().windows.posted.empty());
  EXPECT_EQ(pane().browser().zoom(), 100);
  // A keyboard event Windows only peeks at is never taken.
  sim().windows.focus = control->focusWindow;
  EXPECT_FALSE(sim().input.Keyboard(kVkF5, kKeyDown, host::kHcNoRemove));
}

}  // namespace
}  // namespace tp
