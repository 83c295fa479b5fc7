// Type library port on Windows: OLE Automation's RegisterTypeLib and UnRegisterTypeLib, and
// their per-user forms, looked up by name in OLEAUT32 (the machine-wide ones stand in where
// the system has none).
#pragma once

#include "host/type_library.h"

namespace tp::host::win32 {

class Win32TypeLibraries final : public TypeLibraryRegistrar {
 public:
  HResult Register(const std::wstring& modulePath, bool forUser) override;
  HResult Unregister(const std::wstring& modulePath, bool forUser) override;
};

}  // namespace tp::host::win32
