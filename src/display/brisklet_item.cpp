// The rich content of one inspector.
#include "display/brisklet_item.h"

#include "display/message_windows.h"
#include "host/clock.h"
#include "host/host.h"
#include "host/system.h"
#include "host/windows.h"
#include "support/configuration.h"
#include "support/log.h"

namespace tp {
namespace {

constexpr uint32_t kActivePosition =
    host::kSwpNoZOrder | host::kSwpNoActivate | host::kSwpShowWindow;
constexpr uint32_t kStaticPosition =
    host::kSwpNoZOrder | host::kSwpNoActivate | host::kSwpHideWindow;

// The handle while it names a window; 0 once the window is gone.
host::WindowHandle Live(host::WindowHandle window) {
  return window != 0 && host::ui().IsWindow(window) ? window : 0;
}

// The screen's zoom: its pixels per inch against Windows' 96.
int ScreenZoom() {
  const std::optional<int> pixelsPerInch = host::system().ScreenPixelsPerInchX();
  return pixelsPerInch ? static_cast<int>(*pixelsPerInch * 100.0 / 96.0)
                       : ActiveBrowser::kDefaultZoom;
}

}  // namespace

CBriskletItem::CBriskletItem(ClosedBrowserWindows& closedBrowserWindows,
                             std::function<void(CBriskletItem&)> onClosed)
    : m_closedBrowserWindows(closedBrowserWindows),
      m_onClosed(std::move(onClosed)),
      m_defaultZoom(ScreenZoom()),
      m_inspectorSink(host::outlook().CreateInspectorSink(*this)) {}

CBriskletItem::~CBriskletItem() {
  UnadviseBrowser();
  m_browser.ReleaseHelper();
  m_browser.ReleaseControl();
  m_browser.DestroyWindow();
}

void CBriskletItem::Initialize(host::WindowHandle inspectorWindow,
                               std::shared_ptr<host::Inspector> inspector, bool showActive) {
  CriticalSectionLock hold(m_lock);
  WriteLog(L"in CBriskletItem::Initialize");
  if (!m_initialised) {
    if (!FindWindows(inspectorWindow))
      return;
    const HResult advised = m_browser.browser()->Advise(*this);
    WriteLogFormat(L"CBriskletItem::Initialize -> DispEventAdvise: %d", advised);
    m_inspector = std::move(inspector);
    if (m_inspector && m_inspectorSink->Cookie() == host::kNotAdvisedCookie)
      (void)m_inspectorSink->Advise(*m_inspector);
    m_initialised = true;
  }
  if (showActive) {
    WriteLog(L"In CBriskletItem::Initialize - showing active content");
    WriteLog(L"CBriskletItem::ShowActiveContent");
    ShowActiveContent();
  } else {
    WriteLog(L"In CBriskletItem::Initialize - showing static content");
    WriteLog(L"CBriskletItem::ShowStaticContent");
    ShowStaticContent();
  }
}

bool CBriskletItem::FindWindows(host::WindowHandle inspectorWindow) {
  m_inspectorWindow = inspectorWindow;
  const MessageWindows found = FindInspectorWindows(inspectorWindow);
  if (found.dialog == 0)
    return false;
  m_dialogWindow = found.dialog;
  m_bodyHostWindow = found.bodyHost;
  m_bodyWindow = found.body;
  if (!m_browser.IsWindowAlive()) {
    if (m_bodyHostWindow == 0 ||
        !m_browser.CreateWindow(m_bodyHostWindow, host::Rect{}, L"Tidepost for Outlook")) {
      return false;
    }
    m_browser.ReleaseHelper();
    WriteLog(L"In CBriskletItem::Initialize: Window Defined");
  }
  if (!m_browser.AttachControl()) {
    // A window without a control would only cover the message: it goes.
    m_browser.DestroyWindow();
    return false;
  }
  return true;
}

void CBriskletItem::ShowActiveContent() {
  const host::WindowHandle browserWindow = m_browser.LiveWindow();
  if (browserWindow == 0)
    return;
  const host::WindowHandle body = Live(m_bodyWindow);
  const host::WindowHandle sizeFrom = body != 0 ? body : Live(m_bodyHostWindow);
  const host::Rect area =
      sizeFrom != 0 ? host::windows().ClientRect(sizeFrom).value_or(host::Rect{}) : host::Rect{};
  (void)host::windows().SetPosition(browserWindow, 0, 0, area.width(), area.height(),
                                    kActivePosition);
  if (body != 0)
    (void)host::windows().Show(body, false);
}

void CBriskletItem::ShowStaticContent() {
  if (const host::WindowHandle body = Live(m_bodyWindow))
    (void)host::windows().Show(body, true);
  if (const host::WindowHandle browserWindow = m_browser.LiveWindow())
    (void)host::windows().SetPosition(browserWindow, 0, 0, 0, 0, kStaticPosition);
}

bool CBriskletItem::StartActiveContent() {
  bool creationFailed = false;
  HResult result = m_browser.PrepareHelper(m_inspectorWindow, &creationFailed);
  if (creationFailed) {
    WriteLog(L"Failed to create BHO instance");
    return false;
  }
  if (!hr::Failed(result))
    result = m_browser.SendContent(m_content);
  if (hr::Failed(result)) {
    WriteLogFormat(L"CBriskletItem::Activate - browser helper object failed (%xx)", result);
    return false;
  }
  m_browser.ApplyZoom();
  m_browser.Navigate(config::kActiveContentPage);
  return true;
}

void CBriskletItem::Activate(const BriskletContent& content) {
  WriteLog(L"In CBriskletItem::Activate");
  m_browser.Navigate(host::kBlankPageUrl);
  m_activeShown = false;
  if (!content.showActive) {
    WriteLog(L"In CBriskletItem::Activate - showing static content");
    WriteLog(L"CBriskletItem::ShowStaticContent");
    ShowStaticContent();
    return;
  }
  WriteLog(L"Starting BHO");
  m_browser.set_zoom(m_defaultZoom);
  m_content = content;
  m_browser.RestartNavigationCount();
  if (m_browser.browser() != nullptr && !StartActiveContent())
    return;
  WriteLog(L"In CBriskletItem::Activate - showing active content");
  WriteLog(L"CBriskletItem::ShowActiveContent");
  ShowActiveContent();
  m_activeShown = m_browser.IsWindowAlive();
}

bool CBriskletItem::ActivateBrisklet(host::WindowHandle root) {
  if (root == 0 || root != m_inspectorWindow)
    return false;
  WriteLog(L"CBriskletItem::ActivateBrisklet");
  if (host::WebBrowser* browser = m_browser.browser())
    (void)browser->Refresh();
  WriteLog(L"CBriskletItem::ShowActiveContent");
  ShowActiveContent();
  m_activeShown = m_browser.IsWindowAlive();
  if (m_browser.has_helper())
    (void)m_browser.SendContent(m_content);
  m_browser.Navigate(config::kActiveContentPage);
  return true;
}

bool CBriskletItem::CancelBrisklet(host::WindowHandle root) {
  if (root == 0 || root != m_inspectorWindow)
    return false;
  WriteLog(L"CBriskletItem::CancelBrisklet");
  CleanActiveWindow();
  return true;
}

void CBriskletItem::CleanActiveWindow() {
  WriteLog(L"CBriskletItem::CleanActiveWindow");
  WriteLog(L"CBriskletItem::ShowStaticContent");
  ShowStaticContent();
  UnadviseBrowser();
  m_browser.DestroyWindow();
  m_dialogWindow = 0;
  m_activeShown = false;
  m_browser.ReleaseHelper();
  m_browser.ReleaseControl();
  // The next activation finds the windows again and lays a new browser over the body.
  m_initialised = false;
}

bool CBriskletItem::CloseForWindow(host::WindowHandle window) {
  if (window != m_inspectorWindow)
    return false;
  WriteLog(L"CBriskletItem::CloseForWindow");
  m_initialised = false;
  UnadviseBrowser();
  if (m_inspectorSink->Cookie() != host::kNotAdvisedCookie)
    (void)m_inspectorSink->Unadvise();
  // The browser may still be unwinding a call into this window: it is destroyed later.
  if (const host::WindowHandle detached = m_browser.TakeWindow()) {
    (void)host::windows().Show(detached, false);
    (void)host::windows().SetParent(detached, 0);
    m_closedBrowserWindows.Add(detached, host::clock().TickCount());
  }
  CleanActiveWindow();
  return true;
}

void CBriskletItem::CloseInspector() {
  WriteLog(L"CBriskletItem::CloseInspector");
  CloseForWindow(m_inspectorWindow);
  m_inspector.reset();
  m_onClosed(*this);
}

void CBriskletItem::OnNavigateComplete2(host::BrowserNavigation& navigation) {
  WriteLogFormat(L"in CBriskletItem::OnNavigateComplete2: Count = %d",
                 m_browser.navigation_count());
  if (m_browser.CountNavigation())
    (void)navigation.InstallUiHandler();
}

void CBriskletItem::UnadviseBrowser() {
  host::WebBrowser* browser = m_browser.browser();
  if (browser != nullptr && browser->IsAdvised())
    (void)browser->Unadvise();
}

}  // namespace tp
