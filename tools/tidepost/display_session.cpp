// The user's steps in the simulated Outlook and what the display did for each.
#include "display_session.h"

#include <cstdio>
#include <fstream>

#include "base/format.h"
#include "base/text.h"
#include "host/sim/eml_reader.h"
#include "host/windows.h"

namespace tp::tool {
namespace {

constexpr uint32_t kStepMs = 1000;  // long enough for every display timer and navigation
constexpr uint32_t kVkControl = 0x11;
constexpr uint32_t kVkAdd = 0x6B;
constexpr uint32_t kVkSubtract = 0x6D;
constexpr int kWheelNotch = 120;

size_t PagesOf(const host::sim::SimHelperObject& helper) {
  size_t pages = 0;
  for (const std::wstring& call : helper.calls)
    pages += call == L"SetPageContent" ? 1 : 0;
  return pages;
}

// A file name part from a step's words.
std::string FileNamePart(const std::string& text) {
  std::string name;
  for (char ch : text) {
    const bool plain = (ch >= 'a' && ch <= 'z') || (ch >= 'A' && ch <= 'Z') ||
                       (ch >= '0' && ch <= '9') || ch == '-' || ch == '.';
    name += plain ? ch : '_';
  }
  return name;
}

}  // namespace

DisplaySession::DisplaySession(Simulation& run, std::optional<std::filesystem::path> pagesDir)
    : m_run(run), m_pagesDir(std::move(pagesDir)) {
  if (m_pagesDir)
    std::filesystem::create_directories(*m_pagesDir);
}

void DisplaySession::SwitchTo(const std::shared_ptr<host::sim::SimFolder>& folder,
                              const std::shared_ptr<host::sim::SimMail>& mail) {
  host::sim::SimOutlook& outlook = m_run.sim().outlook;
  if (outlook.activeExplorer->currentFolder != folder) {
    (void)outlook.RaiseBeforeFolderSwitch(folder);
    outlook.activeExplorer->currentFolder = folder;
    outlook.activeExplorer->selection.clear();
    outlook.RaiseFolderSwitch();
  }
  // Outlook selects a message of the folder it shows.
  outlook.activeExplorer->selection.clear();
  if (mail) {
    outlook.activeExplorer->selection.push_back(mail);
  } else if (!folder->items.empty()) {
    outlook.activeExplorer->selection.push_back(folder->items.front());
  }
  outlook.RaiseSelectionChange();
}

void DisplaySession::Select(const Simulation::Message& message) {
  SwitchTo(message.folder, message.mail);
  Record(WideToUtf8(message.name), "reading pane", m_run.reading_pane().body);
}

bool DisplaySession::Run(const host::sim::SessionStep& step, std::wstring* error) {
  host::sim::SimOutlook& outlook = m_run.sim().outlook;
  if (step.action == L"select") {
    for (const Simulation::Message& message : m_run.ReceivedMessages()) {
      if (message.name == step.argument) {
        Select(message);
        return true;
      }
    }
    *error = L"no received message " + step.argument;
    return false;
  }
  if (step.action == L"switch") {
    for (const auto& folder : outlook.folders) {
      if (folder->name == step.argument) {
        SwitchTo(folder, nullptr);
        Record("switch to " + WideToUtf8(folder->name), "reading pane", m_run.reading_pane().body);
        return true;
      }
    }
    *error = L"no folder " + step.argument;
    return false;
  }
  if (step.action == L"open") {
    Open(step.argument);
  } else if (step.action == L"close") {
    Close(step.argument);
  } else if (step.action == L"zoom") {
    Zoom(step.argument == L"in");
  } else if (step.action == L"helper") {
    Helper(step.argument == L"activate");
  }
  return true;
}

void DisplaySession::Open(const std::wstring& name) {
  host::sim::SimHost& sim = m_run.sim();
  Inspector opened;
  opened.windows = host::sim::BuildInspectorWindow(sim.windows, host::sim::SimInspectorBody::kWord);
  opened.state = sim.outlook.OpenInspector(sim.outlook.FindMail(host::sim::EntryIdForName(name)));
  opened.state->window = opened.windows.top;
  sim.outlook.activeInspector = opened.state;
  sim.outlook.activeWindow = opened.windows.top;
  m_inspectors[name] = opened;
  m_openOrder.push_back(name);
  sim.outlook.RaiseNewInspector(opened.state);
  Record("open " + WideToUtf8(name), "inspector", opened.windows.body);
}

void DisplaySession::Close(const std::wstring& name) {
  host::sim::SimHost& sim = m_run.sim();
  auto found = m_inspectors.find(name);
  if (found == m_inspectors.end())
    return;
  sim.outlook.RaiseInspectorClose(found->second.state);
  (void)sim.ui.DestroyWindow(found->second.windows.top);
  m_inspectors.erase(found);
  std::erase(m_openOrder, name);
  sim.outlook.activeInspector =
      m_openOrder.empty() ? nullptr : m_inspectors[m_openOrder.back()].state;
  sim.outlook.activeWindow =
      m_openOrder.empty() ? m_run.explorer_window() : m_inspectors[m_openOrder.back()].windows.top;
  Record("close " + WideToUtf8(name), "inspector", 0);
}

host::WindowHandle DisplaySession::BrowserInView() {
  host::sim::SimHost& sim = m_run.sim();
  const host::WindowHandle body = m_openOrder.empty()
                                      ? m_run.reading_pane().bodyHost
                                      : m_inspectors[m_openOrder.back()].windows.bodyHost;
  for (host::WindowHandle child : sim.windows.Children(body)) {
    if (sim.windows.Find(child)->className == host::sim::kSimBrowserHostClass &&
        sim.windows.IsVisible(child)) {
      return child;
    }
  }
  return 0;
}

void DisplaySession::Zoom(bool in) {
  host::sim::SimHost& sim = m_run.sim();
  const host::WindowHandle browser = BrowserInView();
  std::shared_ptr<host::sim::SimBrowserControl> control = sim.browsers.ControlOf(browser);
  if (control) {
    sim.windows.focus = control->focusWindow;
    sim.input.keysDown.insert(kVkControl);
    (void)sim.input.TypeKey(in ? kVkAdd : kVkSubtract);
    const host::Rect rect = sim.windows.ScreenRect(browser).value_or(host::Rect{});
    (void)sim.input.Mouse(host::kWmMouseWheel, rect.left + rect.width() / 2,
                          rect.top + rect.height() / 2, in ? kWheelNotch : -kWheelNotch);
    sim.input.keysDown.erase(kVkControl);
  }
  Record(in ? "zoom in" : "zoom out", ViewOf(browser), 0);
}

void DisplaySession::Helper(bool activate) {
  host::sim::SimHost& sim = m_run.sim();
  const host::WindowHandle browser = BrowserInView();
  if (std::shared_ptr<host::sim::SimBrowserControl> control = sim.browsers.ControlOf(browser))
    sim.windows.focus = control->focusWindow;
  if (activate) {
    sim.browsers.SendActivate();
  } else {
    sim.browsers.SendCancel();
  }
  const host::WindowHandle body = m_openOrder.empty()
                                      ? m_run.reading_pane().body
                                      : m_inspectors[m_openOrder.back()].windows.body;
  Record(activate ? "helper asks for the active content" : "helper gives up (cancel)",
         ViewOf(browser), body);
}

std::string DisplaySession::ViewOf(host::WindowHandle browserWindow) {
  if (browserWindow == 0)
    return "reading pane";
  const host::WindowHandle root = m_run.sim().windows.Root(browserWindow);
  return root == m_run.explorer_window() ? "reading pane" : "inspector";
}

void DisplaySession::Record(const std::string& step, const std::string& view,
                            host::WindowHandle body) {
  host::sim::SimHost& sim = m_run.sim();
  sim.ui.Advance(kStepMs);
  std::vector<std::string> parts;
  bool newPage = false;
  for (const auto& helper : sim.browsers.helpers) {
    const size_t pages = PagesOf(*helper);
    size_t& seen = m_pagesSeen[helper.get()];
    if (pages <= seen)
      continue;
    seen = pages;
    newPage = true;
    const auto& info = helper->messageInfo;
    parts.push_back(ViewOf(helper->siteWindow) +
                    WideToUtf8(Format(L": active content, page of %u characters; helper told %s, "
                                      L"\"%s\", %s, %s, %s",
                                      static_cast<unsigned>(helper->page.size()), info[0], info[1],
                                      NameOfEntryId(info[2]), info[3], info[4])));
    if (m_pagesDir) {
      char prefix[16];
      std::snprintf(prefix, sizeof prefix, "%02d-", ++m_pagesSaved);
      std::ofstream out(*m_pagesDir / (prefix + FileNamePart(step) + ".html"), std::ios::binary);
      out << WideToUtf8(helper->page);
    }
  }
  if (!newPage && body != 0) {
    parts.push_back(view + (sim.windows.IsVisible(body) ? ": Outlook's view" : ": active content"));
  }
  for (const auto& control : sim.browsers.controls) {
    size_t& seen = m_zoomsSeen[control.get()];
    // Each start of active content applies the screen's zoom; only the zoom steps change it.
    if (step.rfind("zoom", 0) == 0 && control->zooms.size() > seen) {
      std::string zooms;
      for (size_t i = seen == 0 ? 0 : seen - 1; i < control->zooms.size(); ++i)
        zooms += (zooms.empty() ? "" : " -> ") + std::to_string(control->zooms[i]);
      parts.push_back(ViewOf(control->window) + " zoom " + zooms);
    }
    seen = control->zooms.size();
  }
  for (size_t i = m_noticesSeen; i < sim.windows.messageBoxes.size(); ++i) {
    parts.push_back("offline notice \"" + WideToUtf8(sim.windows.messageBoxes[i].caption) + "\"");
  }
  m_noticesSeen = sim.windows.messageBoxes.size();
  // A browser window without a parent is one detached for destruction a little later.
  for (const auto& control : sim.browsers.controls) {
    const auto* window = sim.windows.Find(control->window);
    if (window != nullptr && window->parent == 0 && m_detachedSeen.insert(control->window).second)
      parts.push_back(view + ": browser window detached, destroyed 5 s later");
  }
  std::string line;
  for (const std::string& part : parts)
    line += (line.empty() ? "" : "; ") + part;
  m_lines.push_back(
      WideToUtf8(Format(L"  %-42s %s", step, line.empty() ? std::string("-") : line)));
}

}  // namespace tp::tool
