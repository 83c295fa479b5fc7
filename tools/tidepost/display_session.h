// What the user does in the simulated Outlook once the mail is in, and what the display does
// for each step: the message selected in the reading pane or opened in an inspector, shown
// with its active content (the page and the message information the helper object received)
// or in Outlook's own view, zoom changes, the offline notice and detached browser windows.
#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "simulation.h"

namespace tp::tool {

class DisplaySession {
 public:
  // pagesDir: where each page handed to a helper object is saved, when given.
  DisplaySession(Simulation& run, std::optional<std::filesystem::path> pagesDir);

  // Selects a message alone, switching the explorer to its folder first.
  void Select(const Simulation::Message& message);
  // Runs one step of the mailbox's session; false with the reason when it cannot.
  bool Run(const host::sim::SessionStep& step, std::wstring* error);

  // One line per step: its name and what the display did.
  const std::vector<std::string>& lines() const { return m_lines; }
  int pages_saved() const { return m_pagesSaved; }

 private:
  struct Inspector {
    std::shared_ptr<host::sim::SimInspectorState> state;
    host::sim::SimMessageWindows windows;
  };
  // Shows the folder in the explorer (when it is not shown) and selects the message in it, or
  // the folder's first one.
  void SwitchTo(const std::shared_ptr<host::sim::SimFolder>& folder,
                const std::shared_ptr<host::sim::SimMail>& mail);
  void Open(const std::wstring& name);
  void Close(const std::wstring& name);
  void Zoom(bool in);
  void Helper(bool activate);
  // The visible browser window: the last open inspector's, else the reading pane's; 0 when
  // Outlook's own view is shown.
  host::WindowHandle BrowserInView();
  // Lets the display's timers and navigations run, then records what it did.
  void Record(const std::string& step, const std::string& view, host::WindowHandle body);
  std::string ViewOf(host::WindowHandle browserWindow);

  Simulation& m_run;
  std::optional<std::filesystem::path> m_pagesDir;
  std::map<std::wstring, Inspector> m_inspectors;
  std::vector<std::wstring> m_openOrder;
  std::vector<std::string> m_lines;
  // What was seen so far.
  std::map<const host::sim::SimHelperObject*, size_t> m_pagesSeen;
  std::map<const host::sim::SimBrowserControl*, size_t> m_zoomsSeen;
  size_t m_noticesSeen = 0;
  std::set<host::WindowHandle> m_detachedSeen;
  int m_pagesSaved = 0;
};

}  // namespace tp::tool
