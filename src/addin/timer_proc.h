// The program's one timer callback: every window timer the add-in arms expires here.
#pragma once

#include <cstdint>

#include "host/ui.h"

namespace tp {

// Kills the timer (every timer is one-shot and re-armed explicitly), then hands it to the
// connected add-in object's OnTimer; does nothing more while none is connected.
void TimerProc(host::WindowHandle window, uint32_t message, host::TimerId id, uint32_t time);

}  // namespace tp
