// The simulated registry.
#include "host/sim/sim_registry.h"

#include "host/registry_views.h"

namespace tp::host::sim {
namespace {

std::wstring JoinPath(const std::wstring& base, const std::wstring& sub) {
  if (base.empty() || sub.empty())
    return base.empty() ? sub : base;
  return base + L"\\" + sub;
}

// A key as a 32-bit program sees it: each operation goes to the key that its path reaches in
// the 32-bit view, in the tree that holds both views. Enumeration lists the subkeys of that
// one key (a redirected key's shared subkeys are not merged in).
class View32Key final : public RegistryKey {
 public:
  View32Key(Registry& tree, RegRoot root, std::wstring path, RegAccess access)
      : m_tree(tree), m_root(root), m_path(std::move(path)), m_access(access) {}

  RegStatus OpenSubKey(const std::wstring& path, RegAccess access,
                       std::unique_ptr<RegistryKey>* key) override {
    const std::wstring logical = JoinPath(m_path, path);
    std::unique_ptr<RegistryKey> physical;
    const RegStatus status = Tree().OpenSubKey(Physical(logical), access, &physical);
    if (status == kRegOk)
      *key = std::make_unique<View32Key>(m_tree, m_root, logical, access);
    return status;
  }
  RegStatus CreateSubKey(const std::wstring& path, RegAccess access,
                         std::unique_ptr<RegistryKey>* key) override {
    const std::wstring logical = JoinPath(m_path, path);
    std::unique_ptr<RegistryKey> physical;
    const RegStatus status = Tree().CreateSubKey(Physical(logical), access, &physical);
    if (status == kRegOk)
      *key = std::make_unique<View32Key>(m_tree, m_root, logical, access);
    return status;
  }
  RegStatus QueryValue(const std::wstring& name, RegValue* value) override {
    std::unique_ptr<RegistryKey> key;
    const RegStatus status = Open(&key);
    return status == kRegOk ? key->QueryValue(name, value) : status;
  }
  RegStatus SetValue(const std::wstring& name, const RegValue& value) override {
    std::unique_ptr<RegistryKey> key;
    const RegStatus status = Open(&key);
    return status == kRegOk ? key->SetValue(name, value) : status;
  }
  RegStatus DeleteValue(const std::wstring& name) override {
    std::unique_ptr<RegistryKey> key;
    const RegStatus status = Open(&key);
    return status == kRegOk ? key->DeleteValue(name) : status;
  }
  RegStatus EnumSubKey(uint32_t index, std::wstring* name) override {
    if (m_path.empty())
      return Tree().EnumSubKey(index, name);
    std::unique_ptr<RegistryKey> key;
    const RegStatus status = Open(&key);
    return status == kRegOk ? key->EnumSubKey(index, name) : status;
  }
  RegStatus DeleteTree(const std::wstring& path) override {
    return Tree().DeleteTree(Physical(JoinPath(m_path, path)));
  }

 private:
  std::wstring Physical(const std::wstring& logical) const {
    return PathInWow64View(m_root, logical);
  }
  // This key in the tree (the root has no values of its own to reach).
  RegStatus Open(std::unique_ptr<RegistryKey>* key) {
    if (m_path.empty())
      return kRegNotFound;
    return Tree().OpenSubKey(Physical(m_path), m_access, key);
  }

  // The tree's root key, looked up each time: reading a tree's text form replaces it.
  RegistryKey& Tree() { return m_tree.Root(m_root); }

  Registry& m_tree;
  RegRoot m_root;
  std::wstring m_path;
  RegAccess m_access;
};
const wchar_t* RootName(RegRoot root) {
  switch (root) {
    case RegRoot::kLocalMachine:
      return L"HKLM";
    case RegRoot::kCurrentUser:
      return L"HKCU";
    case RegRoot::kClassesRoot:
      return L"HKCR";
  }
  return L"?";
}
}  // namespace

SimRegistry::SimRegistry()
    : m_tree(RegistryTree::Hooks{[this](const RegOperation& op) { return Before(op); }, nullptr}) {
  for (RegRoot root : {RegRoot::kLocalMachine, RegRoot::kCurrentUser, RegRoot::kClassesRoot}) {
    m_view32Roots[static_cast<int>(root)] =
        std::make_unique<View32Key>(m_tree, root, std::wstring(), RegAccess::kReadWrite);
  }
}

SimRegistry::~SimRegistry() = default;

RegistryKey& SimRegistry::ViewRoot(RegRoot root, RegView view) {
  if (view == RegView::k64)
    return m_tree.Root(root);
  return *m_view32Roots[static_cast<int>(root)];
}

RegStatus SimRegistry::Before(const RegOperation& operation) {
  std::lock_guard<std::mutex> lock(m_mutex);
  std::wstring line(operation.name);
  line += L' ';
  line += RootName(operation.root);
  if (!operation.keyPath.empty()) {
    line += L'\\';
    line += operation.keyPath;
  }
  if (!operation.valueName.empty()) {
    line += L' ';
    line += operation.valueName;
  }
  m_calls.push_back(std::move(line));
  return m_fault ? m_fault(operation) : kRegOk;
}

std::vector<std::wstring> SimRegistry::Calls() const {
  std::lock_guard<std::mutex> lock(m_mutex);
  return m_calls;
}

void SimRegistry::ClearCalls() {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_calls.clear();
}

void SimRegistry::SetFault(std::function<RegStatus(const RegOperation&)> fault) {
  std::lock_guard<std::mutex> lock(m_mutex);
  m_fault = std::move(fault);
}

}  // namespace tp::host::sim
