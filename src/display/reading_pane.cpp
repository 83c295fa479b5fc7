// The reading pane's display.
#include "display/reading_pane.h"

#include "display/message_windows.h"
#include "host/host.h"
#include "host/windows.h"
#include "platform/log.h"
#include "platform/timer_ids.h"

namespace tp {
namespace {

constexpr uint32_t kCreateSoonMs = 100;
constexpr uint32_t kRebuildMs = 400;
constexpr uint32_t kLookAgainMs = 1000;
constexpr uint32_t kBackToOutlookViewMs = 400;

host::WindowHandle Live(host::WindowHandle window) {
  return window != 0 && host::ui().IsWindow(window) ? window : 0;
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

void ReadingPane::ShowOnWindow(const CheckedMessage& message) {
  ActiveBrowser& browser = m_view.browser();
  // The same message's active content is in the browser already: it stays as it is.
  if (message.activeWanted && m_view.advised() && browser.browser() != nullptr &&
      browser.IsWindowAlive() && !m_shownEntryId.empty() && m_shownEntryId == message.entryId) {
    m_context.timers.Kill(kTimerBackToOutlookView);
    m_view.ShowActive();
    return;
  }
  browser.Navigate(host::kBlankPageUrl);
  m_view.ForgetActiveShown();
  if (!m_view.advised()) {
    WriteLog(L"Current window is not advised");
    m_createOnly = false;
    m_context.timers.Arm(kTimerCreateBrowserWindow, kCreateSoonMs);
    return;
  }
  if (!browser.IsWindowAlive()) {
    WriteLog(L"Resetting active browser window");
    m_hideOnCreate = true;
    CleanMainActive();
    m_createOnly = false;
    m_context.timers.Arm(kTimerCreateBrowserWindow, kRebuildMs);
    return;
  }
  WriteLog(L"Reusing browser object");
  m_hideOnCreate = false;
  if (message.activeWanted && browser.browser() != nullptr) {
    m_context.timers.Kill(kTimerBackToOutlookView);
    StartActiveContent(ContentOf(message));
  } else if (!message.compose) {
    ShowStaticLater();
  }
}

void ReadingPane::ShowStaticLater() {
  m_shownEntryId.clear();
  m_view.ForgetContent();
  m_context.timers.Arm(kTimerBackToOutlookView, kBackToOutlookViewMs);
}

void ReadingPane::StartActiveContent(const BriskletContent& content) {
  m_shownEntryId.clear();
  if (m_view.StartActive(content, explorer(), m_context.zoomDpi))
    m_shownEntryId = content.entryId;
}

void ReadingPane::CreateBriskletWindow(bool createOnly, const CheckedMessage& message) {
  CriticalSectionLock hold(m_context.lock);
  if (!m_view.advised()) {
    // Found afresh each time: a handle kept from an earlier tree may name a window long gone.
    const MessageWindows found = FindReadingPaneWindows(explorer());
    m_dialogWindow = found.dialog;
    if (found.dialog == 0 || found.bodyHost == 0) {
      m_context.timers.Arm(kTimerCreateBrowserWindow, kLookAgainMs);
      return;
    }
    m_view.SetBody(found.bodyHost, found.body);
    const host::Rect area = host::windows().ClientRect(found.bodyHost).value_or(host::Rect{});
    if (!m_view.CreateBrowser(area, L"Brisklet for Outlook")) {
      WriteLog(L"Could not create active browser window");
      m_context.timers.Arm(kTimerCreateBrowserWindow, kCreateSoonMs);
      return;
    }
    WriteLog(message.activeWanted ? L"In create - Brisklet is ON" : L"In create - Brisklet is OFF");
    m_hideOnCreate = false;
    if (message.activeWanted && Live(found.body) != 0)
      (void)host::windows().Show(found.body, false);
    WriteLog(L"In CreateBriskletWindow: Window Defined");
    const HResult advised = m_view.AttachAndAdvise();
    WriteLogFormat(L"CConnect::CreateBriskletWindow -> DispEventAdvise: %d", advised);
    if (hr::Failed(advised)) {
      // A window whose control does not answer would be made again on every message.
      m_view.ShowStatic();
      CleanMainActive();
      m_context.timers.Arm(kTimerCreateBrowserWindow, kLookAgainMs);
      return;
    }
  }
  WriteLog(L"in CreateBriskletWindow - Object advised");
  if (createOnly)
    return;
  m_view.ForgetActiveShown();
  if (message.activeWanted && m_view.browser().browser() != nullptr) {
    StartActiveContent(ContentOf(message));
  } else if (!message.compose) {
    ShowStaticLater();
  }
}

void ReadingPane::SwitchBackToOutlookView() {
  WriteLogFormat(L"Switching back to Outlook view. Window=%xx, ActiveWindow=%xx",
                 m_view.body_host_window(), m_view.browser().window());
  m_view.ShowStatic();
}

void ReadingPane::CleanMainActive() {
  const bool wasAdvised = m_view.advised();
  const HResult unadvised = m_view.ReleaseBrowser();
  if (wasAdvised)
    WriteLogFormat(L"CConnect::CleanMainActive -> DispEventUnadvise: %d", unadvised);
  m_view.SetBody(0, 0);
  m_dialogWindow = 0;
  m_shownEntryId.clear();
}

void ReadingPane::FindMessageWindow() {
  CriticalSectionLock hold(m_context.lock);
  if (Live(m_view.body_window()) != 0)
    return;
  m_view.SetBodyWindow(FindReadingPaneWindows(explorer()).body);
}

void ReadingPane::HideMessageWindowOnCreate() {
  const host::WindowHandle message = Live(m_view.body_window());
  if (message != 0 && host::windows().IsVisible(message)) {
    WriteLog(L"Hiding message window on create");
    (void)host::windows().Show(message, false);
    m_hideOnCreate = false;
  } else {
    FindMessageWindow();
  }
}

bool ReadingPane::DetachForFolderSwitch() {
  ActiveBrowser& browser = m_view.browser();
  if (host::WebBrowser* control = browser.browser()) {
    if (control->LocationUrl() == host::kBlankPageUrl)
      return false;
    (void)control->Navigate(host::kBlankPageUrl);
  }
  if (!browser.IsWindowAlive())
    return false;
  (void)m_view.ReleaseBrowser();
  m_shownEntryId.clear();
  m_hideOnCreate = true;
  m_createOnly = false;
  return true;
}

void ReadingPane::TearDown() {
  m_view.ShowStatic();
  m_view.browser().Navigate(host::kBlankPageUrl);
  CleanMainActive();
}

}  // namespace tp
