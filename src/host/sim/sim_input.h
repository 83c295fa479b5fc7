// Simulated input of Outlook's user-interface thread: the three thread hooks, and keys and
// the mouse wheel delivered through them the way Windows does: a hook that is not installed
// sees nothing, and what the hooks pass on reaches Outlook (recorded here).
#pragma once

#include <cstdint>
#include <set>
#include <vector>

#include "host/input.h"

namespace tp::host::sim {

class SimInput final : public Input {
 public:
  struct Key {
    uint32_t virtualKey;
    uint32_t keyFlags;
  };

  void SetHookProcedures(HookProcedures* procedures) override { m_procedures = procedures; }
  bool InstallHook(HookType type) override;
  bool RemoveHook(HookType type) override;
  bool IsHookInstalled(HookType type) override { return m_installed.count(type) != 0; }
  bool IsKeyDown(uint32_t virtualKey) override { return keysDown.count(virtualKey) != 0; }

  // A message sent to a window: the window-message hook sees it when installed.
  void DeliverMessage(const WindowMessage& message);
  // One keyboard event (flags bit 31 set: key up); true when a hook consumed it.
  bool Keyboard(uint32_t virtualKey, uint32_t keyFlags, int code = kHcAction);
  // A key pressed and released; true when the press was consumed.
  bool TypeKey(uint32_t virtualKey);
  // A mouse message with the cursor at x, y (screen); true when a hook consumed it.
  bool Mouse(uint32_t message, int x, int y, int wheelDelta, int code = kHcAction);

  std::set<uint32_t> keysDown;    // for IsKeyDown (VK_CONTROL = 0x11)
  std::vector<Key> keysPassedOn;  // keyboard events the hooks let through to Outlook
  std::vector<uint32_t> mousePassedOn;
  int installs = 0;
  int removals = 0;

 private:
  HookProcedures* m_procedures = nullptr;
  std::set<HookType> m_installed;
};

}  // namespace tp::host::sim
