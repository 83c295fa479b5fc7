// The simulated WebBrowser controls and browser helper objects.
#include "host/sim/sim_browsers.h"

#include "base/format.h"

namespace tp::host::sim {
namespace {

class SimNavigation final : public BrowserNavigation {
 public:
  SimNavigation(SimBrowserControl& control, std::wstring url)
      : m_control(control), m_url(std::move(url)) {}
  std::wstring Url() override { return m_url; }
  bool InstallUiHandler() override {
    ++m_control.uiHandlerInstalls;
    return true;
  }

 private:
  SimBrowserControl& m_control;
  std::wstring m_url;
};

// Marks a call from a browser window for its scope.
class CallFrom {
 public:
  CallFrom(SimWindowTree& windows, WindowHandle browserWindow)
      : m_windows(windows), m_window(browserWindow) {
    if (m_window != 0)
      m_windows.EnterCallFrom(m_window);
  }
  ~CallFrom() {
    if (m_window != 0)
      m_windows.LeaveCallFrom(m_window);
  }
  CallFrom(const CallFrom&) = delete;
  CallFrom& operator=(const CallFrom&) = delete;

 private:
  SimWindowTree& m_windows;
  WindowHandle m_window;
};

class SimWebBrowser final : public WebBrowser {
 public:
  SimWebBrowser(SimBrowsers& browsers, SimUiThread& ui, std::shared_ptr<SimBrowserControl> control)
      : m_browsers(browsers), m_ui(ui), m_control(std::move(control)) {}
  ~SimWebBrowser() override {
    if (m_browsers.windows().InCallFrom(m_control->window))
      m_browsers.windows().releasedInCall.push_back(
          Format(L"Release control of %x", m_control->window));
  }
  SimWebBrowser(const SimWebBrowser&) = delete;
  SimWebBrowser& operator=(const SimWebBrowser&) = delete;

  HResult Navigate(const std::wstring& url) override {
    m_control->navigations.push_back(url);
    std::weak_ptr<SimBrowserControl> weak = m_control;
    SimBrowsers& browsers = m_browsers;
    m_ui.Post(m_browsers.navigationMs, [&browsers, weak, url] {
      if (std::shared_ptr<SimBrowserControl> control = weak.lock())
        browsers.CompleteNavigation(control, url);
    });
    return hr::kOk;
  }
  std::wstring LocationUrl() override { return m_control->location; }
  HResult SetZoom(int percent) override {
    m_control->zooms.push_back(percent);
    return hr::kOk;
  }
  HResult Refresh() override {
    ++m_control->refreshes;
    return hr::kOk;
  }
  HResult TranslateKey(uint32_t message, uintptr_t wParam, intptr_t lParam) override {
    if (!m_control->hasInPlaceObject)
      return hr::kFalse;
    m_control->acceleratorsOffered.push_back(WindowMessage{0, message, wParam, lParam});
    return m_control->translatedKeys.count(static_cast<uint32_t>(wParam)) != 0 ? hr::kOk
                                                                               : hr::kFalse;
  }
  HResult Advise(BrowserEvents& events) override {
    if (m_control->events != nullptr)
      return hr::kFail;
    m_control->events = &events;
    ++m_control->advises;
    return hr::kOk;
  }
  HResult Unadvise() override {
    if (m_control->events == nullptr)
      return static_cast<HResult>(0x80040200);  // CONNECT_E_NOCONNECTION
    m_control->events = nullptr;
    ++m_control->unadvises;
    return hr::kOk;
  }
  bool IsAdvised() const override { return m_control->events != nullptr; }

  const std::shared_ptr<SimBrowserControl>& control() const { return m_control; }

 private:
  SimBrowsers& m_browsers;
  SimUiThread& m_ui;
  std::shared_ptr<SimBrowserControl> m_control;
};

class SimBrowserHelper final : public BrowserHelper {
 public:
  SimBrowserHelper(SimWindowTree& windows, std::shared_ptr<SimHelperObject> object)
      : m_windows(windows), m_object(std::move(object)) {}
  ~SimBrowserHelper() override {
    m_object->released = true;
    if (m_windows.InCallFrom(m_object->browserWindow)) {
      m_windows.releasedInCall.push_back(Format(L"Release helper of %x", m_object->browserWindow));
    }
  }
  SimBrowserHelper(const SimBrowserHelper&) = delete;
  SimBrowserHelper& operator=(const SimBrowserHelper&) = delete;

  HResult SetHostWindow(WindowHandle window) override {
    m_object->calls.push_back(Format(L"SetHostWindow %x", window));
    m_object->hostWindow = window;
    return Answer(L"SetHostWindow");
  }
  HResult SetPageContent(const std::wstring& page) override {
    m_object->calls.push_back(L"SetPageContent");
    m_object->page = page;
    return Answer(L"SetPageContent");
  }
  HResult SetMessageInfo(const std::wstring& senderAddress, const std::wstring& subject,
                         const std::wstring& entryId, const std::wstring& account,
                         const std::wstring& provider) override {
    m_object->calls.push_back(L"SetMessageInfo");
    m_object->messageInfo = {senderAddress, subject, entryId, account, provider};
    return Answer(L"SetMessageInfo");
  }
  HResult SetSite(WebBrowser* browser) override {
    auto* simBrowser = dynamic_cast<SimWebBrowser*>(browser);
    m_object->siteWindow = simBrowser != nullptr ? simBrowser->control()->window : 0;
    if (m_object->siteWindow != 0)
      m_object->browserWindow = m_object->siteWindow;
    m_object->calls.push_back(browser == nullptr ? std::wstring(L"SetSite null")
                                                 : Format(L"SetSite %x", m_object->siteWindow));
    return m_object->callFailure;
  }

 private:
  // The end of a call: what the helper does inside it, then its answer. The object may be
  // released meanwhile, so nothing of this wrapper is touched afterwards.
  HResult Answer(const wchar_t* call) {
    const std::shared_ptr<SimHelperObject> object = m_object;
    if (object->duringCall) {
      CallFrom inCall(m_windows, object->browserWindow);
      object->duringCall(call);
    }
    return object->callFailure;
  }

  SimWindowTree& m_windows;
  std::shared_ptr<SimHelperObject> m_object;
};

}  // namespace

WindowHandle SimBrowsers::CreateBrowserWindow(WindowHandle parent, const Rect& rect) {
  if (failWindowCreation || parent == 0 || !m_windows.Exists(parent))
    return 0;
  // WS_CHILD without WS_VISIBLE: the window starts hidden.
  const WindowHandle window =
      m_windows.Create(kSimBrowserHostClass, parent, rect, false, kBlankPageUrl);
  if (windowWithoutControl)
    return window;
  // The control's own windows, down to the one that takes the keyboard focus.
  const Rect fill{0, 0, rect.width(), rect.height()};
  const WindowHandle embedding = m_windows.Create(L"Shell Embedding", window, fill);
  const WindowHandle view = m_windows.Create(L"Shell DocObject View", embedding, fill);
  auto control = std::make_shared<SimBrowserControl>();
  control->window = window;
  control->focusWindow = m_windows.Create(L"Internet Explorer_Server", view, fill);
  controls.push_back(control);
  // The host starts the control on the page its window text names.
  SimWebBrowser(*this, m_ui, control).Navigate(kBlankPageUrl);
  return window;
}

std::shared_ptr<SimBrowserControl> SimBrowsers::ControlOf(WindowHandle window) const {
  for (const auto& control : controls) {
    if (control->window == window)
      return control;
  }
  return nullptr;
}

std::shared_ptr<WebBrowser> SimBrowsers::BrowserOf(WindowHandle window) {
  if (!m_windows.Exists(window))
    return nullptr;
  std::shared_ptr<SimBrowserControl> control = ControlOf(window);
  if (!control)
    return nullptr;
  return std::make_shared<SimWebBrowser>(*this, m_ui, control);
}

HResult SimBrowsers::CreateBrowserHelper(std::unique_ptr<BrowserHelper>* helper) {
  if (helperCreationFailure != hr::kOk)
    return helperCreationFailure;
  auto object = std::make_shared<SimHelperObject>();
  object->callFailure = helperCallFailure;
  object->duringCall = helperDuringCall;
  helpers.push_back(object);
  *helper = std::make_unique<SimBrowserHelper>(m_windows, object);
  return hr::kOk;
}

void SimBrowsers::CompleteNavigation(const std::shared_ptr<SimBrowserControl>& control,
                                     const std::wstring& url) {
  // A control whose window is gone raises no more events.
  if (!m_windows.Exists(control->window))
    return;
  control->location = url;
  if (control->events != nullptr) {
    CallFrom inCall(m_windows, control->window);
    SimNavigation navigation(*control, url);
    control->events->OnNavigateComplete2(navigation);
  }
}

void SimBrowsers::SendActivate() {
  SendToFocus(L"TP-Send Activate to Outlook");
}

void SimBrowsers::SendCancel() {
  SendToFocus(L"TP-Send Cancel to Outlook");
}

void SimBrowsers::SendToFocus(const wchar_t* messageName) {
  const uint32_t message = m_ui.RegisterWindowMessage(messageName);
  const WindowHandle focus = m_windows.Focus();
  CallFrom inCall(m_windows, BrowserWindowAbove(focus));
  m_windows.Send(focus, message);
}

WindowHandle SimBrowsers::BrowserWindowAbove(WindowHandle window) {
  for (WindowHandle at = window; at != 0;) {
    const SimWindowTree::Window* found = m_windows.Find(at);
    if (found == nullptr)
      return 0;
    if (found->className == kSimBrowserHostClass)
      return at;
    at = found->parent;
  }
  return 0;
}

}  // namespace tp::host::sim
