// Browsers the display has let go of: each window (hidden, out of Outlook's windows) with its
// control and helper object, kept until it is 5 seconds old and then released and destroyed
// from the sweep's timer tick, never inside a call that came from the browser (its events,
// its helper's messages) or went into it: destroying it there would pull the browser out from
// under the code still running in it. At quit they all go at once.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "host/browser.h"

namespace tp {

// A browser let go of: its window, its control and its helper object.
struct ReleasedBrowser {
  host::WindowHandle window = 0;
  std::shared_ptr<host::WebBrowser> control;
  std::unique_ptr<host::BrowserHelper> helper;
};

class ClosedBrowserWindows {
 public:
  static constexpr uint32_t kDestroyAfterMs = 5000;

  // Marks a call from or into a hosted browser for its scope: nothing is released meanwhile.
  class InCall {
   public:
    explicit InCall(ClosedBrowserWindows& closed) : m_closed(closed) { ++m_closed.m_callDepth; }
    ~InCall() { --m_closed.m_callDepth; }
    InCall(const InCall&) = delete;
    InCall& operator=(const InCall&) = delete;

   private:
    ClosedBrowserWindows& m_closed;
  };

  ClosedBrowserWindows() = default;
  ~ClosedBrowserWindows() { ReleaseAll(); }
  ClosedBrowserWindows(const ClosedBrowserWindows&) = delete;
  ClosedBrowserWindows& operator=(const ClosedBrowserWindows&) = delete;

  void Add(ReleasedBrowser browser, uint32_t tick);
  // Releases every browser let go of more than kDestroyAfterMs before `now` (the sweep).
  void DestroyExpired(uint32_t now);
  // Releases them all, whatever their age (at quit).
  void ReleaseAll();
  // True while a call from or into a hosted browser runs.
  bool in_call() const { return m_callDepth > 0; }
  size_t size() const { return m_browsers.size(); }

 private:
  struct Entry {
    ReleasedBrowser browser;
    uint32_t tick;
  };
  // Releases the entries for which `due` holds, unless a browser call runs.
  template <class Due>
  void ReleaseWhere(Due due);

  std::vector<Entry> m_browsers;
  int m_callDepth = 0;
};

}  // namespace tp
