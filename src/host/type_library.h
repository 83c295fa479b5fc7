// Type library port: registering the type library embedded in the add-in module (resource
// TYPELIB 1) for every user of the machine or for the current user only, and removing it.
#pragma once

#include <string>

#include "base/hresult.h"

namespace tp::host {

class TypeLibraryRegistrar {
 public:
  virtual ~TypeLibraryRegistrar() = default;
  // Registers the library of the module at `modulePath`.
  virtual HResult Register(const std::wstring& modulePath, bool forUser) = 0;
  // Removes its registration; S_OK when it was not registered.
  virtual HResult Unregister(const std::wstring& modulePath, bool forUser) = 0;
};

}  // namespace tp::host
