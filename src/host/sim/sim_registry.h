// The simulated registry: an in-memory tree whose operations a test can read back and make
// fail (an access-denied HKEY_LOCAL_MACHINE, a failing write), with the two views of 64-bit
// Windows: the tree is the 64-bit view, and the 32-bit view reaches the keys that WOW64
// redirects at their "Wow6432Node" places in it.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "host/common/registry_tree.h"

namespace tp::host::sim {

class SimRegistry final : public Registry {
 public:
  SimRegistry();
  ~SimRegistry() override;
  RegistryKey& Root(RegRoot root) override { return ViewRoot(root, m_ownView); }
  RegView OwnView() const override { return m_ownView; }
  RegistryKey& ViewRoot(RegRoot root, RegView view) override;
  // The view of the program under test: 64-bit unless a test plays a 32-bit one.
  void SetOwnView(RegView view) { m_ownView = view; }

  // "SetValue HKCU\Software\Tidepost\Addon AP_accessed_outlook", one line per operation.
  std::vector<std::wstring> Calls() const;
  void ClearCalls();
  // Decides the status of each operation (kRegOk lets it run).
  void SetFault(std::function<RegStatus(const RegOperation&)> fault);

  RegistryTree& tree() { return m_tree; }

 private:
  RegStatus Before(const RegOperation& operation);

  mutable std::mutex m_mutex;
  std::vector<std::wstring> m_calls;
  std::function<RegStatus(const RegOperation&)> m_fault;
  RegistryTree m_tree;
  RegView m_ownView = RegView::k64;
  std::unique_ptr<RegistryKey> m_view32Roots[3];
};

}  // namespace tp::host::sim
