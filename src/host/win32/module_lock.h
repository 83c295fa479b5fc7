// The module lock count: every live COM object of this module and every IClassFactory::
// LockServer(TRUE) holds one; DllCanUnloadNow answers S_OK only at zero.
#pragma once

namespace tp::host::win32 {

void LockModule();
void UnlockModule();
long ModuleLockCount();

}  // namespace tp::host::win32
