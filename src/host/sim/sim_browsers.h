// Simulated browsers: browser windows in the simulated window tree holding a WebBrowser
// control that records its navigations, zoom changes and refreshes and completes each
// navigation later on the user-interface thread (NavigateComplete2); and browser helper
// objects that record their calls and send the two registered messages, as the maker's does,
// to the window that has the keyboard focus.
#pragma once

#include <array>
#include <functional>
#include <memory>
#include <set>
#include <string>
#include <vector>

#include "host/browser.h"
#include "host/input.h"
#include "host/sim/sim_ui_thread.h"
#include "host/sim/sim_windows.h"

namespace tp::host::sim {

inline constexpr wchar_t kSimBrowserHostClass[] = L"TidepostBrowserHost";

// One WebBrowser control.
struct SimBrowserControl {
  WindowHandle window = 0;
  WindowHandle focusWindow = 0;           // "Internet Explorer_Server", three levels down
  std::vector<std::wstring> navigations;  // every Navigate, in order
  std::vector<int> zooms;                 // every optical zoom applied
  int refreshes = 0;
  std::wstring location;  // the address of the last completed navigation
  BrowserEvents* events = nullptr;
  int advises = 0;
  int unadvises = 0;
  int uiHandlerInstalls = 0;
  // The keys the control's in-place object translates (answers S_OK for).
  std::set<uint32_t> translatedKeys;
  std::vector<WindowMessage> acceleratorsOffered;
  bool hasInPlaceObject = true;
};

// One browser helper object.
struct SimHelperObject {
  std::vector<std::wstring> calls;  // "SetHostWindow 10010", "SetPageContent", ...
  WindowHandle hostWindow = 0;
  std::wstring page;
  std::array<std::wstring, 5> messageInfo;  // sender, subject, entry id, account, provider
  WindowHandle siteWindow = 0;              // the window of the browser it is attached to
  WindowHandle browserWindow = 0;           // the last browser it was attached to
  bool released = false;
  HResult callFailure = hr::kOk;  // answered by every call when set
  // Run inside each of its calls, given the call's name ("SetPageContent"), as the maker's
  // helper may send its messages or run a message loop from inside a call.
  std::function<void(const std::wstring& call)> duringCall;
};

class SimBrowsers final : public Browsers {
 public:
  SimBrowsers(SimWindowTree& windows, SimUiThread& ui) : m_windows(windows), m_ui(ui) {}

  bool RegisterHostClass() override {
    ++classRegistrations;
    return true;
  }
  WindowHandle CreateBrowserWindow(WindowHandle parent, const Rect& rect) override;
  std::shared_ptr<WebBrowser> BrowserOf(WindowHandle window) override;
  HResult CreateBrowserHelper(std::unique_ptr<BrowserHelper>* helper) override;

  // The helper object of the browser that has the focus asks Outlook to show its active
  // content again, or to go back to Outlook's view: the registered message sent to the
  // window that has the focus, as a call from that browser.
  void SendActivate();
  void SendCancel();

  // The control of a browser window, null when there is none.
  std::shared_ptr<SimBrowserControl> ControlOf(WindowHandle window) const;

  std::vector<std::shared_ptr<SimBrowserControl>> controls;  // every one made
  std::vector<std::shared_ptr<SimHelperObject>> helpers;     // every one made
  int classRegistrations = 0;
  uint32_t navigationMs = 20;  // how long a navigation takes to complete

  // --- Faults --------------------------------------------------------------------------
  bool failWindowCreation = false;
  bool windowWithoutControl = false;  // the host window comes up without a control
  HResult helperCreationFailure = hr::kOk;
  HResult helperCallFailure = hr::kOk;  // for helpers made from now on
  // What helpers made from now on do inside each of their calls (SimHelperObject::duringCall).
  std::function<void(const std::wstring& call)> helperDuringCall;

  // Completes a navigation of a control (run later by the UI thread).
  void CompleteNavigation(const std::shared_ptr<SimBrowserControl>& control,
                          const std::wstring& url);

  SimWindowTree& windows() { return m_windows; }

 private:
  void SendToFocus(const wchar_t* messageName);
  // The browser host window at or above `window`; 0 when there is none.
  WindowHandle BrowserWindowAbove(WindowHandle window);

  SimWindowTree& m_windows;
  SimUiThread& m_ui;
};

}  // namespace tp::host::sim
