// Resources port on Windows: the resource section and version resource of the module that
// holds the add-in's code (the DLL, or a test program with the same resources compiled in).
#pragma once

#include "host/resources.h"

namespace tp::host::win32 {

class Win32Resources final : public Resources {
 public:
  std::optional<std::string> Load(const std::wstring& type, int id) override;
  std::optional<std::wstring> LoadString(int id) override;
  // The fixed file version read back from the module's file, as other programs see it.
  std::optional<FileVersion> ModuleVersion() override;
};

}  // namespace tp::host::win32
