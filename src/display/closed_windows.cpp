// Releasing the browsers the display has let go of.
#include "display/closed_windows.h"

#include "host/clock.h"
#include "host/host.h"

namespace tp {
namespace {

void Release(ReleasedBrowser& browser) {
  if (browser.helper) {
    (void)browser.helper->SetSite(nullptr);
    browser.helper.reset();
  }
  browser.control.reset();
  if (browser.window != 0 && host::ui().IsWindow(browser.window))
    (void)host::ui().DestroyWindow(browser.window);
}

}  // namespace

void ClosedBrowserWindows::Add(ReleasedBrowser browser, uint32_t tick) {
  m_browsers.push_back(Entry{std::move(browser), tick});
}

template <class Due>
void ClosedBrowserWindows::ReleaseWhere(Due due) {
  if (in_call())
    return;  // the next sweep, or the end of the add-in, comes back for them
  // Taken out of the list first: destroying a window sends messages that may reach us again.
  std::vector<Entry> released;
  for (auto entry = m_browsers.begin(); entry != m_browsers.end();) {
    if (due(*entry)) {
      released.push_back(std::move(*entry));
      entry = m_browsers.erase(entry);
    } else {
      ++entry;
    }
  }
  for (Entry& entry : released)
    Release(entry.browser);
}

void ClosedBrowserWindows::DestroyExpired(uint32_t now) {
  ReleaseWhere(
      [now](const Entry& entry) { return host::TicksSince(now, entry.tick) > kDestroyAfterMs; });
}

void ClosedBrowserWindows::ReleaseAll() {
  ReleaseWhere([](const Entry&) { return true; });
}

}  // namespace tp
