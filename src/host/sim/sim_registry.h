// The simulated registry: an in-memory tree whose operations a test can read back and make
// fail (an access-denied HKEY_LOCAL_MACHINE, a failing write).
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "host/common/registry_tree.h"

namespace tp::host::sim {

class SimRegistry final : public Registry {
 public:
  SimRegistry();
  RegistryKey& Root(RegRoot root) override { return tree_.Root(root); }

  // "SetValue HKCU\Software\Tidepost\Addon AP_accessed_outlook", one line per operation.
  std::vector<std::wstring> Calls() const;
  void ClearCalls();
  // Decides the status of each operation (kRegOk lets it run).
  void SetFault(std::function<RegStatus(const RegOperation&)> fault);

  RegistryTree& tree() { return tree_; }

 private:
  RegStatus Before(const RegOperation& operation);

  mutable std::mutex mutex_;
  std::vector<std::wstring> calls_;
  std::function<RegStatus(const RegOperation&)> fault_;
  RegistryTree tree_;
};

}  // namespace tp::host::sim
