// The offline check before a message is shown: whether the machine is online, asked on the
// first of every four messages and for every message with active content, from the last known
// state (the forced probe runs apart, connectivity_probe.h). Offline, active content gives way
// to Outlook's own view, with one notice until the machine is seen online again.
#pragma once

#include <cstdint>

#include "display/connectivity_probe.h"
#include "host/ui.h"

namespace tp {

class OfflineCheck {
 public:
  // Runs before each message is shown; clears *activeWanted when the message must be shown
  // statically. The notice is owned by `owner`.
  void Check(bool* activeWanted, host::WindowHandle owner);

  uint32_t show_count() const { return m_showCount; }
  bool offline_notified() const { return m_offlineNotified; }
  const ConnectivityProbe& probe() const { return m_probe; }

 private:
  uint32_t m_showCount = 0;
  bool m_offlineNotified = false;
  ConnectivityProbe m_probe;
};

}  // namespace tp
