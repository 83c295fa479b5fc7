// The browser laid over a message body, and its rules.
#include "display/hosted_view.h"

#include "host/clock.h"
#include "host/host.h"
#include "host/windows.h"
#include "platform/configuration.h"
#include "platform/log.h"

namespace tp {
namespace {

constexpr uint32_t kActivePosition =
    host::kSwpNoZOrder | host::kSwpNoActivate | host::kSwpShowWindow;

// The handle while it names a window; 0 once the window is gone.
host::WindowHandle Live(host::WindowHandle window) {
  return window != 0 && host::ui().IsWindow(window) ? window : 0;
}

}  // namespace

void HostedView::SetBody(host::WindowHandle bodyHost, host::WindowHandle body) {
  m_bodyHost = bodyHost;
  m_body = body;
}

bool HostedView::CreateBrowser(const host::Rect& rect, const wchar_t* text) {
  return m_bodyHost != 0 && m_browser.CreateWindow(m_bodyHost, rect, text);
}

HResult HostedView::AttachAndAdvise() {
  if (!m_browser.AttachControl())
    return hr::kNoInterface;
  const HResult advised = m_browser.browser()->Advise(*this);
  m_advised = !hr::Failed(advised);
  return advised;
}

bool HostedView::StartActive(const BriskletContent& content, host::WindowHandle helperHost,
                             int zoom) {
  ClosedBrowserWindows::InCall inCall(m_closedWindows);
  WriteLog(L"Starting BHO");
  m_content = content;
  m_browser.set_zoom(zoom);
  m_browser.RestartNavigationCount();
  if (m_browser.browser() == nullptr)
    return false;  // nowhere to show it
  ShowActive();
  bool creationFailed = false;
  HResult result = m_browser.PrepareHelper(helperHost, &creationFailed);
  if (creationFailed) {
    WriteLog(L"Failed to create BHO instance");
    ShowStatic();
    return false;
  }
  if (!hr::Failed(result))
    result = m_browser.SendContent(content);
  if (hr::Failed(result)) {
    WriteLogFormat(L"Browser helper object failed (%xx)", result);
    ShowStatic();
    return false;
  }
  // The helper object may have given up, or the browser been let go of, during its calls.
  if (!m_activeShown || m_browser.browser() == nullptr)
    return false;
  m_browser.ApplyZoom();
  m_browser.Navigate(config::kActiveContentPage);
  return true;
}

void HostedView::ShowActive() {
  const host::WindowHandle window = m_browser.LiveWindow();
  m_activeShown = window != 0;
  if (window == 0)
    return;
  const host::WindowHandle body = Live(m_body);
  const host::WindowHandle sizeFrom = body != 0 ? body : Live(m_bodyHost);
  const host::Rect area =
      sizeFrom != 0 ? host::windows().ClientRect(sizeFrom).value_or(host::Rect{}) : host::Rect{};
  (void)host::windows().SetPosition(window, 0, 0, area.width(), area.height(), kActivePosition);
  if (body != 0)
    (void)host::windows().Show(body, false);
}

void HostedView::ShowStatic() {
  m_activeShown = false;
  if (const host::WindowHandle body = Live(m_body))
    (void)host::windows().Show(body, true);
  if (const host::WindowHandle window = m_browser.LiveWindow())
    (void)host::windows().Show(window, false);
}

void HostedView::Reactivate() {
  ClosedBrowserWindows::InCall inCall(m_closedWindows);
  if (m_browser.LiveWindow() == 0)
    return;  // nothing to show the active content in
  if (host::WebBrowser* control = m_browser.browser())
    (void)control->Refresh();
  ShowActive();
  if (m_browser.has_helper())
    (void)m_browser.SendContent(m_content);
  m_browser.Navigate(config::kActiveContentPage);
}

void HostedView::Cancel() {
  ShowStatic();
  m_browser.Navigate(host::kBlankPageUrl);
}

HResult HostedView::ReleaseBrowser() {
  HResult unadvised = hr::kOk;
  if (m_advised) {
    if (host::WebBrowser* control = m_browser.browser())
      unadvised = control->Unadvise();
    m_advised = false;
  }
  m_activeShown = false;
  ReleasedBrowser released = m_browser.Release();
  if (released.window != 0) {
    (void)host::windows().Show(released.window, false);
    (void)host::windows().SetParent(released.window, 0);
  }
  if (released.window != 0 || released.control || released.helper)
    m_closedWindows.Add(std::move(released), host::clock().TickCount());
  return unadvised;
}

void HostedView::OnNavigateComplete2(host::BrowserNavigation& navigation) {
  ClosedBrowserWindows::InCall inCall(m_closedWindows);
  WriteLogFormat(m_navigationLog, m_browser.navigation_count());
  if (m_browser.CountNavigation())
    (void)navigation.InstallUiHandler();
}

}  // namespace tp
