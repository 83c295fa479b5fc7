// Input port on Windows: the thread hooks of the calling thread (WH_CALLWNDPROC, WH_KEYBOARD,
// WH_MOUSE), whose procedures call the core's and chain to the next hook, and the key state.
#pragma once

#include "host/input.h"

namespace tp::host::win32 {

class Win32Input final : public Input {
 public:
  void SetHookProcedures(HookProcedures* procedures) override;
  bool InstallHook(HookType type) override;
  bool RemoveHook(HookType type) override;
  bool IsHookInstalled(HookType type) override;
  bool IsKeyDown(uint32_t virtualKey) override;
};

}  // namespace tp::host::win32
