// Browser port: the WebBrowser control hosted in a window of our own class, and the maker's
// browser helper object that fills it with a sender's active content.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "base/hresult.h"
#include "host/ui.h"
#include "host/windows.h"

namespace tp::host {

inline constexpr wchar_t kBlankPageUrl[] = L"about:blank";

// One completed navigation of a browser or of a frame in it (NavigateComplete2).
class BrowserNavigation {
 public:
  virtual std::wstring Url() = 0;
  // Installs the display's document host UI handler on the navigated document
  // (ICustomDoc::SetUIHandler), keeping the handler of the document's client site as the
  // default one that ShowUI and HideUI go to. False when the document is not an HTML one.
  virtual bool InstallUiHandler() = 0;

 protected:
  ~BrowserNavigation() = default;
};

// The browser events the display sinks (DWebBrowserEvents2).
class BrowserEvents {
 public:
  virtual void OnNavigateComplete2(BrowserNavigation& navigation) = 0;

 protected:
  ~BrowserEvents() = default;
};

// The control of a browser window: its IWebBrowser2 and IOleInPlaceActiveObject.
class WebBrowser {
 public:
  virtual ~WebBrowser() = default;
  // Navigate with the URL alone (flags, frame, post data and headers empty).
  virtual HResult Navigate(const std::wstring& url) = 0;
  // LocationURL; empty when the browser has none.
  virtual std::wstring LocationUrl() = 0;
  // ExecWB(OLECMDID_OPTICAL_ZOOM, OLECMDEXECOPT_DODEFAULT, VT_I4 percent).
  virtual HResult SetZoom(int percent) = 0;
  // ExecWB(OLECMDID_REFRESH, OLECMDEXECOPT_DODEFAULT).
  virtual HResult Refresh() = 0;
  // Offers a key to the in-place object (TranslateAccelerator with a MSG of no window, time
  // or point); S_FALSE when the control has no in-place object.
  virtual HResult TranslateKey(uint32_t message, uintptr_t wParam, intptr_t lParam) = 0;
  // Sinks the browser's events; E_FAIL when already advised.
  virtual HResult Advise(BrowserEvents& events) = 0;
  virtual HResult Unadvise() = 0;
  virtual bool IsAdvised() const = 0;
};

// The maker's browser helper object (IBrowserHelper). Every call answers the helper's HRESULT.
class BrowserHelper {
 public:
  virtual ~BrowserHelper() = default;
  virtual HResult SetHostWindow(WindowHandle window) = 0;
  virtual HResult SetPageContent(const std::wstring& page) = 0;
  virtual HResult SetMessageInfo(const std::wstring& senderAddress, const std::wstring& subject,
                                 const std::wstring& entryId, const std::wstring& account,
                                 const std::wstring& provider) = 0;
  // IObjectWithSite::SetSite with the browser's IWebBrowser2; null detaches it.
  virtual HResult SetSite(WebBrowser* browser) = 0;
};

class Browsers {
 public:
  virtual ~Browsers() = default;
  // Registers the window class that hosts the control (once per process); false on failure.
  virtual bool RegisterHostClass() = 0;
  // A hidden child window of `parent` of the host class, at `rect`, whose text names the
  // control to create ("about:blank": the WebBrowser control, started on the empty page);
  // 0 when the window cannot be made.
  virtual WindowHandle CreateBrowserWindow(WindowHandle parent, const Rect& rect) = 0;
  // The control of a browser window; null when the window holds none.
  virtual std::shared_ptr<WebBrowser> BrowserOf(WindowHandle window) = 0;
  // CoCreateInstance of the helper's class, OleRun, then its IBrowserHelper.
  virtual HResult CreateBrowserHelper(std::unique_ptr<BrowserHelper>* helper) = 0;
};

}  // namespace tp::host
