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

std::optional<std::wstring> ModuleFileName(HMODULE module) {
  std::wstring path(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length = ::GetModuleFileNameW(module, path.data(), static_cast<DWORD>(path.size()));
    if (length == 0)
      return std::nullopt;
    if (length < path.size()) {
      path.resize(length);
      return path;
    }
    path.resize(path.size() * 2);  // truncated: try a larger buffer
  }
}

}  // namespace tp::host::win32
