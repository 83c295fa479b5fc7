// Real windows with Outlook's class names, as the add-in finds them: the explorer with its
// reading pane, and inspectors whose body is Word's ("_WwB") or Outlook's ("AfxWndW").
#pragma once

#include "host/win32/win32_api.h"

namespace tp::testing {

struct OutlookWindows {
  HWND top = nullptr;       // "rctrl_renwnd32", top-level
  HWND dialog = nullptr;    // "#32770"
  HWND bodyHost = nullptr;  // "AfxWndA"
  HWND body = nullptr;      // "_WwB" or "AfxWndW"
};

// A top-level window with the message windows under it:
// rctrl_renwnd32 > rctrl_renwnd32 > AfxWndW > AfxWndW > #32770 > AfxWndA > _WwB (or AfxWndW).
// Destroyed with everything under it at the end of its scope.
class OutlookWindowTree {
 public:
  explicit OutlookWindowTree(bool wordBody = true);
  ~OutlookWindowTree();
  OutlookWindowTree(const OutlookWindowTree&) = delete;
  OutlookWindowTree& operator=(const OutlookWindowTree&) = delete;

  const OutlookWindows& windows() const { return m_windows; }
  HWND top() const { return m_windows.top; }

 private:
  OutlookWindows m_windows;
};

}  // namespace tp::testing
