// The reading pane's display: one browser window laid over the message body of the explorer's
// reading pane, switched between the active content (the message window hidden) and Outlook's
// own view; created lazily by a timer, rebuilt when it has gone, kept in place by the
// window-message watcher and torn down at quit.
#pragma once

#include <string>

#include "branding/checked_message.h"
#include "display/active_browser.h"
#include "display/brisklet_content.h"
#include "display/display_context.h"
#include "host/browser.h"

namespace tp {

// The display content of a checked message.
BriskletContent ContentOf(const CheckedMessage& message);

class ReadingPane final : private host::BrowserEvents {
 public:
  explicit ReadingPane(DisplayContext& context) : m_context(context) {}
  ~ReadingPane();
  ReadingPane(const ReadingPane&) = delete;
  ReadingPane& operator=(const ReadingPane&) = delete;

  // Shows a checked message in the reading pane (after the offline check).
  void ShowOnWindow(const CheckedMessage& message);
  // Timer 2712: makes the browser window when there is none; unless createOnly, then shows
  // the message as ShowOnWindow does.
  void CreateBriskletWindow(bool createOnly, const CheckedMessage& message);
  // Timer 2728.
  void SwitchBackToOutlookView();
  void CleanMainActive();
  void FindMessageWindow();
  // The helper object's messages, when the focus is in the explorer.
  void OnSendActivate();
  void OnSendCancel();
  // Before a folder switch: blanks the browser and detaches its window, returned for delayed
  // destruction (0 when it already showed the blank page or there is none).
  host::WindowHandle DetachForFolderSwitch();
  // At quit: Outlook's view back; a browser showing active content is detached and handed
  // to the detached windows, to be destroyed once it has had time to unwind.
  void TearDown();
  // A new message is being checked: the active content shown no longer counts.
  void BeginCheck() { m_activeShown = false; }
  // WM_CREATE while a window is being rebuilt: the message window must not flash.
  void HideMessageWindowOnCreate();

  ActiveBrowser& browser() { return m_browser; }
  host::WindowHandle dialog_window() const { return m_dialogWindow; }
  host::WindowHandle body_host_window() const { return m_bodyHostWindow; }
  host::WindowHandle message_window() const { return m_messageWindow; }
  bool advised() const { return m_advised; }
  bool active_shown() const { return m_activeShown; }
  bool create_only() const { return m_createOnly; }
  bool hide_on_create() const { return m_hideOnCreate; }
  const std::wstring& shown_entry_id() const { return m_shownEntryId; }

 private:
  void OnNavigateComplete2(host::BrowserNavigation& navigation) override;
  // Shows the active content from "Starting BHO" on.
  void StartActiveContent(const BriskletContent& content);
  void ShowStaticLater();
  host::WindowHandle explorer() const { return m_context.timers.owner(); }

  DisplayContext& m_context;
  ActiveBrowser m_browser;
  host::WindowHandle m_dialogWindow = 0;
  host::WindowHandle m_bodyHostWindow = 0;
  host::WindowHandle m_messageWindow = 0;
  bool m_advised = false;
  bool m_activeShown = false;
  bool m_createOnly = true;
  bool m_hideOnCreate = false;
  std::wstring m_shownEntryId;
  BriskletContent m_shownContent;  // what the helper object was given, for its reload
};

}  // namespace tp
