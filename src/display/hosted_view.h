// One browser laid over one message body, the reading pane's or an inspector's, and the one
// set of rules for it: the browser window made hidden over the body host, the active content
// started (the browser in the body's place, the helper object given the message and page),
// shown again or given up at the helper object's request, and the browser let go of. Letting
// go never destroys or releases anything here: the browser is hidden, taken out of Outlook's
// windows, its events unadvised, and handed whole to the closed windows, which release it from
// a later timer tick.
#pragma once

#include <string>

#include "display/active_browser.h"
#include "display/brisklet_content.h"
#include "display/closed_windows.h"
#include "host/browser.h"

namespace tp {

class HostedView final : private host::BrowserEvents {
 public:
  // navigationLog: the owner's log line for a completed navigation, given the count ("%d").
  HostedView(ClosedBrowserWindows& closedWindows, const wchar_t* navigationLog)
      : m_closedWindows(closedWindows), m_navigationLog(navigationLog) {}
  ~HostedView() { (void)ReleaseBrowser(); }
  HostedView(const HostedView&) = delete;
  HostedView& operator=(const HostedView&) = delete;

  // The message body the browser lies over: its host window and the body window in it.
  void SetBody(host::WindowHandle bodyHost, host::WindowHandle body);
  void SetBodyWindow(host::WindowHandle body) { m_body = body; }
  host::WindowHandle body_host_window() const { return m_bodyHost; }
  host::WindowHandle body_window() const { return m_body; }

  // Makes the browser window, hidden, as a child of the body host at `rect`, with the text;
  // false when it cannot be made.
  bool CreateBrowser(const host::Rect& rect, const wchar_t* text);
  // Takes the control of the browser window and sinks its events: the result of the advise,
  // E_NOINTERFACE for a window without a control.
  HResult AttachAndAdvise();
  bool advised() const { return m_advised; }

  ActiveBrowser& browser() { return m_browser; }
  bool active_shown() const { return m_activeShown; }
  // What the helper object was last given; empty once Outlook's view stands for another
  // message.
  const BriskletContent& content() const { return m_content; }

  // Shows the content's active content: "Starting BHO", the browser in the body's place, the
  // helper object (made on first use, hosted by `helperHost`) given the message and the page,
  // the zoom applied and the maker's page loaded. False, with Outlook's view back, when the
  // helper object fails, or when it gives up or the browser is let go of meanwhile.
  bool StartActive(const BriskletContent& content, host::WindowHandle helperHost, int zoom);
  // The browser over the body, sized to it, and the body hidden.
  void ShowActive();
  // The body shown and the browser hidden.
  void ShowStatic();
  // Another message is on its way: what was shown no longer counts as shown.
  void ForgetActiveShown() { m_activeShown = false; }
  // Outlook's view stands for another message: the content given last no longer counts.
  void ForgetContent() { m_content = BriskletContent(); }
  // The helper object asks for its active content again: reloaded, shown, given the message
  // and page again, the maker's page loaded.
  void Reactivate();
  // The helper object gives up: Outlook's view, the browser kept on the blank page.
  void Cancel();
  // Lets go of the browser (see above); the unadvise's result, S_OK when not advised.
  HResult ReleaseBrowser();

 private:
  void OnNavigateComplete2(host::BrowserNavigation& navigation) override;

  ClosedBrowserWindows& m_closedWindows;
  const wchar_t* m_navigationLog;
  ActiveBrowser m_browser;
  host::WindowHandle m_bodyHost = 0;
  host::WindowHandle m_body = 0;
  bool m_advised = false;
  bool m_activeShown = false;
  BriskletContent m_content;
};

}  // namespace tp
