// Window timers, registered messages and windows on Windows.
#include "host/win32/win32_ui.h"

#include <atomic>

#include "host/win32/win32_api.h"

namespace tp::host::win32 {
namespace {

// The core's timer procedure, shared by every timer of the process.
std::atomic<TimerProcedure> g_timerProcedure{nullptr};

// The TIMERPROC of every timer; it runs from the thread's message loop, where no exception
// may arrive.
VOID CALLBACK TimerThunk(HWND window, UINT message, UINT_PTR id, DWORD time) {
  try {
    if (const TimerProcedure procedure = g_timerProcedure.load())
      procedure(ToHandleValue(window), message, id, time);
  } catch (...) {
  }
}

}  // namespace

void Win32UiThread::SetTimerProcedure(TimerProcedure procedure) {
  g_timerProcedure.store(procedure);
}

TimerId Win32UiThread::SetTimer(WindowHandle window, TimerId id, uint32_t elapseMs) {
  const UINT_PTR made = ::SetTimer(ToWindow(window), id, elapseMs, &TimerThunk);
  if (made == 0)
    return 0;
  // With a window the timer keeps the caller's id; without one the system chose it.
  return (window != 0 && id != 0) ? id : made;
}

bool Win32UiThread::KillTimer(WindowHandle window, TimerId id) {
  return ::KillTimer(ToWindow(window), id) != FALSE;
}

uint32_t Win32UiThread::RegisterWindowMessage(const std::wstring& name) {
  return ::RegisterWindowMessageW(name.c_str());
}

bool Win32UiThread::DestroyWindow(WindowHandle window) {
  return ::DestroyWindow(ToWindow(window)) != FALSE;
}

bool Win32UiThread::IsWindow(WindowHandle window) {
  return ::IsWindow(ToWindow(window)) != FALSE;
}

uintptr_t Win32UiThread::ShowWaitCursor() {
  return reinterpret_cast<uintptr_t>(::SetCursor(::LoadCursorW(nullptr, IDC_WAIT)));
}

void Win32UiThread::RestoreCursor(uintptr_t previous) {
  ::SetCursor(reinterpret_cast<HCURSOR>(previous));
}

}  // namespace tp::host::win32
