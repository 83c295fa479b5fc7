// Input port: the thread hooks of Outlook's user-interface thread (window messages, keyboard,
// mouse), which call the procedures the core registers and pass on to the next hook what
// they do not consume; and the state of a key.
#pragma once

#include <cstdint>

#include "host/ui.h"

namespace tp::host {

enum class HookType { kCallWndProc, kKeyboard, kMouse };

constexpr int kHcAction = 0;
constexpr int kHcNoRemove = 3;

// A message sent to a window of the thread (CWPSTRUCT).
struct WindowMessage {
  WindowHandle window = 0;
  uint32_t message = 0;
  uintptr_t wParam = 0;
  intptr_t lParam = 0;
};

// What the mouse hook tells of a mouse message (MOUSEHOOKSTRUCTEX).
struct MouseHookData {
  int x = 0;  // the cursor, in screen coordinates
  int y = 0;
  WindowHandle window = 0;  // the window that will receive the message
  int wheelDelta = 0;       // WM_MOUSEWHEEL: the signed high word of mouseData
};

// The core's hook procedures. Each is called only with a hook code that is not negative;
// a true result consumes the event (the hook returns 1), false passes it on (CallNextHookEx).
class HookProcedures {
 public:
  virtual void CallWndProc(int code, const WindowMessage& message) = 0;
  virtual bool KeyboardProc(int code, uint32_t virtualKey, uint32_t keyFlags) = 0;
  virtual bool MouseProc(int code, uint32_t message, const MouseHookData& data) = 0;

 protected:
  ~HookProcedures() = default;
};

class Input {
 public:
  virtual ~Input() = default;
  // The procedures the installed hooks call; null: the hooks only pass everything on.
  virtual void SetHookProcedures(HookProcedures* procedures) = 0;
  // SetWindowsHookExW for the calling thread, no module; true when installed (or already).
  virtual bool InstallHook(HookType type) = 0;
  // UnhookWindowsHookEx; false when the hook was not installed.
  virtual bool RemoveHook(HookType type) = 0;
  virtual bool IsHookInstalled(HookType type) = 0;
  // GetAsyncKeyState: the key is down now.
  virtual bool IsKeyDown(uint32_t virtualKey) = 0;
};

}  // namespace tp::host
