// One hosted browser of the display (the reading pane's or an inspector's): its window, its
// control, the browser helper object that fills it with active content, the zoom applied to
// it and the navigations it completed since its content was last started.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "display/brisklet_content.h"
#include "display/closed_windows.h"
#include "host/browser.h"

namespace tp {

class ActiveBrowser {
 public:
  // Navigations before the first activation are never taken for the first one.
  static constexpr int kNavigationsBeforeActivation = 1503;
  static constexpr int kDefaultZoom = 100;

  ActiveBrowser() = default;
  ActiveBrowser(const ActiveBrowser&) = delete;
  ActiveBrowser& operator=(const ActiveBrowser&) = delete;

  host::WindowHandle window() const { return m_window; }
  host::WebBrowser* browser() const { return m_browser.get(); }
  bool has_helper() const { return m_helper != nullptr; }
  int zoom() const { return m_zoom; }
  void set_zoom(int zoom) { m_zoom = zoom; }
  int navigation_count() const { return m_navigationCount; }

  // Makes the browser window, a hidden child of `parent` covering `rect`, and gives it the
  // text; false when it cannot be made.
  bool CreateWindow(host::WindowHandle parent, const host::Rect& rect, const wchar_t* text);
  // True while the browser window exists.
  bool IsWindowAlive() const;
  // The window handle, or 0 once the window is gone: the handle of a destroyed window is
  // never used again, since Windows may have given it to another window.
  host::WindowHandle LiveWindow() const { return IsWindowAlive() ? m_window : 0; }
  // Takes the control of the browser window; false when the window holds none.
  bool AttachControl();

  // Lets go of the window, the control and the helper object, handed over whole; the browser
  // is empty afterwards.
  ReleasedBrowser Release();

  void Navigate(const std::wstring& url);
  void ApplyZoom();
  // A new address of the active-content page, for F5: the page with a pseudo-random
  // fragment that differs from the previous one.
  std::wstring RefreshAddress();

  // Makes the helper object when there is none, gives it the host window and attaches it to
  // the browser. The failing result, with *creationFailed set when making it failed. The
  // browser may be let go of during a call into the helper: nothing more is asked of it then.
  HResult PrepareHelper(host::WindowHandle hostWindow, bool* creationFailed);
  // Hands the message information and the page to the helper object (likewise).
  HResult SendContent(const BriskletContent& content);

  // A navigation completed: true when it is the first since the content was started.
  bool CountNavigation() { return ++m_navigationCount <= 1; }
  void RestartNavigationCount() { m_navigationCount = 0; }

 private:
  host::WindowHandle m_window = 0;
  std::shared_ptr<host::WebBrowser> m_browser;
  std::unique_ptr<host::BrowserHelper> m_helper;
  int m_zoom = kDefaultZoom;
  int m_navigationCount = kNavigationsBeforeActivation;
  uint32_t m_lastFragment = 0;
};

}  // namespace tp
