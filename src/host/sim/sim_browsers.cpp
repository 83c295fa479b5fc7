// The simulated WebBrowser controls and browser helper objects.
#include "host/sim/sim_browsers.h"

#include "base/format.h"

namespace tp::host::sim {
namespace {

class SimNavigation final : public BrowserNavigation {
 public:
  SimNavigation(SimBrowserControl& control, std::wstring url)
      : control_(control), url_(std::move(url)) {}
  std::wstring Url() override { return url_; }
  bool InstallUiHandler() override {
    ++control_.uiHandlerInstalls;
    return true;
  }

 private:
  SimBrowserControl& control_;
  std::wstring url_;
};

// Marks a call from a browser window for its scope.
class CallFrom {
 public:
  CallFrom(SimWindowTree& windows, WindowHandle browserWindow)
      : windows_(windows), window_(browserWindow) {
    if (window_ != 0)
      windows_.EnterCallFrom(window_);
  }
  ~CallFrom() {
    if (window_ != 0)
      windows_.LeaveCallFrom(window_);
  }
  CallFrom(const CallFrom&) = delete;
  CallFrom& operator=(const CallFrom&) = delete;

 private:
  SimWindowTree& windows_;
  WindowHandle window_;
};

class SimWebBrowser final : public WebBrowser {
 public:
  SimWebBrowser(SimBrowsers& browsers, SimUiThread& ui, std::shared_ptr<SimBrowserControl> control)
      : browsers_(browsers), ui_(ui), control_(std::move(control)) {}
  ~SimWebBrowser() override {
    if (browsers_.windows().InCallFrom(control_->window))
      browsers_.windows().releasedInCall.push_back(
          Format(L"Release control of %x", control_->window));
  }
  SimWebBrowser(const SimWebBrowser&) = delete;
  SimWebBrowser& operator=(const SimWebBrowser&) = delete;

  HResult Navigate(const std::wstring& url) override {
    control_->navigations.push_back(url);
    std::weak_ptr<SimBrowserControl> weak = control_;
    SimBrowsers& browsers = browsers_;
    ui_.Post(browsers_.navigationMs, [&browsers, weak, url] {
      if (std::shared_ptr<SimBrowserControl> control = weak.lock())
        browsers.CompleteNavigation(control, url);
    });
    return hr::kOk;
  }
  std::wstring LocationUrl() override { return control_->location; }
  HResult SetZoom(int percent) override {
    control_->zooms.push_back(percent);
    return hr::kOk;
  }
  HResult Refresh() override {
    ++control_->refreshes;
    return hr::kOk;
  }
  HResult TranslateKey(uint32_t message, uintptr_t wParam, intptr_t lParam) override {
    if (!control_->hasInPlaceObject)
      return hr::kFalse;
    control_->acceleratorsOffered.push_back(WindowMessage{0, message, wParam, lParam});
    return control_->translatedKeys.count(static_cast<uint32_t>(wParam)) != 0 ? hr::kOk
                                                                              : hr::kFalse;
  }
  HResult Advise(BrowserEvents& events) override {
    if (control_->events != nullptr)
      return hr::kFail;
    control_->events = &events;
    ++control_->advises;
    return hr::kOk;
  }
  HResult Unadvise() override {
    if (control_->events == nullptr)
      return static_cast<HResult>(0x80040200);  // CONNECT_E_NOCONNECTION
    control_->events = nullptr;
    ++control_->unadvises;
    return hr::kOk;
  }
  bool IsAdvised() const override { return control_->events != nullptr; }

  const std::shared_ptr<SimBrowserControl>& control() const { return control_; }

 private:
  SimBrowsers& browsers_;
  SimUiThread& ui_;
  std::shared_ptr<SimBrowserControl> control_;
};

class SimBrowserHelper final : public BrowserHelper {
 public:
  SimBrowserHelper(SimWindowTree& windows, std::shared_ptr<SimHelperObject> object)
      : windows_(windows), object_(std::move(object)) {}
  ~SimBrowserHelper() override {
    object_->released = true;
    if (windows_.InCallFrom(object_->browserWindow)) {
      windows_.releasedInCall.push_back(Format(L"Release helper of %x", object_->browserWindow));
    }
  }
  SimBrowserHelper(const SimBrowserHelper&) = delete;
  SimBrowserHelper& operator=(const SimBrowserHelper&) = delete;

  HResult SetHostWindow(WindowHandle window) override {
    object_->calls.push_back(Format(L"SetHostWindow %x", window));
    object_->hostWindow = window;
    return Answer(L"SetHostWindow");
  }
  HResult SetPageContent(const std::wstring& page) override {
    object_->calls.push_back(L"SetPageContent");
    object_->page = page;
    return Answer(L"SetPageContent");
  }
  HResult SetMessageInfo(const std::wstring& senderAddress, const std::wstring& subject,
                         const std::wstring& entryId, const std::wstring& account,
                         const std::wstring& provider) override {
    object_->calls.push_back(L"SetMessageInfo");
    object_->messageInfo = {senderAddress, subject, entryId, account, provider};
    return Answer(L"SetMessageInfo");
  }
  HResult SetSite(WebBrowser* browser) override {
    auto* simBrowser = dynamic_cast<SimWebBrowser*>(browser);
    object_->siteWindow = simBrowser != nullptr ? simBrowser->control()->window : 0;
    if (object_->siteWindow != 0)
      object_->browserWindow = object_->siteWindow;
    object_->calls.push_back(browser == nullptr ? std::wstring(L"SetSite null")
                                                : Format(L"SetSite %x", object_->siteWindow));
    return object_->callFailure;
  }

 private:
  // The end of a call: what the helper does inside it, then its answer. The object may be
  // released meanwhile, so nothing of this wrapper is touched afterwards.
  HResult Answer(const wchar_t* call) {
    const std::shared_ptr<SimHelperObject> object = object_;
    if (object->duringCall) {
      CallFrom inCall(windows_, object->browserWindow);
      object->duringCall(call);
    }
    return object->callFailure;
  }

  SimWindowTree& windows_;
  std::shared_ptr<SimHelperObject> object_;
};

}  // namespace

WindowHandle SimBrowsers::CreateBrowserWindow(WindowHandle parent, const Rect& rect) {
  if (failWindowCreation || parent == 0 || !windows_.Exists(parent))
    return 0;
  // WS_CHILD without WS_VISIBLE: the window starts hidden.
  const WindowHandle window =
      windows_.Create(kSimBrowserHostClass, parent, rect, false, kBlankPageUrl);
  if (windowWithoutControl)
    return window;
  // The control's own windows, down to the one that takes the keyboard focus.
  const Rect fill{0, 0, rect.width(), rect.height()};
  const WindowHandle embedding = windows_.Create(L"Shell Embedding", window, fill);
  const WindowHandle view = windows_.Create(L"Shell DocObject View", embedding, fill);
  auto control = std::make_shared<SimBrowserControl>();
  control->window = window;
  control->focusWindow = windows_.Create(L"Internet Explorer_Server", view, fill);
  controls.push_back(control);
  // The host starts the control on the page its window text names.
  SimWebBrowser(*this, ui_, control).Navigate(kBlankPageUrl);
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
  if (!windows_.Exists(window))
    return nullptr;
  std::shared_ptr<SimBrowserControl> control = ControlOf(window);
  if (!control)
    return nullptr;
  return std::make_shared<SimWebBrowser>(*this, ui_, control);
}

HResult SimBrowsers::CreateBrowserHelper(std::unique_ptr<BrowserHelper>* helper) {
  if (helperCreationFailure != hr::kOk)
    return helperCreationFailure;
  auto object = std::make_shared<SimHelperObject>();
  object->callFailure = helperCallFailure;
  object->duringCall = helperDuringCall;
  helpers.push_back(object);
  *helper = std::make_unique<SimBrowserHelper>(windows_, object);
  return hr::kOk;
}

void SimBrowsers::CompleteNavigation(const std::shared_ptr<SimBrowserControl>& control,
                                     const std::wstring& url) {
  // A control whose window is gone raises no more events.
  if (!windows_.Exists(control->window))
    return;
  control->location = url;
  if (control->events != nullptr) {
    CallFrom inCall(windows_, control->window);
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
  const uint32_t message = ui_.RegisterWindowMessage(messageName);
  const WindowHandle focus = windows_.Focus();
  CallFrom inCall(windows_, BrowserWindowAbove(focus));
  windows_.Send(focus, message);
}

WindowHandle SimBrowsers::BrowserWindowAbove(WindowHandle window) {
  for (WindowHandle at = window; at != 0;) {
    const SimWindowTree::Window* found = windows_.Find(at);
    if (found == nullptr)
      return 0;
    if (found->className == kSimBrowserHostClass)
      return at;
    at = found->parent;
  }
  return 0;
}

}  // namespace tp::host::sim
