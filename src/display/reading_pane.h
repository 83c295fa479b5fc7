// The reading pane's display: one browser laid over the message body of the explorer's
// reading pane, switched between the active content (the message window hidden) and Outlook's
// own view; created lazily by a timer, rebuilt when it has gone, kept in place by the
// window-message watcher and let go of at quit.
#pragma once

#include <string>

#include "branding/checked_message.h"
#include "display/brisklet_content.h"
#include "display/display_context.h"
#include "display/hosted_view.h"

namespace tp {

// The display content of a checked message.
BriskletContent ContentOf(const CheckedMessage& message);

class ReadingPane final {
 public:
  explicit ReadingPane(DisplayContext& context)
      : m_context(context),
        m_view(context.closedBrowserWindows, L"in OnNavigateComplete2; m_bCountNavigate = %d") {}
  ReadingPane(const ReadingPane&) = delete;
  ReadingPane& operator=(const ReadingPane&) = delete;

  // Shows a checked message in the reading pane (after the offline check).
  void ShowOnWindow(const CheckedMessage& message);
  // Timer 2712: makes the browser window when there is none; unless createOnly, then shows
  // the message as ShowOnWindow does.
  void CreateBriskletWindow(bool createOnly, const CheckedMessage& message);
  // Timer 2728.
  void SwitchBackToOutlookView();
  // Lets go of the browser: Outlook's own view is left.
  void CleanMainActive();
  void FindMessageWindow();
  // The helper object's messages, when the focus is in the explorer. Once it has given up,
  // selecting its message again starts its active content anew.
  void OnSendActivate() { m_view.Reactivate(); }
  void OnSendCancel() {
    m_view.Cancel();
    m_shownEntryId.clear();
  }
  // Before a folder switch: blanks the browser and lets go of it; false when it already
  // showed the blank page or there is none.
  bool DetachForFolderSwitch();
  // At quit: Outlook's view back, the browser let go of.
  void TearDown();
  // A new message is being checked: the active content shown no longer counts.
  void BeginCheck() { m_view.ForgetActiveShown(); }
  // WM_CREATE while a window is being rebuilt: the message window must not flash.
  void HideMessageWindowOnCreate();

  HostedView& view() { return m_view; }
  ActiveBrowser& browser() { return m_view.browser(); }
  host::WindowHandle dialog_window() const { return m_dialogWindow; }
  host::WindowHandle body_host_window() const { return m_view.body_host_window(); }
  host::WindowHandle message_window() const { return m_view.body_window(); }
  bool advised() const { return m_view.advised(); }
  bool active_shown() const { return m_view.active_shown(); }
  bool create_only() const { return m_createOnly; }
  bool hide_on_create() const { return m_hideOnCreate; }
  const std::wstring& shown_entry_id() const { return m_shownEntryId; }

 private:
  // Shows the active content from "Starting BHO" on.
  void StartActiveContent(const BriskletContent& content);
  void ShowStaticLater();
  host::WindowHandle explorer() const { return m_context.timers.owner(); }

  DisplayContext& m_context;
  HostedView m_view;
  host::WindowHandle m_dialogWindow = 0;
  bool m_createOnly = true;
  bool m_hideOnCreate = false;
  std::wstring m_shownEntryId;
};

}  // namespace tp
