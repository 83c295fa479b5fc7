// The add-in on a simulated Outlook whose explorer has a reading pane, with messages that
// carry active content or not, inspectors to open, and the display's state at hand.
#pragma once

#include <memory>
#include <string>

#include "addin/add_in_fixture.h"
#include "display/active_content_display.h"
#include "host/sim/sim_outlook_windows.h"

namespace tp::testing {

// An active-content marker with message placement.
inline constexpr wchar_t kActiveBody[] =
    L"Your statement [APPointer: res=https://content.example/s/1; pos=message :APPointer]";

class DisplayTest : public AddinTest {
 protected:
  DisplayTest();

  // Connects the add-in with its own display.
  void Start();
  ActiveContentDisplay& display() { return static_cast<ActiveContentDisplay&>(connect->display()); }
  ReadingPane& pane() { return display().reading_pane(); }

  // A received message in the Inbox, with active content or without.
  std::shared_ptr<host::sim::SimMail> AddMessage(const std::wstring& entryId, bool active);
  // Selects the message alone in the explorer.
  void Select(const std::shared_ptr<host::sim::SimMail>& mail);
  // Selects it and lets the reading pane's browser be made (or reused) and shown.
  void ShowInPane(const std::shared_ptr<host::sim::SimMail>& mail);

  struct Opened {
    std::shared_ptr<host::sim::SimInspectorState> state;
    host::sim::SimMessageWindows windows;
  };
  // Opens an inspector on the message: its window tree, the active inspector, NewInspector.
  Opened OpenInspector(const std::shared_ptr<host::sim::SimMail>& mail,
                       host::sim::SimInspectorBody body = host::sim::SimInspectorBody::kWord);
  CBriskletItem* ItemOf(const Opened& opened) {
    return display().ItemOf(reinterpret_cast<uintptr_t>(opened.state.get()));
  }

  // The control of a browser window; null when there is none.
  host::sim::SimBrowserControl* ControlOf(host::WindowHandle window);
  host::sim::SimBrowserControl* PaneControl() { return ControlOf(pane().browser().window()); }
  bool Visible(host::WindowHandle window) { return sim().windows.IsVisible(window); }
  // The helper object made last (the connection's own is the first).
  host::sim::SimHelperObject& LastHelper() { return *sim().browsers.helpers.back(); }

  host::sim::SimMessageWindows readingPane;
};

}  // namespace tp::testing
