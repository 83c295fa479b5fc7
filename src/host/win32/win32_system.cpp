// System settings on Windows.
#include "host/win32/win32_system.h"

#include "host/win32/win32_api.h"

namespace tp::host::win32 {
namespace {

// The screen's device context, released at the end of its scope.
class ScreenDc {
 public:
  ScreenDc() : m_dc(::GetDC(nullptr)) {}
  ~ScreenDc() {
    if (m_dc != nullptr)
      ::ReleaseDC(nullptr, m_dc);
  }
  ScreenDc(const ScreenDc&) = delete;
  ScreenDc& operator=(const ScreenDc&) = delete;
  HDC get() const { return m_dc; }

 private:
  HDC m_dc;
};

}  // namespace

bool Win32System::DragFullWindows() {
  BOOL enabled = FALSE;
  if (!::SystemParametersInfoW(SPI_GETDRAGFULLWINDOWS, 0, &enabled, 0))
    return false;
  return enabled != FALSE;
}

void Win32System::SetDragFullWindows(bool enabled) {
  ::SystemParametersInfoW(SPI_SETDRAGFULLWINDOWS, enabled ? TRUE : FALSE, nullptr, 0);
}

std::optional<int> Win32System::ScreenPixelsPerInchX() {
  ScreenDc screen;
  if (screen.get() == nullptr)
    return std::nullopt;
  return ::GetDeviceCaps(screen.get(), LOGPIXELSX);
}

void Win32System::DisableNavigationSounds() {
  ::CoInternetSetFeatureEnabled(FEATURE_DISABLE_NAVIGATION_SOUNDS, SET_FEATURE_ON_PROCESS, TRUE);
}

}  // namespace tp::host::win32
