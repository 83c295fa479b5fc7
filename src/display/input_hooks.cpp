// The keyboard and mouse procedures: keys for the hosted browsers that Outlook's windows would
// otherwise swallow, F5, and the zoom on Ctrl with the keypad's plus and minus keys or the
// mouse wheel. Keys outside any hosted browser pass to Outlook unchanged.
#include "display/active_content_display.h"
#include "display/zoom_rules.h"
#include "host/host.h"
#include "host/windows.h"
#include "platform/log.h"

namespace tp {
namespace {

constexpr uint32_t kKeyUpFlag = 0x80000000;
constexpr uint32_t kLastControlKey = 0x2F;
constexpr uint32_t kVkTab = 0x09;
constexpr uint32_t kVkReturn = 0x0D;
constexpr uint32_t kVkControl = 0x11;
constexpr uint32_t kVkEscape = 0x1B;
constexpr uint32_t kVkSpace = 0x20;
constexpr uint32_t kVkLeft = 0x25;
constexpr uint32_t kVkDown = 0x28;
constexpr uint32_t kVkN = 0x4E;
constexpr uint32_t kVkAdd = 0x6B;
constexpr uint32_t kVkSubtract = 0x6D;
constexpr uint32_t kVkF5 = 0x74;
// The browser's window under our host window: "Shell Embedding", "Shell DocObject View",
// "Internet Explorer_Server" (which has the focus).
constexpr int kHostAboveFocus = 3;
constexpr int kLongestParentChain = 64;

const wchar_t* NameOf(bool readingPane) {
  return readingPane ? L"Preview" : L"Message";
}

}  // namespace

std::optional<ActiveContentDisplay::View> ActiveContentDisplay::KeyboardTarget(
    host::WindowHandle focus) {
  host::WindowHandle hostWindow = focus;
  for (int step = 0; step < kHostAboveFocus && hostWindow != 0; ++step)
    hostWindow = host::windows().Parent(hostWindow);
  if (hostWindow == 0)
    return std::nullopt;
  if (hostWindow == m_pane.browser().window())
    return PaneView();
  std::optional<View> view = FindViewByRoot(host::windows().Root(focus));
  if (view && hostWindow == view->browser->window())
    return view;
  return std::nullopt;
}

bool ActiveContentDisplay::KeyboardProc(int code, uint32_t virtualKey, uint32_t keyFlags) {
  if (code == host::kHcNoRemove)
    return false;
  const host::WindowHandle focus = host::windows().Focus();
  if (focus == 0)
    return false;
  const std::optional<View> target = KeyboardTarget(focus);
  if (!target)
    return false;
  ClosedBrowserWindows::InCall intoBrowser(m_context.closedBrowserWindows);
  ActiveBrowser& browser = *target->browser;
  uint32_t message = (keyFlags & kKeyUpFlag) != 0 ? host::kWmKeyUp : host::kWmKeyDown;
  if (message == host::kWmKeyUp && virtualKey <= kLastControlKey)
    return true;
  if (virtualKey == kVkN) {
    (void)host::windows().PostMessage(focus, message, virtualKey, keyFlags);
    return true;
  }
  // F5 and the zoom keys act once per press, on its key-down; their key-ups are swallowed.
  if (virtualKey == kVkF5) {
    if (message == host::kWmKeyDown) {
      WriteLog(L"F5 pressed, refreshing page");
      browser.Navigate(browser.RefreshAddress());
    }
    return true;
  }
  if (host::WebBrowser* control = browser.browser()) {
    if (control->TranslateKey(message, virtualKey, keyFlags) == hr::kOk &&
        virtualKey != kVkReturn) {
      return true;
    }
  }
  WriteLogFormat(L"KeyboardProc: msg.message: 0x%X, msg.wParam: 0x%X, msg.lParam: 0x%08X", message,
                 virtualKey, keyFlags);
  if (virtualKey == kVkEscape || virtualKey == kVkReturn || virtualKey == kVkSpace ||
      virtualKey == kVkTab) {
    message = host::kWmKeyUp;
  }
  if (virtualKey >= kVkLeft && virtualKey <= kVkDown)
    return true;
  const bool control = host::input().IsKeyDown(kVkControl);
  if (control && (virtualKey == kVkAdd || virtualKey == kVkSubtract)) {
    if (message == host::kWmKeyUp)
      return true;
    const std::optional<int> zoom = KeyboardZoom(browser.zoom(), virtualKey == kVkAdd);
    if (!zoom)
      return true;
    return ApplyZoom(*target, *zoom, L"Keyboard");
  }
  (void)host::windows().PostMessage(focus, message, virtualKey, keyFlags);
  return true;
}

bool ActiveContentDisplay::ApplyZoom(const View& target, int zoom, const wchar_t* source) {
  target.browser->set_zoom(zoom);
  WriteLogFormat(L"%s: Changing browser zoom level to %d of %s window", source, zoom,
                 NameOf(target.readingPane));
  target.browser->ApplyZoom();
  return true;
}

std::optional<ActiveContentDisplay::View> ActiveContentDisplay::WheelTarget(
    const host::MouseHookData& data) {
  host::WindowHandle top = host::windows().Focus();
  for (int step = 0; step < kLongestParentChain && top != 0; ++step) {
    const host::WindowHandle parent = host::windows().Parent(top);
    if (parent == 0)
      break;
    top = parent;
  }
  if (top == 0)
    return std::nullopt;
  const auto holdsCursor = [&data](host::WindowHandle window) {
    const std::optional<host::Rect> rect = host::windows().ScreenRect(window);
    return rect && rect->Contains(data.x, data.y);
  };
  const host::WindowHandle paneWindow = m_pane.browser().LiveWindow();
  if (top == explorer() && paneWindow != 0 && host::windows().IsVisible(paneWindow) &&
      holdsCursor(paneWindow)) {
    return PaneView();
  }
  for (const auto& [identity, item] : m_inspectorItems) {
    const host::WindowHandle window = item->browser().LiveWindow();
    if (window != 0 && item->inspector_window() == top && holdsCursor(window))
      return FindViewByRoot(top);
  }
  return std::nullopt;
}

bool ActiveContentDisplay::MouseProc(int code, uint32_t message, const host::MouseHookData& data) {
  if (code == host::kHcNoRemove || message != host::kWmMouseWheel ||
      !host::input().IsKeyDown(kVkControl)) {
    return false;
  }
  const std::optional<View> target = WheelTarget(data);
  if (!target || target->browser->browser() == nullptr)
    return false;
  const host::WindowHandle window = target->browser->LiveWindow();
  if (window == 0 || !host::windows().IsVisible(window))
    return false;
  ClosedBrowserWindows::InCall intoBrowser(m_context.closedBrowserWindows);
  return ApplyZoom(*target, WheelZoom(target->browser->zoom(), data.wheelDelta > 0), L"Mouse");
}

}  // namespace tp
