// Process-wide state of the add-in.
#include "platform/process_state.h"

namespace tp {

CConnect* g_pConnect = nullptr;
std::shared_ptr<host::Event> g_hStopEvent;
std::shared_ptr<host::Event> g_hScanEvent;

bool IsStopSignaled() {
  return g_hStopEvent && g_hStopEvent->Wait(0) == host::WaitResult::kSignaled;
}

}  // namespace tp
