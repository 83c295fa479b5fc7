// Windows' window tree.
#include "host/win32/win32_windows.h"

#include "host/win32/win32_api.h"

namespace tp::host::win32 {
namespace {

Rect FromRect(const RECT& rect) {
  return Rect{rect.left, rect.top, rect.right, rect.bottom};
}

}  // namespace

WindowHandle Win32WindowTree::FindChild(WindowHandle parent, const std::wstring& className) {
  if (parent == 0)
    return 0;  // a null parent would search the desktop's windows
  return ToHandleValue(::FindWindowExW(ToWindow(parent), nullptr, className.c_str(), nullptr));
}

WindowHandle Win32WindowTree::Parent(WindowHandle window) {
  return ToHandleValue(::GetParent(ToWindow(window)));
}

WindowHandle Win32WindowTree::Root(WindowHandle window) {
  return ToHandleValue(::GetAncestor(ToWindow(window), GA_ROOT));
}

WindowHandle Win32WindowTree::Focus() {
  return ToHandleValue(::GetFocus());
}

bool Win32WindowTree::IsVisible(WindowHandle window) {
  return ::IsWindowVisible(ToWindow(window)) != FALSE;
}

std::optional<Rect> Win32WindowTree::ClientRect(WindowHandle window) {
  RECT rect{};
  if (!::GetClientRect(ToWindow(window), &rect))
    return std::nullopt;
  return FromRect(rect);
}

std::optional<Rect> Win32WindowTree::ScreenRect(WindowHandle window) {
  RECT rect{};
  if (!::GetWindowRect(ToWindow(window), &rect))
    return std::nullopt;
  return FromRect(rect);
}

bool Win32WindowTree::Show(WindowHandle window, bool show) {
  return ::ShowWindow(ToWindow(window), show ? SW_SHOW : SW_HIDE) != FALSE;
}

bool Win32WindowTree::SetPosition(WindowHandle window, int x, int y, int width, int height,
                                  uint32_t flags) {
  return ::SetWindowPos(ToWindow(window), nullptr, x, y, width, height, flags) != FALSE;
}

bool Win32WindowTree::SetParent(WindowHandle window, WindowHandle parent) {
  HWND handle = ToWindow(window);
  ::SetLastError(ERROR_SUCCESS);
  const HWND previous = ::SetParent(handle, ToWindow(parent));
  if (previous == nullptr && ::GetLastError() != ERROR_SUCCESS)
    return false;
  // SetParent leaves the styles alone: a window taken out of its parent stops being a child
  // (WS_CHILD) and becomes a popup, as its documentation asks.
  if (parent == 0) {
    const LONG_PTR style = ::GetWindowLongPtrW(handle, GWL_STYLE);
    ::SetWindowLongPtrW(handle, GWL_STYLE, (style & ~static_cast<LONG_PTR>(WS_CHILD)) | WS_POPUP);
  }
  return true;
}

bool Win32WindowTree::SetText(WindowHandle window, const std::wstring& text) {
  return ::SetWindowTextW(ToWindow(window), text.c_str()) != FALSE;
}

bool Win32WindowTree::PostMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                                  intptr_t lParam) {
  return ::PostMessageW(ToWindow(window), message, wParam, lParam) != FALSE;
}

void Win32WindowTree::ShowMessageBox(WindowHandle owner, const std::wstring& text,
                                     const std::wstring& caption, uint32_t type) {
  (void)::MessageBoxW(ToWindow(owner), text.c_str(), caption.c_str(), type);
}

}  // namespace tp::host::win32
