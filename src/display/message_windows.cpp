// Window discovery.
#include "display/message_windows.h"

#include "host/host.h"
#include "host/windows.h"

namespace tp {
namespace {

// The child of the class under `parent`, then the same class under that one: the deeper
// window found, or 0 when there is not even the first.
host::WindowHandle FindNested(host::WindowHandle parent, const wchar_t* className) {
  const host::WindowHandle first = host::windows().FindChild(parent, className);
  if (first == 0)
    return 0;
  const host::WindowHandle second = host::windows().FindChild(first, className);
  return second != 0 ? second : first;
}

// Under the dialog: the body host and the body window.
MessageWindows BodyUnder(host::WindowHandle dialog) {
  MessageWindows found;
  found.dialog = dialog;
  if (dialog == 0)
    return found;
  found.bodyHost = host::windows().FindChild(dialog, kBodyHostClass);
  if (found.bodyHost == 0)
    return found;
  found.body = host::windows().FindChild(found.bodyHost, kWordBodyClass);
  if (found.body == 0)
    found.body = host::windows().FindChild(found.bodyHost, kPaneClass);
  return found;
}

}  // namespace

MessageWindows FindReadingPaneWindows(host::WindowHandle explorer) {
  if (explorer == 0)
    return {};
  const host::WindowHandle frame = FindNested(explorer, kOutlookFrameClass);
  if (frame == 0)
    return {};
  const host::WindowHandle pane = FindNested(frame, kPaneClass);
  if (pane == 0)
    return {};
  return BodyUnder(host::windows().FindChild(pane, kDialogClass));
}

MessageWindows FindInspectorWindows(host::WindowHandle inspector) {
  if (inspector == 0)
    return {};
  host::WindowHandle start = FindNested(inspector, kOutlookFrameClass);
  if (start == 0)
    start = inspector;
  host::WindowHandle pane = FindNested(start, kPaneClass);
  if (pane == 0)
    pane = start;
  return BodyUnder(host::windows().FindChild(pane, kDialogClass));
}

}  // namespace tp
