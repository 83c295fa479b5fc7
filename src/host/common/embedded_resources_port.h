// Resources port over the compiled-in resource data.
#pragma once

#include "host/resources.h"

namespace tp::host {

class EmbeddedResourcesPort final : public Resources {
 public:
  std::optional<std::string> Load(const std::wstring& type, int id) override;
  std::optional<std::wstring> LoadString(int id) override;
  std::optional<FileVersion> ModuleVersion() override;
};

}  // namespace tp::host
