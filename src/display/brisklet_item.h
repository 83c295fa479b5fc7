// CBriskletItem: the rich content of one inspector (a message opened in its own window). It
// lays a browser window of its own over the inspector's message body: with active content the
// browser is shown in the body's place and the body hidden; otherwise, or once the active
// content is cancelled, the body is shown again and the browser hidden. The add-in's display
// decides when and with what; the inspector's Close event and the browser's navigations drive
// the rest.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "display/active_browser.h"
#include "display/brisklet_content.h"
#include "display/closed_windows.h"
#include "host/browser.h"
#include "host/outlook.h"
#include "support/critical_section.h"

namespace tp {

class CBriskletItem final : private host::BrowserEvents, private host::InspectorEventHandler {
 public:
  // onClosed runs when the inspector has closed and the item has let go of its windows: the
  // owner then drops the item.
  CBriskletItem(ClosedBrowserWindows& closedBrowserWindows,
                std::function<void(CBriskletItem&)> onClosed);
  ~CBriskletItem();
  CBriskletItem(const CBriskletItem&) = delete;
  CBriskletItem& operator=(const CBriskletItem&) = delete;

  // Finds the inspector's windows and lays the browser over its body (once: while the item is
  // not initialised), then shows the active or the static content.
  void Initialize(host::WindowHandle inspectorWindow, std::shared_ptr<host::Inspector> inspector,
                  bool showActive);
  void Activate(const BriskletContent& content);
  // The helper object asks for the active content again; true when `root` is this item's
  // inspector window.
  bool ActivateBrisklet(host::WindowHandle root);
  // The helper object asks for Outlook's view; true when `root` is this item's window.
  bool CancelBrisklet(host::WindowHandle root);
  // Back to Outlook's view for good: the browser window destroyed and its objects released.
  // The item can be initialised again, with a new browser, by the next activation.
  void CleanActiveWindow();
  // The inspector window closes: the browser window is detached for delayed destruction.
  bool CloseForWindow(host::WindowHandle window);
  void CloseInspector();

  bool initialised() const { return m_initialised; }
  bool active_shown() const { return m_activeShown; }
  host::WindowHandle inspector_window() const { return m_inspectorWindow; }
  host::WindowHandle dialog_window() const { return m_dialogWindow; }
  host::WindowHandle body_host_window() const { return m_bodyHostWindow; }
  host::WindowHandle body_window() const { return m_bodyWindow; }
  int default_zoom() const { return m_defaultZoom; }
  const BriskletContent& content() const { return m_content; }
  ActiveBrowser& browser() { return m_browser; }

 private:
  void OnNavigateComplete2(host::BrowserNavigation& navigation) override;
  void OnInspectorClose() override { CloseInspector(); }

  bool FindWindows(host::WindowHandle inspectorWindow);
  void ShowActiveContent();
  void ShowStaticContent();
  // Starts the active content in the browser; false (logged) when the helper object fails.
  bool StartActiveContent();
  void UnadviseBrowser();

  ClosedBrowserWindows& m_closedBrowserWindows;
  std::function<void(CBriskletItem&)> m_onClosed;
  ActiveBrowser m_browser;
  int m_defaultZoom = ActiveBrowser::kDefaultZoom;
  BriskletContent m_content;
  CriticalSection m_lock;
  bool m_initialised = false;
  bool m_activeShown = false;
  host::WindowHandle m_inspectorWindow = 0;
  host::WindowHandle m_dialogWindow = 0;
  host::WindowHandle m_bodyHostWindow = 0;
  host::WindowHandle m_bodyWindow = 0;
  std::shared_ptr<host::Inspector> m_inspector;
  std::unique_ptr<host::EventSink> m_inspectorSink;
};

}  // namespace tp
