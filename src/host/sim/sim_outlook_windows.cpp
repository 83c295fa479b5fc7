// Outlook's window trees in the simulation.
#include "host/sim/sim_outlook_windows.h"

namespace tp::host::sim {
namespace {

// From the top window down to the body, every window filling its parent but for the message
// header above the body host.
SimMessageWindows BuildMessageWindows(SimWindowTree& windows, WindowHandle top, const Rect& area,
                                      SimInspectorBody body) {
  SimMessageWindows made;
  made.top = top;
  const Rect whole = windows.ClientRect(top).value_or(Rect{});
  const Rect fill{0, 0, area.width(), area.height()};
  const WindowHandle frame = windows.Create(L"rctrl_renwnd32", top, whole);
  const WindowHandle inner = windows.Create(L"rctrl_renwnd32", frame, whole);
  const WindowHandle pane = windows.Create(L"AfxWndW", inner, area);
  const WindowHandle paneInner = windows.Create(L"AfxWndW", pane, fill);
  if (body == SimInspectorBody::kNoDialog)
    return made;
  made.dialog = windows.Create(L"#32770", paneInner, fill);
  constexpr int kHeaderHeight = 90;
  made.bodyHost =
      windows.Create(L"AfxWndA", made.dialog, Rect{0, kHeaderHeight, area.width(), area.height()});
  made.body = windows.Create(body == SimInspectorBody::kWord ? L"_WwB" : L"AfxWndW", made.bodyHost,
                             Rect{0, 0, area.width(), area.height() - kHeaderHeight});
  return made;
}

}  // namespace

SimMessageWindows BuildReadingPane(SimWindowTree& windows, WindowHandle explorer) {
  // The reading pane takes the right part of the explorer.
  return BuildMessageWindows(windows, explorer, Rect{560, 60, 1260, 780}, SimInspectorBody::kWord);
}

SimMessageWindows BuildInspectorWindow(SimWindowTree& windows, SimInspectorBody body) {
  const WindowHandle inspector = windows.Create(L"rctrl_renwnd32", 0, Rect{120, 80, 920, 700});
  return BuildMessageWindows(windows, inspector, Rect{0, 40, 800, 620}, body);
}

}  // namespace tp::host::sim
