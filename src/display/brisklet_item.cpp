// The active content of one inspector.
#include "display/brisklet_item.h"

#include "display/message_windows.h"
#include "host/host.h"
#include "host/system.h"
#include "platform/log.h"

namespace tp {
namespace {

// The screen's zoom: its pixels per inch against Windows' 96.
int ScreenZoom() {
  const std::optional<int> pixelsPerInch = host::system().ScreenPixelsPerInchX();
  return pixelsPerInch ? static_cast<int>(*pixelsPerInch * 100.0 / 96.0)
                       : ActiveBrowser::kDefaultZoom;
}

}  // namespace

CBriskletItem::CBriskletItem(std::shared_ptr<host::Inspector> inspector,
                             ClosedBrowserWindows& closedBrowserWindows,
                             std::function<void(CBriskletItem&)> onClosed)
    : m_onClosed(std::move(onClosed)),
      m_view(closedBrowserWindows, L"in CBriskletItem::OnNavigateComplete2: Count = %d"),
      m_defaultZoom(ScreenZoom()),
      m_inspector(std::move(inspector)),
      m_inspectorSink(host::outlook().CreateInspectorSink(*this)) {
  if (m_inspector)
    (void)m_inspectorSink->Advise(*m_inspector);
}

void CBriskletItem::Initialize(host::WindowHandle inspectorWindow,
                               std::shared_ptr<host::Inspector> inspector, bool showActive) {
  CriticalSectionLock hold(m_lock);
  WriteLog(L"in CBriskletItem::Initialize");
  if (!m_initialised) {
    if (!FindWindows(inspectorWindow))
      return;
    if (inspector)
      m_inspector = std::move(inspector);
    m_initialised = true;
  }
  if (showActive) {
    WriteLog(L"In CBriskletItem::Initialize - showing active content");
    WriteLog(L"CBriskletItem::ShowActiveContent");
    m_view.ShowActive();
  } else {
    WriteLog(L"In CBriskletItem::Initialize - showing static content");
    WriteLog(L"CBriskletItem::ShowStaticContent");
    m_view.ShowStatic();
  }
}

bool CBriskletItem::FindWindows(host::WindowHandle inspectorWindow) {
  m_inspectorWindow = inspectorWindow;
  const MessageWindows found = FindInspectorWindows(inspectorWindow);
  if (found.dialog == 0)
    return false;
  m_dialogWindow = found.dialog;
  m_view.SetBody(found.bodyHost, found.body);
  if (!m_view.browser().IsWindowAlive()) {
    if (!m_view.CreateBrowser(host::Rect{}, L"Tidepost for Outlook"))
      return false;
    WriteLog(L"In CBriskletItem::Initialize: Window Defined");
  }
  const HResult advised = m_view.AttachAndAdvise();
  if (advised == hr::kNoInterface) {
    // A window without a control would only cover the message: it goes.
    (void)m_view.ReleaseBrowser();
    return false;
  }
  WriteLogFormat(L"CBriskletItem::Initialize -> DispEventAdvise: %d", advised);
  return true;
}

void CBriskletItem::Activate(const BriskletContent& content) {
  WriteLog(L"In CBriskletItem::Activate");
  m_view.browser().Navigate(host::kBlankPageUrl);
  m_view.ForgetActiveShown();
  if (!content.showActive) {
    WriteLog(L"In CBriskletItem::Activate - showing static content");
    WriteLog(L"CBriskletItem::ShowStaticContent");
    m_view.ShowStatic();
    m_view.ForgetContent();
    return;
  }
  if (m_view.StartActive(content, m_inspectorWindow, m_defaultZoom)) {
    WriteLog(L"In CBriskletItem::Activate - showing active content");
    WriteLog(L"CBriskletItem::ShowActiveContent");
  }
}

bool CBriskletItem::ActivateBrisklet(host::WindowHandle root) {
  if (root == 0 || root != m_inspectorWindow)
    return false;
  WriteLog(L"CBriskletItem::ActivateBrisklet");
  WriteLog(L"CBriskletItem::ShowActiveContent");
  m_view.Reactivate();
  return true;
}

bool CBriskletItem::CancelBrisklet(host::WindowHandle root) {
  if (root == 0 || root != m_inspectorWindow)
    return false;
  WriteLog(L"CBriskletItem::CancelBrisklet");
  WriteLog(L"CBriskletItem::ShowStaticContent");
  m_view.Cancel();
  return true;
}

void CBriskletItem::CleanActiveWindow() {
  WriteLog(L"CBriskletItem::CleanActiveWindow");
  WriteLog(L"CBriskletItem::ShowStaticContent");
  m_view.ShowStatic();
  (void)m_view.ReleaseBrowser();
  m_dialogWindow = 0;
  // The next activation finds the windows again and lays a new browser over the body.
  m_initialised = false;
}

bool CBriskletItem::CloseForWindow(host::WindowHandle window) {
  if (window != m_inspectorWindow)
    return false;
  WriteLog(L"CBriskletItem::CloseForWindow");
  if (m_inspectorSink->Cookie() != host::kNotAdvisedCookie)
    (void)m_inspectorSink->Unadvise();
  CleanActiveWindow();
  return true;
}

void CBriskletItem::CloseInspector() {
  WriteLog(L"CBriskletItem::CloseInspector");
  CloseForWindow(m_inspectorWindow);
  m_inspector.reset();
  m_onClosed(*this);
}

}  // namespace tp
