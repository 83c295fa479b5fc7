// Module resources port: the add-in's own resources (HTML head templates, strings, version).
#pragma once

#include <optional>
#include <string>

namespace tp::host {

struct FileVersion {
  unsigned major = 0;
  unsigned minor = 0;
  unsigned build = 0;
  unsigned revision = 0;
};

class Resources {
 public:
  virtual ~Resources() = default;
  // The bytes of a custom resource (type name, integer id); empty when missing.
  virtual std::optional<std::string> Load(const std::wstring& type, int id) = 0;
  // A string-table entry; empty when missing.
  virtual std::optional<std::wstring> LoadString(int id) = 0;
  // The fixed file version of the add-in module; empty without a version resource.
  virtual std::optional<FileVersion> ModuleVersion() = 0;
};

}  // namespace tp::host
