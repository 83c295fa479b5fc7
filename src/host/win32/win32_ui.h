// User-interface thread port on Windows: window timers whose expiry calls the core's timer
// procedure, registered window messages and window handles.
#pragma once

#include "host/ui.h"

namespace tp::host::win32 {

class Win32UiThread final : public UiThread {
 public:
  void SetTimerProcedure(TimerProcedure procedure) override;
  TimerId SetTimer(WindowHandle window, TimerId id, uint32_t elapseMs) override;
  bool KillTimer(WindowHandle window, TimerId id) override;
  uint32_t RegisterWindowMessage(const std::wstring& name) override;
  bool DestroyWindow(WindowHandle window) override;
  bool IsWindow(WindowHandle window) override;
  uintptr_t ShowWaitCursor() override;
  void RestoreCursor(uintptr_t previous) override;
};

}  // namespace tp::host::win32
