// The one include of the Windows headers for the Windows adapters, the COM server and their
// tests: lean headers, no min/max macros, Vista as the oldest Windows, and the OS error of the
// last call turned into the codes the ports speak, once, where the call is made.
#pragma once

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef _WIN32_WINNT
#define _WIN32_WINNT 0x0600
#endif
#ifndef WINVER
#define WINVER _WIN32_WINNT
#endif
#ifndef UNICODE
#define UNICODE
#endif
#ifndef _UNICODE
#define _UNICODE
#endif

// clang-format off
#include <windows.h>
#include <objbase.h>
#include <oleauto.h>
#include <ocidl.h>
#include <oleidl.h>
#include <olectl.h>
#include <shlobj.h>
#include <urlmon.h>
// clang-format on

#include <cstdint>

#include "base/hresult.h"

// The ports have members named like the A/W macros of <windows.h>; the adapters call the W
// functions by their full names, so the macros would only rename our own members.
#undef CreateEvent
#undef CreateDirectory
#undef RemoveDirectory
#undef LoadString
#undef RegisterWindowMessage
#undef CreateWindow
#undef GetObject
#undef DELETE
#undef GetProp
#undef SetProp
#undef PostMessage

namespace tp::host::win32 {

// GetLastError as the Win32 error code that the file and registry ports return.
inline uint32_t LastError() {
  return static_cast<uint32_t>(::GetLastError());
}

inline HResult ToHResult(HRESULT value) {
  return static_cast<HResult>(value);
}

// Window handles cross the ports as integers.
inline uintptr_t ToHandleValue(HWND window) {
  return reinterpret_cast<uintptr_t>(window);
}
inline HWND ToWindow(uintptr_t value) {
  return reinterpret_cast<HWND>(value);
}

}  // namespace tp::host::win32
