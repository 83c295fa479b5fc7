// Browser port on Windows: browser windows of our own hosting class holding the WebBrowser
// control, the control's IWebBrowser2 and IOleInPlaceActiveObject with its DWebBrowserEvents2,
// and the maker's browser helper object by its class id.
#pragma once

#include "host/browser.h"

namespace tp::host::win32 {

class Win32Browsers final : public Browsers {
 public:
  // The hosting class goes with the module.
  ~Win32Browsers() override;

  bool RegisterHostClass() override;
  WindowHandle CreateBrowserWindow(WindowHandle parent, const Rect& rect) override;
  std::shared_ptr<WebBrowser> BrowserOf(WindowHandle window) override;
  HResult CreateBrowserHelper(std::unique_ptr<BrowserHelper>* helper) override;
};

}  // namespace tp::host::win32
