// Thread hooks and the key state on Windows.
#include "host/win32/win32_input.h"

#include <atomic>

#include "host/win32/win32_api.h"

namespace tp::host::win32 {
namespace {

// The hooks live on Outlook's user-interface thread: one of each kind in the process.
std::atomic<HookProcedures*> g_procedures{nullptr};
HHOOK g_callWndProcHook = nullptr;
HHOOK g_keyboardHook = nullptr;
HHOOK g_mouseHook = nullptr;

HHOOK& HookOf(HookType type) {
  switch (type) {
    case HookType::kCallWndProc:
      return g_callWndProcHook;
    case HookType::kKeyboard:
      return g_keyboardHook;
    case HookType::kMouse:
      return g_mouseHook;
  }
  return g_mouseHook;
}

// The procedures run inside the thread's message processing, where no exception may arrive.
LRESULT CALLBACK CallWndProcHook(int code, WPARAM wParam, LPARAM lParam) {
  HookProcedures* procedures = g_procedures.load();
  if (code >= 0 && procedures != nullptr && lParam != 0) {
    try {
      const auto* sent = reinterpret_cast<const CWPSTRUCT*>(lParam);
      procedures->CallWndProc(code, WindowMessage{ToHandleValue(sent->hwnd), sent->message,
                                                  sent->wParam, sent->lParam});
    } catch (...) {
    }
  }
  return ::CallNextHookEx(g_callWndProcHook, code, wParam, lParam);
}

LRESULT CALLBACK KeyboardHook(int code, WPARAM wParam, LPARAM lParam) {
  HookProcedures* procedures = g_procedures.load();
  if (code >= 0 && procedures != nullptr) {
    try {
      if (procedures->KeyboardProc(code, static_cast<uint32_t>(wParam),
                                   static_cast<uint32_t>(lParam))) {
        return 1;
      }
    } catch (...) {
    }
  }
  return ::CallNextHookEx(g_keyboardHook, code, wParam, lParam);
}

LRESULT CALLBACK MouseHook(int code, WPARAM wParam, LPARAM lParam) {
  HookProcedures* procedures = g_procedures.load();
  if (code >= 0 && procedures != nullptr && lParam != 0) {
    try {
      const auto* mouse = reinterpret_cast<const MOUSEHOOKSTRUCTEX*>(lParam);
      MouseHookData data;
      data.x = mouse->pt.x;
      data.y = mouse->pt.y;
      data.window = ToHandleValue(mouse->hwnd);
      data.wheelDelta = static_cast<short>(HIWORD(mouse->mouseData));
      if (procedures->MouseProc(code, static_cast<uint32_t>(wParam), data))
        return 1;
    } catch (...) {
    }
  }
  return ::CallNextHookEx(g_mouseHook, code, wParam, lParam);
}

}  // namespace

void Win32Input::SetHookProcedures(HookProcedures* procedures) {
  g_procedures.store(procedures);
}

bool Win32Input::InstallHook(HookType type) {
  HHOOK& hook = HookOf(type);
  if (hook != nullptr)
    return true;
  int kind = WH_MOUSE;
  HOOKPROC procedure = &MouseHook;
  if (type == HookType::kCallWndProc) {
    kind = WH_CALLWNDPROC;
    procedure = &CallWndProcHook;
  } else if (type == HookType::kKeyboard) {
    kind = WH_KEYBOARD;
    procedure = &KeyboardHook;
  }
  hook = ::SetWindowsHookExW(kind, procedure, nullptr, ::GetCurrentThreadId());
  return hook != nullptr;
}

bool Win32Input::RemoveHook(HookType type) {
  HHOOK& hook = HookOf(type);
  if (hook == nullptr)
    return false;
  const bool removed = ::UnhookWindowsHookEx(hook) != FALSE;
  hook = nullptr;
  return removed;
}

bool Win32Input::IsHookInstalled(HookType type) {
  return HookOf(type) != nullptr;
}

bool Win32Input::IsKeyDown(uint32_t virtualKey) {
  return (::GetAsyncKeyState(static_cast<int>(virtualKey)) & 0x8000) != 0;
}

}  // namespace tp::host::win32
