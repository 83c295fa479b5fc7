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
    : run_(run), pagesDir_(std::move(pagesDir)) {
  if (pagesDir_)
    std::filesystem::create_directories(*pagesDir_);
}

void DisplaySession::SwitchTo(const std::shared_ptr<host::sim::SimFolder>& folder,
                              const std::shared_ptr<host::sim::SimMail>& mail) {
  host::sim::SimOutlook& outlook = run_.sim().outlook;
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
  Record(WideToUtf8(message.name), "reading pane", run_.reading_pane().body);
}

bool DisplaySession::Run(const host::sim::SessionStep& step, std::wstring* error) {
  host::sim::SimOutlook& outlook = run_.sim().outlook;
  if (step.action == L"select") {
    for (const Simulation::Message& message : run_.ReceivedMessages()) {
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
        Record("switch to " + WideToUtf8(folder->name), "reading pane", run_.reading_pane().body);
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
  host::sim::SimHost& sim = run_.sim();
  Inspector opened;
  opened.windows = host::sim::BuildInspectorWindow(sim.windows, host::sim::SimInspectorBody::kWord);
  opened.state = sim.outlook.OpenInspector(sim.outlook.FindMail(host::sim::EntryIdForName(name)));
  opened.state->window = opened.windows.top;
  sim.outlook.activeInspector = opened.state;
  sim.outlook.activeWindow = opened.windows.top;
  inspectors_[name] = opened;
  openOrder_.push_back(name);
  sim.outlook.RaiseNewInspector(opened.state);
  Record("open " + WideToUtf8(name), "inspector", opened.windows.body);
}

void DisplaySession::Close(const std::wstring& name) {
  host::sim::SimHost& sim = run_.sim();
  auto found = inspectors_.find(name);
  if (found == inspectors_.end())
    return;
  sim.outlook.RaiseInspectorClose(found->second.state);
  (void)sim.ui.DestroyWindow(found->second.windows.top);
  inspectors_.erase(found);
  std::erase(openOrder_, name);
  sim.outlook.activeInspector = openOrder_.empty() ? nullptr : inspectors_[openOrder_.back()].state;
  sim.outlook.activeWindow =
      openOrder_.empty() ? run_.explorer_window() : inspectors_[openOrder_.back()].windows.top;
  Record("close " + WideToUtf8(name), "inspector", 0);
}

host::WindowHandle DisplaySession::BrowserInView() {
  host::sim::SimHost& sim = run_.sim();
  const host::WindowHandle body = openOrder_.empty()
                                      ? run_.reading_pane().bodyHost
                                      : inspectors_[openOrder_.back()].windows.bodyHost;
  for (host::WindowHandle child : sim.windows.Children(body)) {
    if (sim.windows.Find(child)->className == host::sim::kSimBrowserHostClass &&
        sim.windows.IsVisible(child)) {
      return child;
    }
  }
  return 0;
}

void DisplaySession::Zoom(bool in) {
  host::sim::SimHost& sim = run_.sim();
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
  host::sim::SimHost& sim = run_.sim();
  const host::WindowHandle browser = BrowserInView();
  if (std::shared_ptr<host::sim::SimBrowserControl> control = sim.browsers.ControlOf(browser))
    sim.windows.focus = control->focusWindow;
  if (activate) {
    sim.browsers.SendActivate();
  } else {
    sim.browsers.SendCancel();
  }
  const host::WindowHandle body =
      openOrder_.empty() ? run_.reading_pane().body : inspectors_[openOrder_.back()].windows.body;
  Record(activate ? "helper asks for the active content" : "helper gives up (cancel)",
         ViewOf(browser), body);
}

std::string DisplaySession::ViewOf(host::WindowHandle browserWindow) {
  if (browserWindow == 0)
    return "reading pane";
  const host::WindowHandle root = run_.sim().windows.Root(browserWindow);
  return root == run_.explorer_window() ? "reading pane" : "inspector";
}

void DisplaySession::Record(const std::string& step, const std::string& view,
                            host::WindowHandle body) {
  host::sim::SimHost& sim = run_.sim();
  sim.ui.Advance(kStepMs);
  std::vector<std::string> parts;
  bool newPage = false;
  for (const auto& helper : sim.browsers.helpers) {
    const size_t pages = PagesOf(*helper);
    size_t& seen = pagesSeen_[helper.get()];
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
    if (pagesDir_) {
      char prefix[16];
      std::snprintf(prefix, sizeof prefix, "%02d-", ++pagesSaved_);
      std::ofstream out(*pagesDir_ / (prefix + FileNamePart(step) + ".html"), std::ios::binary);
      out << WideToUtf8(helper->page);
    }
  }
  if (!newPage && body != 0) {
    parts.push_back(view + (sim.windows.IsVisible(body) ? ": Outlook's view" : ": active content"));
  }
  for (const auto& control : sim.browsers.controls) {
    size_t& seen = zoomsSeen_[control.get()];
    // Each start of active content applies the screen's zoom; only the zoom steps change it.
    if (step.rfind("zoom", 0) == 0 && control->zooms.size() > seen) {
      std::string zooms;
      for (size_t i = seen == 0 ? 0 : seen - 1; i < control->zooms.size(); ++i)
        zooms += (zooms.empty() ? "" : " -> ") + std::to_string(control->zooms[i]);
      parts.push_back(ViewOf(control->window) + " zoom " + zooms);
    }
    seen = control->zooms.size();
  }
  for (size_t i = noticesSeen_; i < sim.windows.messageBoxes.size(); ++i) {
    parts.push_back("offline notice \"" + WideToUtf8(sim.windows.messageBoxes[i].caption) + "\"");
  }
  noticesSeen_ = sim.windows.messageBoxes.size();
  // A browser window without a parent is one detached for destruction a little later.
  for (const auto& control : sim.browsers.controls) {
    const auto* window = sim.windows.Find(control->window);
    if (window != nullptr && window->parent == 0 && detachedSeen_.insert(control->window).second)
      parts.push_back(view + ": browser window detached, destroyed 5 s later");
  }
  std::string line;
  for (const std::string& part : parts)
    line += (line.empty() ? "" : "; ") + part;
  lines_.push_back(WideToUtf8(Format(L"  %-42s %s", step, line.empty() ? std::string("-") : line)));
}

}  // namespace tp::tool
