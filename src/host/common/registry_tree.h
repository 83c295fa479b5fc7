// An in-memory registry with Win32 semantics (case-insensitive names, access rights, deleted
// keys), shared by the posix adapter, which saves it to a file after each change, and the
// simulated host, which adds a call log and fault injection through the hooks.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>

#include "host/registry.h"

namespace tp::host {

struct RegOperation {
  std::wstring_view name;  // "OpenKey", "CreateKey", "QueryValue", "SetValue", "DeleteValue",
                           // "EnumKey" or "DeleteTree"
  RegRoot root;
  std::wstring_view keyPath;    // the key the operation is on (or opens), from its root
  std::wstring_view valueName;  // for value operations
};

class RegistryTree final : public Registry {
 public:
  struct Hooks {
    // Runs before every operation; a status other than kRegOk fails the operation with it.
    std::function<RegStatus(const RegOperation&)> before;
    // Runs after every successful change, still under the tree's lock.
    std::function<void()> changed;
  };

  explicit RegistryTree(Hooks hooks = {});
  ~RegistryTree() override;

  RegistryKey& Root(RegRoot root) override;
  // One view, as on 32-bit Windows.
  RegView OwnView() const override { return RegView::k64; }
  RegistryKey& ViewRoot(RegRoot root, RegView) override { return Root(root); }

  // A line-based text form of the whole tree, and its reading. Reading a malformed text
  // leaves the tree empty and says why.
  std::string Serialize() const;
  bool Deserialize(std::string_view text, std::string* error);

  struct Node;
  class Key;

 private:
  friend class Key;
  mutable std::recursive_mutex m_mutex;
  Hooks m_hooks;
  std::shared_ptr<Node> m_roots[3];
  std::unique_ptr<Key> m_rootKeys[3];
};

}  // namespace tp::host
