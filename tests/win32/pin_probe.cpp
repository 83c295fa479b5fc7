// tp_pin_probe.dll: starts one worker through the Windows threads port and drops its Thread at
// once, so that only the worker's own hold keeps this DLL loaded.
#include "host/win32/win32_api.h"
#include "host/win32/win32_threads.h"

extern "C" __declspec(dllexport) BOOL __cdecl StartPinnedWorker(HANDLE started, HANDLE release) {
  try {
    tp::host::win32::Win32Threads threads;
    (void)threads.StartThread([started, release] {
      ::SetEvent(started);
      ::WaitForSingleObject(release, INFINITE);
    });
    return TRUE;
  } catch (...) {
    return FALSE;
  }
}
