// CBriskletItem: the active content of one inspector (a message opened in its own window). It
// lays a browser of its own over the inspector's message body (display/hosted_view.h): with
// active content the browser is shown in the body's place and the body hidden; otherwise, or
// once the active content is given up, the body is shown again and the browser hidden. The
// add-in's display decides when and with what; the inspector's Close event and the browser's
// navigations drive the rest.
#pragma once

#include <functional>
#include <memory>
#include <string>

#include "base/critical_section.h"
#include "display/brisklet_content.h"
#include "display/closed_windows.h"
#include "display/hosted_view.h"
#include "host/outlook.h"

namespace tp {

class CBriskletItem final : private host::InspectorEventHandler {
 public:
  // Sinks the inspector's Close event at once, so that an inspector closed before it was ever
  // shown ends its item too. onClosed runs when the inspector has closed and the item has let
  // go of its browser: the owner then drops the item.
  CBriskletItem(std::shared_ptr<host::Inspector> inspector,
                ClosedBrowserWindows& closedBrowserWindows,
                std::function<void(CBriskletItem&)> onClosed);
  ~CBriskletItem() = default;  // the sink unadvises, the view lets go of the browser
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
  // The helper object asks for Outlook's view; true when `root` is this item's window. The
  // browser stays, hidden on the blank page, for the next activation.
  bool CancelBrisklet(host::WindowHandle root);
  // Back to Outlook's view for good: the browser let go of. The item can be initialised again,
  // with a new browser, by the next activation.
  void CleanActiveWindow();
  // The inspector window closes: its events are no longer sunk and the browser is let go of.
  bool CloseForWindow(host::WindowHandle window);
  void CloseInspector();

  bool initialised() const { return m_initialised; }
  bool active_shown() const { return m_view.active_shown(); }
  host::WindowHandle inspector_window() const { return m_inspectorWindow; }
  host::WindowHandle dialog_window() const { return m_dialogWindow; }
  host::WindowHandle body_host_window() const { return m_view.body_host_window(); }
  host::WindowHandle body_window() const { return m_view.body_window(); }
  int default_zoom() const { return m_defaultZoom; }
  const BriskletContent& content() const { return m_view.content(); }
  HostedView& view() { return m_view; }
  ActiveBrowser& browser() { return m_view.browser(); }

 private:
  void OnInspectorClose() override { CloseInspector(); }

  bool FindWindows(host::WindowHandle inspectorWindow);

  std::function<void(CBriskletItem&)> m_onClosed;
  HostedView m_view;
  int m_defaultZoom = ActiveBrowser::kDefaultZoom;
  CriticalSection m_lock;
  bool m_initialised = false;
  host::WindowHandle m_inspectorWindow = 0;
  host::WindowHandle m_dialogWindow = 0;
  std::shared_ptr<host::Inspector> m_inspector;
  std::unique_ptr<host::EventSink> m_inspectorSink;
};

}  // namespace tp
