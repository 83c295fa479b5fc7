// The display's Windows adapters on Wine's real windows, hooks and COM: the window discovery
// in a tree with Outlook's class names, the window calls read back, the three thread hooks
// driven on this thread, the control-hosting window and the browser helper object.
#include <gtest/gtest.h>

#include <exdisp.h>

#include <vector>

#include "display/message_windows.h"
#include "fake_browser_helper.h"
#include "host/host.h"
#include "host/platform.h"
#include "host/win32/browser/browser_host_window.h"
#include "host/win32/browser/browser_ids.h"
#include "host/win32/win32_browsers.h"
#include "host/win32/win32_connectivity.h"
#include "host/win32/win32_input.h"
#include "host/win32/win32_windows.h"
#include "outlook_windows.h"
#include "win32_test_support.h"

namespace tp::testing {
namespace {

using host::win32::ToHandleValue;
using host::win32::ToWindow;

uintptr_t H(HWND window) {
  return ToHandleValue(window);
}

class DisplayAdaptersTest : public ComTest {
 protected:
  DisplayAdaptersTest() : m_installed(host::PlatformHost()) {}
  host::win32::Win32WindowTree tree;
  host::ScopedHost m_installed;
};

TEST_F(DisplayAdaptersTest, FindsTheMessageWindowsInOutlooksTrees) {
  OutlookWindowTree explorer;
  const MessageWindows pane = FindReadingPaneWindows(H(explorer.top()));
  EXPECT_EQ(pane.dialog, H(explorer.windows().dialog));
  EXPECT_EQ(pane.bodyHost, H(explorer.windows().bodyHost));
  EXPECT_EQ(pane.body, H(explorer.windows().body));

  OutlookWindowTree inspector(false);
  const MessageWindows item = FindInspectorWindows(H(inspector.top()));
  EXPECT_EQ(item.dialog, H(inspector.windows().dialog));
  EXPECT_EQ(item.body, H(inspector.windows().body)) << "the AfxWndW body without _WwB";

  // A window without the tree has no dialog; a destroyed one neither.
  TestWindow plain;
  EXPECT_EQ(FindReadingPaneWindows(plain.value()).dialog, 0u);
  const uintptr_t gone = H(explorer.windows().dialog);
  ::DestroyWindow(explorer.windows().dialog);
  EXPECT_EQ(FindReadingPaneWindows(H(explorer.top())).dialog, 0u);
  EXPECT_EQ(tree.FindChild(gone, L"AfxWndA"), 0u);
}

TEST_F(DisplayAdaptersTest, WindowCallsTakeEffect) {
  OutlookWindowTree explorer;
  const uintptr_t host = H(explorer.windows().bodyHost);
  const uintptr_t body = H(explorer.windows().body);
  EXPECT_EQ(tree.Root(body), H(explorer.top()));
  EXPECT_EQ(tree.Parent(body), host);
  EXPECT_EQ(tree.ClientRect(host), (host::Rect{0, 0, 580, 560}));

  ASSERT_TRUE(tree.SetPosition(body, 0, 0, 300, 200,
                               host::kSwpNoZOrder | host::kSwpNoActivate | host::kSwpHideWindow));
  EXPECT_EQ(tree.ClientRect(body), (host::Rect{0, 0, 300, 200}));
  EXPECT_FALSE(tree.IsVisible(body));
  tree.Show(body, true);
  ::ShowWindow(explorer.top(), SW_SHOWNA);
  EXPECT_TRUE(tree.IsVisible(body));
  const host::Rect screen = *tree.ScreenRect(body);
  EXPECT_EQ(screen.width(), 300);
  EXPECT_TRUE(screen.Contains(screen.left + 1, screen.top + 1));

  // Taken out of its parent: a popup of its own, hidden with the rest.
  tree.Show(body, false);
  ASSERT_TRUE(tree.SetParent(body, 0));
  EXPECT_EQ(tree.Parent(body), 0u);
  EXPECT_EQ(tree.Root(body), body);
  EXPECT_EQ(::GetWindowLongPtrW(ToWindow(body), GWL_STYLE) & WS_CHILD, 0);
  EXPECT_EQ(tree.FindChild(host, L"_WwB"), 0u);

  EXPECT_TRUE(tree.SetText(host, L"Brisklet for Outlook"));
  wchar_t text[64] = {};
  ::GetWindowTextW(ToWindow(host), text, 64);
  EXPECT_STREQ(text, L"Brisklet for Outlook");

  EXPECT_TRUE(tree.PostMessage(host, WM_KEYDOWN, 'N', 1));
  MSG message{};
  ASSERT_TRUE(::PeekMessageW(&message, ToWindow(host), WM_KEYDOWN, WM_KEYDOWN, PM_REMOVE));
  EXPECT_EQ(message.wParam, static_cast<WPARAM>('N'));
  ::DestroyWindow(ToWindow(body));
}

// Records what the hooks hand over; consumes what it is told to.
class RecordingProcedures final : public host::HookProcedures {
 public:
  void CallWndProc(int, const host::WindowMessage& message) override {
    if (message.message >= WM_USER)
      sent.push_back(message);
  }
  bool KeyboardProc(int, uint32_t virtualKey, uint32_t) override {
    keys.push_back(virtualKey);
    return virtualKey == consumeKey;
  }
  bool MouseProc(int, uint32_t message, const host::MouseHookData& data) override {
    if (message == WM_MOUSEWHEEL)
      wheels.push_back(data.wheelDelta);
    return false;
  }
  std::vector<host::WindowMessage> sent;
  std::vector<uint32_t> keys;
  std::vector<int> wheels;
  uint32_t consumeKey = 0;
};

// A window that counts the key messages it is given.
LRESULT CALLBACK CountingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_KEYDOWN)
    ::SetWindowLongPtrW(window, GWLP_USERDATA, ::GetWindowLongPtrW(window, GWLP_USERDATA) + 1);
  return ::DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(DisplayAdaptersTest, ThreadHooksCallTheProceduresAndAreRemoved) {
  host::win32::Win32Input input;
  RecordingProcedures procedures;
  input.SetHookProcedures(&procedures);
  for (host::HookType hook :
       {host::HookType::kCallWndProc, host::HookType::kKeyboard, host::HookType::kMouse}) {
    ASSERT_TRUE(input.InstallHook(hook));
    EXPECT_TRUE(input.IsHookInstalled(hook));
    EXPECT_TRUE(input.InstallHook(hook)) << "installing again keeps the one hook";
  }
  TestWindow window;
  ::SendMessageW(window.handle(), WM_USER + 7, 11, 22);
  ASSERT_EQ(procedures.sent.size(), 1u);
  EXPECT_EQ(procedures.sent[0].window, window.value());
  EXPECT_EQ(procedures.sent[0].message, WM_USER + 7u);
  EXPECT_EQ(procedures.sent[0].wParam, 11u);
  EXPECT_EQ(procedures.sent[0].lParam, 22);

  // Keys and the wheel from the input queue, as a user would give them.
  WNDCLASSEXW counting{};
  counting.cbSize = sizeof counting;
  counting.lpfnWndProc = &CountingProc;
  counting.hInstance = ::GetModuleHandleW(nullptr);
  counting.lpszClassName = L"TidepostCountingWindow";
  ::RegisterClassExW(&counting);
  HWND target =
      ::CreateWindowExW(0, L"TidepostCountingWindow", L"", WS_OVERLAPPEDWINDOW | WS_VISIBLE, 0, 0,
                        200, 200, nullptr, nullptr, ::GetModuleHandleW(nullptr), nullptr);
  ::SetForegroundWindow(target);
  ::SetFocus(target);
  procedures.consumeKey = VK_F5;
  INPUT keys[4] = {};
  for (INPUT& key : keys)
    key.type = INPUT_KEYBOARD;
  keys[0].ki.wVk = VK_F5;
  keys[1].ki.wVk = VK_F5;
  keys[1].ki.dwFlags = KEYEVENTF_KEYUP;
  keys[2].ki.wVk = 'A';
  keys[3].ki.wVk = 'A';
  keys[3].ki.dwFlags = KEYEVENTF_KEYUP;
  ASSERT_EQ(::SendInput(4, keys, sizeof(INPUT)), 4u);
  PumpMessages(300, [&] { return procedures.keys.size() >= 4; });
  EXPECT_EQ(procedures.keys, (std::vector<uint32_t>{VK_F5, VK_F5, 'A', 'A'}));
  EXPECT_EQ(::GetWindowLongPtrW(target, GWLP_USERDATA), 1) << "F5 consumed, A passed on";

  // Ctrl held, as the zoom reads it, and a notch of the wheel away from the user.
  INPUT control{};
  control.type = INPUT_KEYBOARD;
  control.ki.wVk = VK_CONTROL;
  ASSERT_EQ(::SendInput(1, &control, sizeof(INPUT)), 1u);
  PumpMessages(100);
  EXPECT_TRUE(input.IsKeyDown(VK_CONTROL));
  INPUT wheel{};
  wheel.type = INPUT_MOUSE;
  wheel.mi.dwFlags = MOUSEEVENTF_WHEEL;
  wheel.mi.mouseData = WHEEL_DELTA;
  ASSERT_EQ(::SendInput(1, &wheel, sizeof(INPUT)), 1u);
  PumpMessages(300, [&] { return !procedures.wheels.empty(); });
  EXPECT_EQ(procedures.wheels, std::vector<int>{WHEEL_DELTA});
  control.ki.dwFlags = KEYEVENTF_KEYUP;
  ::SendInput(1, &control, sizeof(INPUT));
  PumpMessages(100);
  EXPECT_FALSE(input.IsKeyDown(VK_CONTROL));

  input.SetHookProcedures(nullptr);
  for (host::HookType hook :
       {host::HookType::kCallWndProc, host::HookType::kKeyboard, host::HookType::kMouse}) {
    EXPECT_TRUE(input.RemoveHook(hook));
    EXPECT_FALSE(input.IsHookInstalled(hook));
    EXPECT_FALSE(input.RemoveHook(hook));
  }
  ::SendMessageW(window.handle(), WM_USER + 8, 0, 0);
  EXPECT_EQ(procedures.sent.size(), 1u) << "no hook after removal";
  ::DestroyWindow(target);
}

// Counts the browser's NavigateComplete2 events.
class RecordingEvents final : public host::BrowserEvents {
 public:
  void OnNavigateComplete2(host::BrowserNavigation& navigation) override {
    urls.push_back(navigation.Url());
  }
  std::vector<std::wstring> urls;
};

// Wine's WebBrowser control (ieframe) comes up in our host window, in place, with its
// IWebBrowser2, IOleInPlaceActiveObject and events; without an HTML engine it has no document,
// so what needs one (zoom, refresh, the document's UI handler) fails cleanly.
TEST_F(DisplayAdaptersTest, TheHostWindowEmbedsTheWebBrowserControl) {
  host::win32::Win32Browsers browsers;
  ASSERT_TRUE(browsers.RegisterHostClass());
  ASSERT_TRUE(browsers.RegisterHostClass()) << "registering twice is no failure";
  OutlookWindowTree explorer;
  const uintptr_t window =
      browsers.CreateBrowserWindow(H(explorer.windows().bodyHost), host::Rect{0, 0, 400, 300});
  ASSERT_NE(window, 0u);
  wchar_t className[64] = {};
  ::GetClassNameW(ToWindow(window), className, 64);
  EXPECT_STREQ(className, host::win32::kBrowserHostClass);
  EXPECT_FALSE(tree.IsVisible(window)) << "made hidden";
  EXPECT_EQ(tree.Parent(window), H(explorer.windows().bodyHost));
  EXPECT_EQ(tree.ClientRect(window), (host::Rect{0, 0, 400, 300}));
  EXPECT_EQ(browsers.BrowserOf(H(explorer.windows().body)), nullptr) << "not a host window";

  std::shared_ptr<host::WebBrowser> browser = browsers.BrowserOf(window);
  ASSERT_NE(browser, nullptr) << "the WebBrowser control embedded in our host window";
  HWND embedding = ::GetWindow(ToWindow(window), GW_CHILD);
  ASSERT_NE(embedding, nullptr) << "the control made its own window inside ours";
  // The control follows the host window's size.
  ::SetWindowPos(ToWindow(window), nullptr, 0, 0, 320, 200, SWP_NOZORDER | SWP_NOMOVE);
  RECT inner{};
  ::GetWindowRect(embedding, &inner);
  EXPECT_EQ(inner.right - inner.left, 320);

  RecordingEvents events;
  EXPECT_EQ(browser->Advise(events), hr::kOk);
  EXPECT_TRUE(browser->IsAdvised());
  EXPECT_EQ(browser->Advise(events), hr::kFail) << "advising twice";
  EXPECT_EQ(browser->Navigate(L"about:blank"), hr::kOk);
  EXPECT_EQ(browser->LocationUrl(), L"about:blank");
  PumpMessages(300);
  GTEST_LOG_(INFO) << "NavigateComplete2 events without an HTML engine: " << events.urls.size();
  EXPECT_EQ(browser->TranslateKey(WM_KEYDOWN, VK_TAB, 1), hr::kFalse);
  EXPECT_TRUE(hr::Failed(browser->SetZoom(110))) << "no document to zoom";
  EXPECT_TRUE(hr::Failed(browser->Refresh())) << "no document to reload";
  EXPECT_EQ(browser->Unadvise(), hr::kOk);
  EXPECT_FALSE(browser->IsAdvised());

  // The helper object attaches to the control and detaches from it.
  auto record = std::make_shared<BrowserHelperRecord>();
  ComPtr<FakeBrowserHelperFactory> factory = FakeBrowserHelperFactory::Create(record);
  DWORD cookie = 0;
  ASSERT_EQ(::CoRegisterClassObject(host::win32::kClsidBrowserHelper,
                                    static_cast<IClassFactory*>(factory.get()),
                                    CLSCTX_INPROC_SERVER, REGCLS_MULTIPLEUSE, &cookie),
            S_OK);
  std::unique_ptr<host::BrowserHelper> helper;
  ASSERT_EQ(browsers.CreateBrowserHelper(&helper), hr::kOk);
  EXPECT_EQ(helper->SetHostWindow(window), hr::kOk);
  EXPECT_EQ(helper->SetSite(browser.get()), hr::kOk);
  EXPECT_EQ(helper->SetMessageInfo(L"alerts@bank.example", L"Statement", L"00AB", L"me@gmail.com",
                                   L"gmail"),
            hr::kOk);
  EXPECT_EQ(helper->SetPageContent(L"<html>page</html>"), hr::kOk);
  EXPECT_EQ(record->hostWindow, static_cast<LONGLONG>(window));
  ComPtr<IWebBrowser2> site;
  ASSERT_TRUE(record->site);
  EXPECT_EQ(record->site.As(IID_IWebBrowser2, &site), S_OK) << "attached to the IWebBrowser2";
  EXPECT_EQ(record->messageInfo, (std::vector<std::wstring>{L"alerts@bank.example", L"Statement",
                                                            L"00AB", L"me@gmail.com", L"gmail"}));
  EXPECT_EQ(record->page, L"<html>page</html>");
  EXPECT_EQ(helper->SetSite(nullptr), hr::kOk);
  EXPECT_FALSE(record->site);
  EXPECT_EQ(record->calls,
            (std::vector<std::wstring>{L"SetHostWindow", L"SetSite", L"SetMessageInfo",
                                       L"SetPageContent", L"SetSite null"}));
  helper.reset();
  ::CoRevokeClassObject(cookie);

  site.Reset();
  browser.reset();
  ::DestroyWindow(ToWindow(window));
  EXPECT_FALSE(::IsWindow(ToWindow(window)));
}

TEST_F(DisplayAdaptersTest, AHostWindowWhoseTextNamesNoControlHoldsNone) {
  host::win32::Win32Browsers browsers;
  ASSERT_TRUE(browsers.RegisterHostClass());
  TestWindow parent;
  for (const wchar_t* text : {L"", L"No.Such.ProgId", L"{00000000-0000-0000-0000-0000000000AB}"}) {
    HWND window = ::CreateWindowExW(0, host::win32::kBrowserHostClass, text, WS_CHILD, 0, 0, 10, 10,
                                    parent.handle(), nullptr, ::GetModuleHandleW(nullptr), nullptr);
    ASSERT_NE(window, nullptr);
    EXPECT_EQ(browsers.BrowserOf(H(window)), nullptr);
    ::DestroyWindow(window);
  }
}

TEST_F(DisplayAdaptersTest, TheHelperObjectIsMadeByItsClassIdOnly) {
  host::win32::Win32Browsers browsers;
  std::unique_ptr<host::BrowserHelper> helper;
  EXPECT_EQ(browsers.CreateBrowserHelper(&helper), static_cast<HResult>(REGDB_E_CLASSNOTREG));
  EXPECT_EQ(helper, nullptr);
}

TEST_F(DisplayAdaptersTest, TheConnectivityProbeAnswers) {
  host::win32::Win32Connectivity connectivity;
  connectivity.CheckConnection(L"http://127.0.0.1:9/");  // must return, whatever it finds
  uint32_t flags = 0;
  const bool answered = connectivity.GetConnectedState(&flags);
  GTEST_LOG_(INFO) << "InternetGetConnectedState: " << answered << " flags " << flags;
}

}  // namespace
}  // namespace tp::testing
