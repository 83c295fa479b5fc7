// Window tree port: the windows of Outlook's user-interface thread that the display finds its
// way through, lays its browser windows over, shows, hides, moves and posts keys to.
#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "host/ui.h"

namespace tp::host {

struct Rect {
  int left = 0;
  int top = 0;
  int right = 0;
  int bottom = 0;

  int width() const { return right - left; }
  int height() const { return bottom - top; }
  bool Contains(int x, int y) const { return x >= left && x < right && y >= top && y < bottom; }
  bool operator==(const Rect&) const = default;
};

// Window messages, with Windows' values.
constexpr uint32_t kWmCreate = 0x0001;
constexpr uint32_t kWmPaint = 0x000F;
constexpr uint32_t kWmShowWindow = 0x0018;
constexpr uint32_t kWmActivateApp = 0x001C;
constexpr uint32_t kWmWindowPosChanged = 0x0047;
constexpr uint32_t kWmNcDestroy = 0x0082;
constexpr uint32_t kWmNcPaint = 0x0085;
constexpr uint32_t kWmKeyDown = 0x0100;
constexpr uint32_t kWmKeyUp = 0x0101;
constexpr uint32_t kWmTimer = 0x0113;
constexpr uint32_t kWmMouseWheel = 0x020A;

// SetWindowPos flags, with Windows' values.
constexpr uint32_t kSwpNoSize = 0x0001;
constexpr uint32_t kSwpNoMove = 0x0002;
constexpr uint32_t kSwpNoZOrder = 0x0004;
constexpr uint32_t kSwpNoActivate = 0x0010;
constexpr uint32_t kSwpShowWindow = 0x0040;
constexpr uint32_t kSwpHideWindow = 0x0080;

// MessageBox types.
constexpr uint32_t kMbIconExclamation = 0x00000030;

class WindowTree {
 public:
  virtual ~WindowTree() = default;
  // The first child of `parent` of the window class (FindWindowExW); 0 when there is none.
  virtual WindowHandle FindChild(WindowHandle parent, const std::wstring& className) = 0;
  // GetParent: the parent of a child window, the owner of an owned top-level window, or 0.
  virtual WindowHandle Parent(WindowHandle window) = 0;
  // GetAncestor(GA_ROOT); 0 for no window.
  virtual WindowHandle Root(WindowHandle window) = 0;
  // GetFocus: the window of this thread that has the keyboard focus, or 0.
  virtual WindowHandle Focus() = 0;
  // IsWindowVisible: the window and all its ancestors are visible.
  virtual bool IsVisible(WindowHandle window) = 0;
  // GetClientRect (origin 0,0) and GetWindowRect (screen coordinates).
  virtual std::optional<Rect> ClientRect(WindowHandle window) = 0;
  virtual std::optional<Rect> ScreenRect(WindowHandle window) = 0;
  // ShowWindow with SW_SHOW or SW_HIDE.
  virtual bool Show(WindowHandle window, bool show) = 0;
  // SetWindowPos without an insertion window.
  virtual bool SetPosition(WindowHandle window, int x, int y, int width, int height,
                           uint32_t flags) = 0;
  // SetParent; a null parent makes the window a top-level one.
  virtual bool SetParent(WindowHandle window, WindowHandle parent) = 0;
  virtual bool SetText(WindowHandle window, const std::wstring& text) = 0;
  virtual bool PostMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                           intptr_t lParam) = 0;
  // A modal message box owned by `owner` (MessageBoxW); returns when the user closes it.
  virtual void ShowMessageBox(WindowHandle owner, const std::wstring& text,
                              const std::wstring& caption, uint32_t type) = 0;
};

}  // namespace tp::host
