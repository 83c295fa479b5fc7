// System settings port: the few machine-wide settings and process features the add-in uses.
#pragma once

#include <optional>

namespace tp::host {

class System {
 public:
  virtual ~System() = default;
  // SPI_GETDRAGFULLWINDOWS / SPI_SETDRAGFULLWINDOWS.
  virtual bool DragFullWindows() = 0;
  virtual void SetDragFullWindows(bool enabled) = 0;
  // LOGPIXELSX of the screen device context; empty when there is no screen.
  virtual std::optional<int> ScreenPixelsPerInchX() = 0;
  // CoInternetSetFeatureEnabled(FEATURE_DISABLE_NAVIGATION_SOUNDS, SET_FEATURE_ON_PROCESS).
  virtual void DisableNavigationSounds() = 0;
};

}  // namespace tp::host
