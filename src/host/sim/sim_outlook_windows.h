// Outlook's own windows in the simulated window tree, with the class names Outlook gives
// them: the explorer's reading pane, and inspectors whose message body is Word's ("_WwB")
// or Outlook's own ("AfxWndW").
#pragma once

#include "host/sim/sim_windows.h"

namespace tp::host::sim {

struct SimMessageWindows {
  WindowHandle top = 0;       // the explorer or inspector window
  WindowHandle dialog = 0;    // "#32770"
  WindowHandle bodyHost = 0;  // "AfxWndA"
  WindowHandle body = 0;      // "_WwB" or "AfxWndW"
};

enum class SimInspectorBody {
  kWord,      // the body window is "_WwB"
  kOutlook,   // no "_WwB": the body window is "AfxWndW"
  kNoDialog,  // the tree holds no "#32770" at all
};

// Builds the reading pane under an explorer window:
// rctrl_renwnd32 > rctrl_renwnd32 > AfxWndW > AfxWndW > #32770 > AfxWndA > _WwB.
SimMessageWindows BuildReadingPane(SimWindowTree& windows, WindowHandle explorer);

// A new top-level inspector window with its message windows under it, the same way down.
SimMessageWindows BuildInspectorWindow(SimWindowTree& windows, SimInspectorBody body);

}  // namespace tp::host::sim
