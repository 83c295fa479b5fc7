// The program's one timer callback.
#include "addin/timer_proc.h"

#include "addin/connect.h"
#include "host/host.h"
#include "platform/process_state.h"

namespace tp {

void TimerProc(host::WindowHandle window, uint32_t message, host::TimerId id, uint32_t time) {
  host::ui().KillTimer(window, id);
  if (g_pConnect != nullptr) {
    g_pConnect->OnTimer(window, message, id, time);
  }
}

}  // namespace tp
