// User-interface thread port: window timers, registered window messages, window handles.
#pragma once

#include <cstdint>
#include <string>

namespace tp::host {

using WindowHandle = uintptr_t;
using TimerId = uintptr_t;

// What a window timer calls when it expires: (window, WM_TIMER, id, tick count).
using TimerProcedure = void (*)(WindowHandle window, uint32_t message, TimerId id, uint32_t time);

class UiThread {
 public:
  virtual ~UiThread() = default;
  // The procedure every expiring timer calls on this thread; the core registers it before it
  // arms its first timer. Until then an expiring timer calls nothing.
  virtual void SetTimerProcedure(TimerProcedure procedure) = 0;
  // Arms a window timer whose expiry calls the registered timer procedure on this thread.
  // Like SetTimer it repeats until killed, and arming the same window and id again restarts
  // it. Without a window the system chooses the id, which is returned; 0 means the timer was
  // not created.
  virtual TimerId SetTimer(WindowHandle window, TimerId id, uint32_t elapseMs) = 0;
  virtual bool KillTimer(WindowHandle window, TimerId id) = 0;
  virtual uint32_t RegisterWindowMessage(const std::wstring& name) = 0;
  virtual bool DestroyWindow(WindowHandle window) = 0;
  virtual bool IsWindow(WindowHandle window) = 0;
  // Shows the system's wait cursor; returns the cursor it replaced, for RestoreCursor.
  virtual uintptr_t ShowWaitCursor() = 0;
  virtual void RestoreCursor(uintptr_t previous) = 0;
};

}  // namespace tp::host
