// Simulated thread hooks and input.
#include "host/sim/sim_input.h"

namespace tp::host::sim {
namespace {
constexpr uint32_t kKeyDownFlags = 0x00000001;  // repeat count 1
constexpr uint32_t kKeyUpFlags = 0xC0000001;    // released, previously down
}  // namespace

bool SimInput::InstallHook(HookType type) {
  if (m_installed.insert(type).second)
    ++installs;
  return true;
}

bool SimInput::RemoveHook(HookType type) {
  if (m_installed.erase(type) == 0)
    return false;
  ++removals;
  return true;
}

void SimInput::DeliverMessage(const WindowMessage& message) {
  if (m_procedures != nullptr && IsHookInstalled(HookType::kCallWndProc))
    m_procedures->CallWndProc(kHcAction, message);
}

bool SimInput::Keyboard(uint32_t virtualKey, uint32_t keyFlags, int code) {
  const bool consumed = m_procedures != nullptr && IsHookInstalled(HookType::kKeyboard) &&
                        code >= 0 && m_procedures->KeyboardProc(code, virtualKey, keyFlags);
  if (!consumed)
    keysPassedOn.push_back(Key{virtualKey, keyFlags});
  return consumed;
}

bool SimInput::TypeKey(uint32_t virtualKey) {
  const bool consumed = Keyboard(virtualKey, kKeyDownFlags);
  (void)Keyboard(virtualKey, kKeyUpFlags);
  return consumed;
}

bool SimInput::Mouse(uint32_t message, int x, int y, int wheelDelta, int code) {
  MouseHookData data;
  data.x = x;
  data.y = y;
  data.wheelDelta = wheelDelta;
  const bool consumed = m_procedures != nullptr && IsHookInstalled(HookType::kMouse) && code >= 0 &&
                        m_procedures->MouseProc(code, message, data);
  if (!consumed)
    mousePassedOn.push_back(message);
  return consumed;
}

}  // namespace tp::host::sim
