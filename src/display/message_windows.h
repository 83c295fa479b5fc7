// Finding the message body in Outlook's window trees: from the explorer (the reading pane) or
// from an inspector window down to the dialog, the body host and the body window.
#pragma once

#include "host/ui.h"

namespace tp {

inline constexpr wchar_t kOutlookFrameClass[] = L"rctrl_renwnd32";
inline constexpr wchar_t kPaneClass[] = L"AfxWndW";
inline constexpr wchar_t kDialogClass[] = L"#32770";
inline constexpr wchar_t kBodyHostClass[] = L"AfxWndA";
inline constexpr wchar_t kWordBodyClass[] = L"_WwB";

struct MessageWindows {
  host::WindowHandle dialog = 0;    // "#32770"; 0 when the tree has none
  host::WindowHandle bodyHost = 0;  // "AfxWndA" under the dialog
  host::WindowHandle body = 0;      // "_WwB" under the body host, else its "AfxWndW"
};

// The reading pane's windows under the explorer window: "rctrl_renwnd32" (and the second one
// under it, when there is one), then "AfxWndW" (and its own "AfxWndW") and the dialog. Without
// the first "rctrl_renwnd32" or "AfxWndW" there is no dialog.
MessageWindows FindReadingPaneWindows(host::WindowHandle explorer);

// An inspector's windows: the same way down, but starting from the inspector window itself
// when it has no "rctrl_renwnd32", and from there when it has no "AfxWndW".
MessageWindows FindInspectorWindows(host::WindowHandle inspector);

}  // namespace tp
