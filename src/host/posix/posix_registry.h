// Registry port on posix: the in-memory tree, loaded from and saved to one file in the
// data folder. Every change rewrites the file through a temporary file and a rename, so a
// crash leaves either the old or the new registry, never half of one.
#pragma once

#include <string>

#include "host/common/registry_tree.h"

namespace tp::host::posix {

class PosixRegistry final : public Registry {
 public:
  // A file that cannot be read as a registry is set aside (renamed with ".bad") and the
  // registry starts empty; *problem says why.
  PosixRegistry(std::string path, std::string* problem);
  RegistryKey& Root(RegRoot root) override { return m_tree.Root(root); }
  RegView OwnView() const override { return m_tree.OwnView(); }
  RegistryKey& ViewRoot(RegRoot root, RegView view) override { return m_tree.ViewRoot(root, view); }

 private:
  void Save();

  std::string m_path;
  RegistryTree m_tree;
};

}  // namespace tp::host::posix
