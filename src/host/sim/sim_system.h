// Simulated system settings and resources.
#pragma once

#include <map>
#include <optional>
#include <string>

#include "host/common/embedded_resources_port.h"
#include "host/system.h"

namespace tp::host::sim {

class SimSystem final : public System {
 public:
  bool DragFullWindows() override { return dragFullWindows; }
  void SetDragFullWindows(bool enabled) override {
    dragFullWindows = enabled;
    ++dragFullWindowsWrites;
  }
  std::optional<int> ScreenPixelsPerInchX() override { return screenPixelsPerInch; }
  void DisableNavigationSounds() override { ++navigationSoundsDisabled; }

  bool dragFullWindows = true;
  int dragFullWindowsWrites = 0;
  std::optional<int> screenPixelsPerInch = 96;
  int navigationSoundsDisabled = 0;
};

// The compiled-in resources, with single resources that a test can hide or replace.
class SimResources final : public Resources {
 public:
  std::optional<std::string> Load(const std::wstring& type, int id) override;
  std::optional<std::wstring> LoadString(int id) override { return m_embedded.LoadString(id); }
  std::optional<FileVersion> ModuleVersion() override { return moduleVersion; }

  // An entry with no value hides the resource.
  std::map<std::pair<std::wstring, int>, std::optional<std::string>> overrides;
  std::optional<FileVersion> moduleVersion = FileVersion{1, 13, 1, 0};

 private:
  EmbeddedResourcesPort m_embedded;
};

}  // namespace tp::host::sim
