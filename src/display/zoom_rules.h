// The zoom of a hosted browser on Ctrl with the keypad's plus and minus keys or the mouse
// wheel: steps of 5 percent between 25 and 500 percent that skip 100 to 102 (the browser
// shows 100 percent blurred there).
#pragma once

#include <optional>

namespace tp {

constexpr int kZoomStep = 5;
constexpr int kZoomMinimum = 25;
constexpr int kZoomMaximum = 500;

// The zoom after Ctrl with keypad plus (up) or minus; empty at a limit (the key does nothing).
std::optional<int> KeyboardZoom(int zoom, bool up);
// The zoom after one notch of the wheel with Ctrl held (away from the user: up); at a limit
// it stays where it is.
int WheelZoom(int zoom, bool up);

}  // namespace tp
