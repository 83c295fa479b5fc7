// Zoom steps.
#include "display/zoom_rules.h"

#include <algorithm>

namespace tp {
namespace {

// A zoom that did not start on a step (the screen's own zoom, 114 percent at 110 pixels per
// inch) must not step past the limits either.
int WithinLimits(int zoom) {
  return std::clamp(zoom, kZoomMinimum, kZoomMaximum);
}

}  // namespace

std::optional<int> KeyboardZoom(int zoom, bool up) {
  if (up) {
    if (zoom >= kZoomMaximum)
      return std::nullopt;
    int next = zoom + kZoomStep;
    if (next >= 100 && next <= 102)
      next = 103;
    return WithinLimits(next);
  }
  if (zoom <= kZoomMinimum)
    return std::nullopt;
  int next = zoom - kZoomStep;
  if (next >= 100 && next <= 102)
    next = 99;
  return WithinLimits(next);
}

int WheelZoom(int zoom, bool up) {
  if (up) {
    if (zoom >= kZoomMaximum)
      return zoom;
    int next = zoom + kZoomStep;
    if (next == 101 || next == 102)
      next = 103;
    return WithinLimits(next);
  }
  if (zoom <= kZoomMinimum)
    return zoom;
  int next = zoom - kZoomStep;
  if (next == 101 || next == 102)
    next = 99;
  return WithinLimits(next);
}

}  // namespace tp
