// User-interface thread port: window timers, registered window messages, window handles.
#pragma once

#include <cstdint>
#include <string>

namespace tp::host {

using WindowHandle = uintptr_t;
using TimerId = uintptr_t;

class UiThread {
 public:
  virtual ~UiThread() = default;
  // Arms a window timer whose expiry calls the process's one timer callback, tp::TimerProc,
  // on this thread. Like SetTimer it repeats until killed, and arming the same window and id
  // again restarts it. Without a window the system chooses the id, which is returned; 0 means
  // the timer was not created.
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
