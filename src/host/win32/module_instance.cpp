// Finding the module that holds this code.
#include "host/win32/module_instance.h"

#include <atomic>

namespace tp::host::win32 {
namespace {

std::atomic<HMODULE> g_module{nullptr};

HMODULE ModuleOfThisCode() {
  HMODULE module = nullptr;
  const DWORD flags =
      GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
  if (!::GetModuleHandleExW(flags, reinterpret_cast<LPCWSTR>(&ModuleOfThisCode), &module)) {
    return nullptr;
  }
  return module;
}

}  // namespace

HMODULE ModuleInstance() {
  HMODULE module = g_module.load();
  if (module == nullptr) {
    module = ModuleOfThisCode();
    g_module.store(module);
  }
  return module;
}

void RememberModuleInstance(HMODULE module) {
  g_module.store(module);
}

}  // namespace tp::host::win32
