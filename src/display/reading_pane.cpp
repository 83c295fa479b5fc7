// The reading pane's display.
#include "display/reading_pane.h"

#include "addin/timer_ids.h"
#include "display/message_windows.h"
#include "host/clock.h"
#include "host/host.h"
#include "host/windows.h"
#include "support/configuration.h"
#include "support/log.h"

namespace tp {
namespace {

constexpr uint32_t kCreateSoonMs = 100;
constexpr uint32_t kRebuildMs = 400;
constexpr uint32_t kLookAgainMs = 1000;
constexpr uint32_t kBackToOutlookViewMs = 400;
constexpr uint32_t kActivePosition =
    host::kSwpNoZOrder | host::kSwpNoActivate | host::kSwpShowWindow;

host::WindowHandle Live(host::WindowHandle window) {
  return window != 0 && host::ui().IsWindow(window) ? window : 0;
}

void ShowWindow(host::WindowHandle window, bool show) {
  if (Live(window) != 0)
    (void)host::windows().Show(window, show);
}

}  // namespace

BriskletContent ContentOf(const CheckedMessage& message) {
  BriskletContent content;
  content.page = message.page;
  content.senderAddress = message.senderAddress;
  content.subject = message.subject;
  content.entryId = message.entryId;
  content.account = message.account;
  content.provider = message.provider;
  content.showActive = message.activeWanted;
  content.messageMode = message.messageMode;
  content.pointerFound = message.pointerFound;
  return content;
}

ReadingPane::~ReadingPane() {
  CleanMainActive();
}

void ReadingPane::ShowOnWindow(const CheckedMessage& message) {
  // The same message's active content is in the browser already: it stays as it is.
  if (message.activeWanted && m_advised && m_browser.browser() != nullptr &&
      m_browser.IsWindowAlive() && !m_shownEntryId.empty() && m_shownEntryId == message.entryId) {
    m_context.timers.Kill(kTimerBackToOutlookView);
    m_activeShown = true;
    return;
  }
  m_browser.Navigate(host::kBlankPageUrl);
  m_activeShown = false;
  if (!m_advised) {
    WriteLog(L"Current window is not advised");
    m_createOnly = false;
    m_context.timers.Arm(kTimerCreateBrowserWindow, kCreateSoonMs);
    return;
  }
  if (!m_browser.IsWindowAlive()) {
    WriteLog(L"Resetting active browser window");
    m_hideOnCreate = true;
    CleanMainActive();
    m_createOnly = false;
    m_context.timers.Arm(kTimerCreateBrowserWindow, kRebuildMs);
    return;
  }
  WriteLog(L"Reusing browser object");
  m_hideOnCreate = false;
  if (message.activeWanted && m_browser.browser() != nullptr) {
    m_context.timers.Kill(kTimerBackToOutlookView);
    StartActiveContent(ContentOf(message));
  } else if (!message.compose) {
    ShowStaticLater();
  }
}

void ReadingPane::ShowStaticLater() {
  m_shownEntryId.clear();
  m_context.timers.Arm(kTimerBackToOutlookView, kBackToOutlookViewMs);
}

void ReadingPane::StartActiveContent(const BriskletContent& content) {
  WriteLog(L"Starting BHO");
  m_browser.set_zoom(m_context.zoomDpi);
  ShowWindow(m_messageWindow, false);
  ShowWindow(m_browser.window(), true);
  m_activeShown = true;
  m_browser.RestartNavigationCount();
  bool creationFailed = false;
  HResult result = m_browser.PrepareHelper(explorer(), &creationFailed);
  if (creationFailed) {
    WriteLog(L"Failed to create BHO instance");
    return;
  }
  if (!hr::Failed(result))
    result = m_browser.SendContent(content);
  if (hr::Failed(result)) {
    WriteLogFormat(L"Browser helper object failed (%xx)", result);
    return;
  }
  m_browser.ApplyZoom();
  m_browser.Navigate(config::kActiveContentPage);
  m_shownEntryId = content.entryId;
  m_shownContent = content;
}

void ReadingPane::CreateBriskletWindow(bool createOnly, const CheckedMessage& message) {
  CriticalSectionLock hold(m_context.lock);
  if (!m_advised) {
    // Found afresh each time: a handle kept from an earlier tree may name a window long gone.
    const MessageWindows found = FindReadingPaneWindows(explorer());
    m_dialogWindow = found.dialog;
    if (found.dialog == 0 || found.bodyHost == 0) {
      m_context.timers.Arm(kTimerCreateBrowserWindow, kLookAgainMs);
      return;
    }
    m_bodyHostWindow = found.bodyHost;
    m_messageWindow = found.body;
    const host::Rect area = host::windows().ClientRect(m_bodyHostWindow).value_or(host::Rect{});
    if (!m_browser.CreateWindow(m_bodyHostWindow, area, L"Brisklet for Outlook")) {
      WriteLog(L"Could not create active browser window");
      m_context.timers.Arm(kTimerCreateBrowserWindow, kCreateSoonMs);
      return;
    }
    m_browser.ReleaseHelper();
    WriteLog(message.activeWanted ? L"In create - Brisklet is ON" : L"In create - Brisklet is OFF");
    m_hideOnCreate = false;
    if (message.activeWanted)
      ShowWindow(m_messageWindow, false);
    ShowWindow(m_browser.window(), false);
    WriteLog(L"In CreateBriskletWindow: Window Defined");
    const HResult advised =
        m_browser.AttachControl() ? m_browser.browser()->Advise(*this) : hr::kNoInterface;
    WriteLogFormat(L"CConnect::CreateBriskletWindow -> DispEventAdvise: %d", advised);
    if (hr::Failed(advised)) {
      // A window whose control does not answer would be made again on every message.
      ShowWindow(m_messageWindow, true);
      CleanMainActive();
      m_context.timers.Arm(kTimerCreateBrowserWindow, kLookAgainMs);
      return;
    }
    m_advised = true;
  }
  WriteLog(L"in CreateBriskletWindow - Object advised");
  if (createOnly)
    return;
  m_activeShown = false;
  if (message.activeWanted && m_browser.browser() != nullptr) {
    StartActiveContent(ContentOf(message));
  } else if (!message.compose) {
    ShowStaticLater();
  }
}

void ReadingPane::SwitchBackToOutlookView() {
  WriteLogFormat(L"Switching back to Outlook view. Window=%xx, ActiveWindow=%xx", m_bodyHostWindow,
                 m_browser.window());
  ShowWindow(m_messageWindow, true);
  ShowWindow(m_browser.window(), false);
}

void ReadingPane::CleanMainActive() {
  if (m_advised) {
    host::WebBrowser* browser = m_browser.browser();
    const HResult result = browser != nullptr ? browser->Unadvise() : hr::kOk;
    m_advised = false;
    WriteLogFormat(L"CConnect::CleanMainActive -> DispEventUnadvise: %d", result);
  }
  m_browser.DestroyWindow();
  m_dialogWindow = 0;
  m_bodyHostWindow = 0;
  m_messageWindow = 0;
  m_activeShown = false;
  m_shownEntryId.clear();
  m_browser.ReleaseHelper();
  m_browser.ReleaseControl();
}

void ReadingPane::FindMessageWindow() {
  CriticalSectionLock hold(m_context.lock);
  if (Live(m_messageWindow) != 0)
    return;
  m_messageWindow = FindReadingPaneWindows(explorer()).body;
}

void ReadingPane::HideMessageWindowOnCreate() {
  if (Live(m_messageWindow) != 0 && host::windows().IsVisible(m_messageWindow)) {
    WriteLog(L"Hiding message window on create");
    (void)host::windows().Show(m_messageWindow, false);
    m_hideOnCreate = false;
  } else {
    FindMessageWindow();
  }
}

void ReadingPane::OnSendActivate() {
  const host::WindowHandle browserWindow = m_browser.LiveWindow();
  if (browserWindow == 0)
    return;  // nothing to show the active content in
  if (host::WebBrowser* browser = m_browser.browser())
    (void)browser->Refresh();
  const host::WindowHandle message = Live(m_messageWindow);
  const host::WindowHandle sizeFrom = message != 0 ? message : Live(m_bodyHostWindow);
  const host::Rect area =
      sizeFrom != 0 ? host::windows().ClientRect(sizeFrom).value_or(host::Rect{}) : host::Rect{};
  ShowWindow(message, false);
  (void)host::windows().SetPosition(browserWindow, 0, 0, area.width(), area.height(),
                                    kActivePosition);
  m_activeShown = true;
  if (m_browser.has_helper())
    (void)m_browser.SendContent(m_shownContent);
  m_browser.Navigate(config::kActiveContentPage);
}

void ReadingPane::OnSendCancel() {
  ShowWindow(m_messageWindow, true);
  ShowWindow(m_browser.window(), false);
  m_activeShown = false;
  m_browser.Navigate(host::kBlankPageUrl);
}

host::WindowHandle ReadingPane::DetachForFolderSwitch() {
  if (host::WebBrowser* browser = m_browser.browser()) {
    if (browser->LocationUrl() == host::kBlankPageUrl)
      return 0;
    (void)browser->Navigate(host::kBlankPageUrl);
  }
  const host::WindowHandle detached = m_browser.TakeWindow();
  if (detached == 0)
    return 0;
  (void)host::windows().Show(detached, false);
  (void)host::windows().SetParent(detached, 0);
  if (m_advised) {
    (void)m_browser.browser()->Unadvise();
    m_advised = false;
  }
  m_browser.ReleaseHelper();
  m_browser.ReleaseControl();
  m_activeShown = false;
  m_shownEntryId.clear();
  m_hideOnCreate = true;
  m_createOnly = false;
  return detached;
}

void ReadingPane::TearDown() {
  ShowWindow(m_messageWindow, true);
  ShowWindow(m_browser.window(), false);
  if (m_browser.browser() != nullptr && m_activeShown) {
    m_browser.Navigate(host::kBlankPageUrl);
    if (const host::WindowHandle detached = m_browser.TakeWindow()) {
      (void)host::windows().Show(detached, false);
      (void)host::windows().SetParent(detached, 0);
      m_context.closedBrowserWindows.Add(detached, host::clock().TickCount());
    }
  }
  CleanMainActive();
}

void ReadingPane::OnNavigateComplete2(host::BrowserNavigation& navigation) {
  WriteLogFormat(L"in OnNavigateComplete2; m_bCountNavigate = %d", m_browser.navigation_count());
  if (m_browser.CountNavigation())
    (void)navigation.InstallUiHandler();
}

}  // namespace tp
