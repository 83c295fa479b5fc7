// Window tree port on Windows: user32's window functions on Outlook's user-interface thread.
#pragma once

#include "host/windows.h"

namespace tp::host::win32 {

class Win32WindowTree final : public WindowTree {
 public:
  WindowHandle FindChild(WindowHandle parent, const std::wstring& className) override;
  WindowHandle Parent(WindowHandle window) override;
  WindowHandle Root(WindowHandle window) override;
  WindowHandle Focus() override;
  bool IsVisible(WindowHandle window) override;
  std::optional<Rect> ClientRect(WindowHandle window) override;
  std::optional<Rect> ScreenRect(WindowHandle window) override;
  bool Show(WindowHandle window, bool show) override;
  bool SetPosition(WindowHandle window, int x, int y, int width, int height,
                   uint32_t flags) override;
  bool SetParent(WindowHandle window, WindowHandle parent) override;
  bool SetText(WindowHandle window, const std::wstring& text) override;
  bool PostMessage(WindowHandle window, uint32_t message, uintptr_t wParam,
                   intptr_t lParam) override;
  void ShowMessageBox(WindowHandle owner, const std::wstring& text, const std::wstring& caption,
                      uint32_t type) override;
};

}  // namespace tp::host::win32
