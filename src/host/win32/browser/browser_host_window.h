// The window class that hosts a control, our own in place of ATL's "AtlAxWin": a window of
// class "TidepostBrowserHost" creates, as it is created, the control its window text names
// (a URL such as "about:blank" names the WebBrowser control, which then navigates there; a
// "{CLSID}" or a ProgID names any other), embeds it in place through its own client site, keeps
// it the size of its client area, gives it the focus, and closes it when it is destroyed.
#pragma once

#include "host/win32/com_ptr.h"
#include "host/win32/win32_api.h"

namespace tp::host::win32 {

inline constexpr wchar_t kBrowserHostClass[] = L"TidepostBrowserHost";

// Registers the class in this module (once); false when it cannot be registered.
bool RegisterBrowserHostClass();
// Unregisters it again (the module is going; no window of the class may be left).
void UnregisterBrowserHostClass();
// The control a host window holds; null for another window or when the control could not be
// made.
ComPtr<IUnknown> ControlOfHostWindow(HWND window);

}  // namespace tp::host::win32
