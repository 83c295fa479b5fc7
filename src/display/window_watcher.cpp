// The window-message watcher: every message sent to a window of Outlook's user-interface
// thread passes here. It forgets the mail on display when the reading pane's dialog goes,
// keeps the message window hidden while a browser window is rebuilt, takes the browser helper
// object's two messages, and keeps the browser windows the size of the message body.
#include "display/active_content_display.h"
#include "host/host.h"
#include "host/system.h"
#include "host/windows.h"

namespace tp {
namespace {

constexpr uint32_t kResizePosition = host::kSwpNoZOrder | host::kSwpNoMove | host::kSwpNoActivate;

host::WindowHandle Live(host::WindowHandle window) {
  return window != 0 && host::ui().IsWindow(window) ? window : 0;
}

}  // namespace

void ActiveContentDisplay::CallWndProc(int /*code*/, const host::WindowMessage& message) {
  switch (message.message) {
    case host::kWmNcDestroy:
      if (message.window != 0 && message.window == m_pane.dialog_window())
        m_context.currentEntryId.clear();
      return;
    case host::kWmCreate:
      if (m_pane.hide_on_create())
        m_pane.HideMessageWindowOnCreate();
      return;
    case host::kWmShowWindow:
      return;
    case host::kWmWindowPosChanged:
    case host::kWmNcPaint:
    case host::kWmPaint:
    case host::kWmActivateApp:
      break;
    default:
      if (message.message != 0 && message.message == m_context.msgSendCancel) {
        OnSendCancel(message.window);
      } else if (message.message != 0 && message.message == m_context.msgSendActivate) {
        OnSendActivate(message.window);
      }
      return;
  }
  const std::optional<View> view = FindViewByRoot(host::windows().Root(message.window));
  if (!view)
    return;
  if (message.message == host::kWmActivateApp) {
    // Outlook is being activated (wParam true) or deactivated.
    if (m_context.dragFullWindows)
      host::system().SetDragFullWindows(message.wParam == 0);
    return;
  }
  ResizeToBodyHost(*view, message.window);
}

void ActiveContentDisplay::ResizeToBodyHost(const View& view, host::WindowHandle window) {
  if (window == 0 || (window != view.bodyHost && window != view.body))
    return;
  const host::WindowHandle browserWindow = view.browser->LiveWindow();
  const host::WindowHandle bodyHost = Live(view.bodyHost);
  if (browserWindow == 0 || bodyHost == 0 || !host::windows().IsVisible(browserWindow))
    return;
  const std::optional<host::Rect> wanted = host::windows().ClientRect(bodyHost);
  const std::optional<host::Rect> current = host::windows().ClientRect(browserWindow);
  if (!wanted || !current)
    return;
  if (wanted->width() != current->width() || wanted->height() != current->height()) {
    (void)host::windows().SetPosition(browserWindow, 0, 0, wanted->width(), wanted->height(),
                                      kResizePosition);
  }
}

}  // namespace tp
