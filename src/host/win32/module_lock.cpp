// The module lock count.
#include "host/win32/module_lock.h"

#include "host/win32/win32_api.h"

namespace tp::host::win32 {
namespace {
volatile LONG g_moduleLocks = 0;
}  // namespace

void LockModule() {
  ::InterlockedIncrement(&g_moduleLocks);
}
void UnlockModule() {
  ::InterlockedDecrement(&g_moduleLocks);
}
long ModuleLockCount() {
  return ::InterlockedCompareExchange(&g_moduleLocks, 0, 0);
}

}  // namespace tp::host::win32
