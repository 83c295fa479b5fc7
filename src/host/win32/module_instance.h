// The module that holds this code: the add-in DLL, or the program the adapters are linked
// into (a test). Its resources are the add-in's resources.
#pragma once

#include <optional>
#include <string>

#include "host/win32/win32_api.h"

namespace tp::host::win32 {

HMODULE ModuleInstance();
// DllMain passes the instance it is given, which saves the lookup.
void RememberModuleInstance(HMODULE module);

// The full path of a module's file, however long; empty when it cannot be read.
std::optional<std::wstring> ModuleFileName(HMODULE module);

}  // namespace tp::host::win32
