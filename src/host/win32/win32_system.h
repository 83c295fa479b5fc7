// System settings port on Windows: the drag-full-windows setting, the screen's horizontal
// pixel density and Internet Explorer's navigation sounds.
#pragma once

#include "host/system.h"

namespace tp::host::win32 {

class Win32System final : public System {
 public:
  bool DragFullWindows() override;
  void SetDragFullWindows(bool enabled) override;
  std::optional<int> ScreenPixelsPerInchX() override;
  void DisableNavigationSounds() override;
};

}  // namespace tp::host::win32
