// Registry port on Windows: the real registry under HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER and
// HKEY_CLASSES_ROOT.
#pragma once

#include <memory>

#include "host/registry.h"

namespace tp::host::win32 {

class Win32Registry final : public Registry {
 public:
  Win32Registry();
  ~Win32Registry() override;
  RegistryKey& Root(RegRoot root) override;

 private:
  std::unique_ptr<RegistryKey> roots_[3];
};

}  // namespace tp::host::win32
