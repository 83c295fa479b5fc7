// Destroying detached browser windows.
#include "display/closed_windows.h"

#include "host/clock.h"
#include "host/host.h"

namespace tp {

void ClosedBrowserWindows::DestroyOlderThan(uint32_t now, uint32_t ageMs) {
  for (auto entry = windows_.begin(); entry != windows_.end();) {
    if (host::TicksSince(now, entry->second) > ageMs || ageMs == 0) {
      host::ui().DestroyWindow(entry->first);
      entry = windows_.erase(entry);
    } else {
      ++entry;
    }
  }
}

}  // namespace tp
