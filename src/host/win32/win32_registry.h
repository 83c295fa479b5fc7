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
  RegView OwnView() const override;
  // The other view through KEY_WOW64_64KEY or KEY_WOW64_32KEY, which 32-bit Windows ignores.
  RegistryKey& ViewRoot(RegRoot root, RegView view) override;

 private:
  std::unique_ptr<RegistryKey> m_roots[2][3];  // by view, then by root
};

}  // namespace tp::host::win32
