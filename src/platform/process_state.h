// Process-wide state of the add-in: the connected object and the shutdown and scan signals.
#pragma once

#include <memory>

#include "host/threads.h"

namespace tp {

class CConnect;

// The connected add-in object: set by OnConnection, cleared by OnQuit. Timer actions run
// only while it is set.
extern CConnect* g_pConnect;
// Manual-reset: signalled at quit; the scan timer and the scanning loops stop on it.
extern std::shared_ptr<host::Event> g_hStopEvent;
// Auto-reset: asks the scan timer for an immediate folder scan.
extern std::shared_ptr<host::Event> g_hScanEvent;

// Zero-timeout test of the stop signal (false before the events exist).
bool IsStopSignaled();

}  // namespace tp
