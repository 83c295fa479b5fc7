// Resources port over the compiled-in resource data.
#include "host/common/embedded_resources_port.h"

#include "base/text.h"
#include "host/common/embedded_resources.h"

namespace tp::host {

std::optional<std::string> EmbeddedResourcesPort::Load(const std::wstring& type, int id) {
  for (const EmbeddedResource& resource : EmbeddedResources()) {
    if (resource.id == id && EqualsIgnoreAsciiCase(resource.type, type)) {
      return std::string(reinterpret_cast<const char*>(resource.data), resource.size);
    }
  }
  return std::nullopt;
}

std::optional<std::wstring> EmbeddedResourcesPort::LoadString(int id) {
  for (const EmbeddedResource& entry : EmbeddedStrings()) {
    if (entry.id == id) {
      return Utf8ToWide(std::string_view(reinterpret_cast<const char*>(entry.data), entry.size));
    }
  }
  return std::nullopt;
}

std::optional<FileVersion> EmbeddedResourcesPort::ModuleVersion() {
  return EmbeddedModuleVersion();
}

}  // namespace tp::host
