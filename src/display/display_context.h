// What the display shares with the add-in object: Outlook, the timers on the explorer window,
// the lock of the check and display paths, the detached browser windows, the registered
// messages, the screen zoom, the drag setting and the entry id of the mail on display.
#pragma once

#include <cstdint>
#include <string>

#include "base/critical_section.h"
#include "display/closed_windows.h"
#include "platform/addin_timers.h"
#include "platform/outlook_session.h"

namespace tp {

struct DisplayContext {
  OutlookSession& session;
  AddinTimers& timers;  // their owner is the explorer window
  ICriticalSection& lock;
  ClosedBrowserWindows& closedBrowserWindows;
  const uint32_t& msgSendCancel;
  const uint32_t& msgSendActivate;
  const int& zoomDpi;
  const bool& dragFullWindows;
  std::wstring& currentEntryId;
};

}  // namespace tp
