// A simulated window tree of Outlook's user-interface thread: windows with a class, a text,
// a parent, a position and a visibility. Creating, showing, moving and destroying a window
// sends the messages Windows sends (WM_CREATE, WM_SHOWWINDOW, WM_WINDOWPOSCHANGED,
// WM_NCDESTROY) through the thread's window-message hook. A handle is never given out twice,
// so every use of a destroyed window's handle is caught and recorded.
#pragma once

#include <map>
#include <set>
#include <string>
#include <vector>

#include "host/windows.h"

namespace tp::host::sim {

class SimInput;

class SimWindowTree final : public WindowTree {
 public:
  struct Window {
    std::wstring className;
    std::wstring text;
    WindowHandle parent = 0;
    bool visible = true;
    Rect rect;  // in the parent's client area; on the screen for a top-level window
  };
  struct MessageBoxShown {
    WindowHandle owner;
    std::wstring text;
    std::wstring caption;
    uint32_t type;
  };
  struct PostedMessage {
    WindowHandle window;
    uint32_t message;
    uintptr_t wParam;
    intptr_t lParam;
  };

  explicit SimWindowTree(SimInput& input) : m_input(input) {}

  // Makes a window (WM_CREATE goes through the hooks); parent 0 makes a top-level one.
  WindowHandle Create(const std::wstring& className, WindowHandle parent, const Rect& rect,
                      bool visible = true, const std::wstring& text = {});
  // Destroys the window and its descendants, each receiving WM_NCDESTROY after its children;
  // false when it is not a window.
  bool Destroy(WindowHandle window);
  bool Exists(WindowHandle window) const { return m_windows.count(window) != 0; }
  // The window's state; null when it is not a window.
  const Window* Find(WindowHandle window) const;
  // Sends a message to a window through the thread's window-message hook.
  void Send(WindowHandle window, uint32_t message, uintptr_t wParam = 0, intptr_t lParam = 0);
  // The children of a window, oldest first.
  std::vector<WindowHandle> Children(WindowHandle parent) const;

  // --- WindowTree ------------------------------------------------------------------------
  WindowHandle FindChild(WindowHandle parent, const std::wstring& className) override;
  WindowHandle Parent(WindowHandle window) override;
  WindowHandle Root(WindowHandle window) override;
  WindowHandle Focus() override { return focus; }
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

  WindowHandle focus = 0;
  std::vector<WindowHandle> destroyed;  // in the order they went
  std::vector<MessageBoxShown> messageBoxes;
  std::vector<PostedMessage> posted;
  // "Show 0x10070" and the like: each call made with the handle of a window already
  // destroyed (on Windows that handle may name another window by then).
  std::vector<std::wstring> staleUses;

  // Calls that came from a browser (its events, its helper object's messages) are running:
  // the browser window they came from, for as long as the call runs.
  void EnterCallFrom(WindowHandle browserWindow) { m_callsFrom.insert(browserWindow); }
  void LeaveCallFrom(WindowHandle browserWindow);
  bool InCallFrom(WindowHandle browserWindow) const {
    return m_callsFrom.count(browserWindow) != 0;
  }
  // "DestroyWindow 0x10070", "Release helper of 0x10070", "Release control of 0x10070": each
  // done while a call from that browser was running. The add-in must never do any.
  std::vector<std::wstring> releasedInCall;

 private:
  // The window, or null after recording the stale use of a destroyed one.
  Window* Use(WindowHandle window, const wchar_t* call);
  void DestroyTree(WindowHandle window);

  SimInput& m_input;
  std::map<WindowHandle, Window> m_windows;
  std::multiset<WindowHandle> m_callsFrom;
  WindowHandle m_next = 0x10010;
};

}  // namespace tp::host::sim
