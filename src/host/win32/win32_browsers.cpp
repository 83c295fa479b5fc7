// The WebBrowser control and the browser helper object on Windows.
#include "host/win32/win32_browsers.h"

#include <exdisp.h>
#include <mshtml.h>

#include "host/win32/browser/browser_host_window.h"
#include "host/win32/browser/browser_ids.h"
#include "host/win32/browser/ui_handler.h"
#include "host/win32/dispatch_event_sink.h"
#include "host/win32/module_instance.h"
#include "host/win32/scoped_bstr.h"
#include "host/win32/scoped_variant.h"

namespace tp::host::win32 {
namespace {

constexpr DISPID kNavigateComplete2 = 252;

// One NavigateComplete2: the browser (or frame) that navigated and its address.
class Win32Navigation final : public BrowserNavigation {
 public:
  Win32Navigation(ComPtr<IDispatch> browser, std::wstring url)
      : m_browser(std::move(browser)), m_url(std::move(url)) {}

  std::wstring Url() override { return m_url; }

  bool InstallUiHandler() override {
    ComPtr<IWebBrowser2> browser;
    if (FAILED(m_browser.As(IID_IWebBrowser2, &browser)))
      return false;
    ComPtr<IDispatch> document;
    if (FAILED(browser->get_Document(document.Receive())) || !document)
      return false;
    ComPtr<IHTMLDocument2> html;
    if (FAILED(document.As(IID_IHTMLDocument2, &html)))
      return false;
    // The document's own handler is that of its client site; ours answers in its place and
    // passes ShowUI and HideUI on to it.
    ComPtr<IDocHostUIHandler> fallback;
    ComPtr<IOleObject> object;
    ComPtr<IOleClientSite> site;
    if (SUCCEEDED(document.As(IID_IOleObject, &object)) &&
        SUCCEEDED(object->GetClientSite(site.Receive())) && site) {
      (void)site.As(IID_IDocHostUIHandler, &fallback);
    }
    ComPtr<ICustomDoc> custom;
    if (FAILED(document.As(kIidCustomDoc, &custom)))
      return false;
    ComPtr<InstalledUiHandler> handler = InstalledUiHandler::Create(fallback);
    return handler && SUCCEEDED(custom->SetUIHandler(handler.get()));
  }

 private:
  ComPtr<IDispatch> m_browser;
  std::wstring m_url;
};

class Win32WebBrowser final : public WebBrowser, private DispatchEventRouter {
 public:
  Win32WebBrowser(ComPtr<IWebBrowser2> browser, ComPtr<IOleInPlaceActiveObject> inPlace)
      : m_browser(std::move(browser)), m_inPlace(std::move(inPlace)) {}
  ~Win32WebBrowser() override {
    if (m_sink) {
      m_sink->Disconnect();
      (void)m_sink->Unadvise();
    }
  }
  Win32WebBrowser(const Win32WebBrowser&) = delete;
  Win32WebBrowser& operator=(const Win32WebBrowser&) = delete;

  IWebBrowser2* get() const { return m_browser.get(); }

  HResult Navigate(const std::wstring& url) override {
    ScopedBstr address(url);
    if (!address)
      return hr::kOutOfMemory;
    VARIANT empty;
    ::VariantInit(&empty);
    return ToHResult(m_browser->Navigate(address.get(), &empty, &empty, &empty, &empty));
  }

  std::wstring LocationUrl() override {
    ScopedBstr location;
    if (FAILED(m_browser->get_LocationURL(location.Receive())))
      return {};
    return ScopedBstr::ToWide(location.get());
  }

  HResult SetZoom(int percent) override {
    ScopedVariant zoom(percent);
    VARIANT in = zoom.get();
    return ToHResult(
        m_browser->ExecWB(OLECMDID_OPTICAL_ZOOM, OLECMDEXECOPT_DODEFAULT, &in, nullptr));
  }

  HResult Refresh() override {
    return ToHResult(
        m_browser->ExecWB(OLECMDID_REFRESH, OLECMDEXECOPT_DODEFAULT, nullptr, nullptr));
  }

  HResult TranslateKey(uint32_t message, uintptr_t wParam, intptr_t lParam) override {
    if (!m_inPlace)
      return hr::kFalse;
    MSG msg{};
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    return ToHResult(m_inPlace->TranslateAccelerator(&msg));
  }

  HResult Advise(BrowserEvents& events) override {
    if (IsAdvised())
      return hr::kFail;
    if (!m_sink)
      m_sink = DispatchEventSink::Create(DIID_DWebBrowserEvents2, this);
    if (!m_sink)
      return hr::kOutOfMemory;
    m_events = &events;
    return ToHResult(m_sink->Advise(m_browser.get()));
  }

  HResult Unadvise() override {
    if (!m_sink)
      return ToHResult(CONNECT_E_NOCONNECTION);
    m_events = nullptr;
    return ToHResult(m_sink->Unadvise());
  }

  bool IsAdvised() const override {
    return m_sink && m_sink->cookie() != DispatchEventSink::kNotAdvised;
  }

 private:
  HRESULT OnEvent(DISPID id, const DISPPARAMS& parameters) override {
    if (id != kNavigateComplete2 || m_events == nullptr)
      return S_OK;
    // NavigateComplete2(IDispatch* browser, VARIANT* url).
    const VARIANT* browser = InvokeArgument(parameters, 0);
    const VARIANT* url = InvokeArgument(parameters, 1);
    Win32Navigation navigation(
        browser != nullptr ? ScopedVariant::ToDispatch(*browser) : nullptr,
        url != nullptr ? ScopedVariant::ToString(*url).value_or(std::wstring()) : std::wstring());
    m_events->OnNavigateComplete2(navigation);
    return S_OK;
  }

  ComPtr<IWebBrowser2> m_browser;
  ComPtr<IOleInPlaceActiveObject> m_inPlace;
  ComPtr<DispatchEventSink> m_sink;
  BrowserEvents* m_events = nullptr;
};

class Win32BrowserHelper final : public BrowserHelper {
 public:
  explicit Win32BrowserHelper(ComPtr<IBrowserHelper> helper) : m_helper(std::move(helper)) {}

  HResult SetHostWindow(WindowHandle window) override {
    return ToHResult(m_helper->SetHostWindow(static_cast<LONGLONG>(window)));
  }
  HResult SetPageContent(const std::wstring& page) override {
    ScopedBstr text(page);
    return ToHResult(m_helper->SetPageContent(text.get()));
  }
  HResult SetMessageInfo(const std::wstring& senderAddress, const std::wstring& subject,
                         const std::wstring& entryId, const std::wstring& account,
                         const std::wstring& provider) override {
    ScopedBstr sender(senderAddress);
    ScopedBstr title(subject);
    ScopedBstr id(entryId);
    ScopedBstr receiver(account);
    ScopedBstr name(provider);
    return ToHResult(
        m_helper->SetMessageInfo(sender.get(), title.get(), id.get(), receiver.get(), name.get()));
  }
  HResult SetSite(WebBrowser* browser) override {
    ComPtr<IObjectWithSite> withSite;
    const HRESULT found = m_helper.As(IID_IObjectWithSite, &withSite);
    if (FAILED(found))
      return ToHResult(found);
    auto* hosted = dynamic_cast<Win32WebBrowser*>(browser);
    return ToHResult(withSite->SetSite(hosted != nullptr ? hosted->get() : nullptr));
  }

 private:
  ComPtr<IBrowserHelper> m_helper;
};

}  // namespace

Win32Browsers::~Win32Browsers() {
  UnregisterBrowserHostClass();
}

bool Win32Browsers::RegisterHostClass() {
  return RegisterBrowserHostClass();
}

WindowHandle Win32Browsers::CreateBrowserWindow(WindowHandle parent, const Rect& rect) {
  if (!RegisterBrowserHostClass())
    return 0;
  return ToHandleValue(::CreateWindowExW(
      0, kBrowserHostClass, kBlankPageUrl, WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, rect.left,
      rect.top, rect.width(), rect.height(), ToWindow(parent), nullptr, ModuleInstance(), nullptr));
}

std::shared_ptr<WebBrowser> Win32Browsers::BrowserOf(WindowHandle window) {
  ComPtr<IUnknown> control = ControlOfHostWindow(ToWindow(window));
  ComPtr<IWebBrowser2> browser;
  if (!control || FAILED(control.As(IID_IWebBrowser2, &browser)))
    return nullptr;
  ComPtr<IOleInPlaceActiveObject> inPlace;
  (void)control.As(IID_IOleInPlaceActiveObject, &inPlace);
  return std::make_shared<Win32WebBrowser>(std::move(browser), std::move(inPlace));
}

HResult Win32Browsers::CreateBrowserHelper(std::unique_ptr<BrowserHelper>* helper) {
  ComPtr<IUnknown> object;
  HRESULT result = ::CoCreateInstance(kClsidBrowserHelper, nullptr, CLSCTX_ALL, IID_IUnknown,
                                      object.ReceiveVoid());
  if (FAILED(result))
    return ToHResult(result);
  result = ::OleRun(object.get());
  if (FAILED(result))
    return ToHResult(result);
  ComPtr<IBrowserHelper> browserHelper;
  result = object.As(kIidBrowserHelper, &browserHelper);
  if (FAILED(result))
    return ToHResult(result);
  *helper = std::make_unique<Win32BrowserHelper>(std::move(browserHelper));
  return hr::kOk;
}

}  // namespace tp::host::win32
