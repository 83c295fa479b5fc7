// The add-in DLL's entry points: DllMain, DllGetClassObject and DllCanUnloadNow.
#include "addin/com/class_factory.h"
#include "addin/com/connect_object.h"
#include "host/platform.h"
#include "host/win32/module_instance.h"
#include "host/win32/module_lock.h"

namespace {

struct ClassEntry {
  const CLSID* clsid;
  tp::addin::CreateInstanceFunction create;
};

// Only Connect is served. BriskletItem objects belong each to one inspector and are made by
// the add-in itself; no client could make a useful one, and none can find the class by CLSID
// (it has no registry entries).
const ClassEntry kClasses[] = {
    {&tp::addin::kClsidConnect, &tp::addin::ConnectObject::Create},
};

// The module's static state, built while the DLL loads; a failure refuses the load.
bool BuildModuleState() {
  try {
    (void)tp::host::PlatformHost();
    return true;
  } catch (...) {
    return false;
  }
}
const bool g_moduleReady = BuildModuleState();

}  // namespace

extern "C" BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID /*reserved*/) {
  if (reason == DLL_PROCESS_ATTACH) {
    if (!g_moduleReady)
      return FALSE;
    tp::host::win32::RememberModuleInstance(instance);
  }
  return TRUE;
}

STDAPI DllGetClassObject(REFCLSID clsid, REFIID iid, LPVOID* object) {
  if (object == nullptr)
    return E_POINTER;
  *object = nullptr;
  try {
    for (const ClassEntry& entry : kClasses) {
      if (!IsEqualCLSID(clsid, *entry.clsid))
        continue;
      tp::host::win32::ComPtr<tp::addin::ClassFactory> factory =
          tp::addin::ClassFactory::Create(entry.create);
      if (!factory)
        return E_OUTOFMEMORY;
      return factory->QueryInterface(iid, object);
    }
    return CLASS_E_CLASSNOTAVAILABLE;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

STDAPI DllCanUnloadNow() {
  return tp::host::win32::ModuleLockCount() == 0 ? S_OK : S_FALSE;
}
