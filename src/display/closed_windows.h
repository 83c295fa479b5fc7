// Browser windows detached from the reading pane, kept until they are 5 seconds old and
// then destroyed (destroying them at once would crash the browser still unwinding in them).
#pragma once

#include <cstdint>
#include <map>

#include "host/ui.h"

namespace tp {

class ClosedBrowserWindows {
 public:
  static constexpr uint32_t kDestroyAfterMs = 5000;

  void Add(host::WindowHandle window, uint32_t tick) { windows_[window] = tick; }
  // Destroys every window detached more than kDestroyAfterMs before `now`.
  void DestroyExpired(uint32_t now) { DestroyOlderThan(now, kDestroyAfterMs); }
  // Destroys every window detached more than `ageMs` before `now`.
  void DestroyOlderThan(uint32_t now, uint32_t ageMs);
  size_t size() const { return windows_.size(); }

 private:
  std::map<host::WindowHandle, uint32_t> windows_;
};

}  // namespace tp
