// The control-hosting window.
#include "host/win32/browser/browser_host_window.h"

#include <exdisp.h>

#include <atomic>
#include <new>
#include <string>

#include "host/win32/browser/browser_site.h"
#include "host/win32/module_instance.h"
#include "host/win32/scoped_bstr.h"

namespace tp::host::win32 {
namespace {

std::atomic<bool> g_registered{false};

// What a host window keeps, in its GWLP_USERDATA.
struct HostedControl {
  ComPtr<IOleObject> object;
  ComPtr<BrowserSite> site;
};

HostedControl* StateOf(HWND window) {
  return reinterpret_cast<HostedControl*>(::GetWindowLongPtrW(window, GWLP_USERDATA));
}

// The class id the window text names, and for the WebBrowser control the address to open.
bool ControlNamed(const wchar_t* text, CLSID* clsid, std::wstring* url) {
  const std::wstring name = text != nullptr ? text : L"";
  if (name.empty())
    return false;
  if (name.front() == L'{')
    return SUCCEEDED(::CLSIDFromString(name.c_str(), clsid));
  if (name.find(L':') != std::wstring::npos) {
    *clsid = CLSID_WebBrowser;
    *url = name;
    return true;
  }
  return SUCCEEDED(::CLSIDFromProgID(name.c_str(), clsid));
}

void CreateControl(HWND window, const wchar_t* text, HostedControl& hosted) {
  CLSID clsid{};
  std::wstring url;
  if (!ControlNamed(text, &clsid, &url))
    return;
  ComPtr<IOleObject> object;
  if (FAILED(::CoCreateInstance(clsid, nullptr, CLSCTX_INPROC_SERVER, IID_IOleObject,
                                object.ReceiveVoid()))) {
    return;
  }
  ComPtr<BrowserSite> site = BrowserSite::Create(window);
  if (!site)
    return;
  if (FAILED(object->SetClientSite(static_cast<IOleClientSite*>(site.get()))))
    return;
  ComPtr<IPersistStreamInit> persist;
  if (SUCCEEDED(object.As(IID_IPersistStreamInit, &persist)))
    (void)persist->InitNew();
  RECT area{};
  ::GetClientRect(window, &area);
  if (FAILED(object->DoVerb(OLEIVERB_INPLACEACTIVATE, nullptr,
                            static_cast<IOleClientSite*>(site.get()), 0, window, &area))) {
    (void)object->SetClientSite(nullptr);
    site->Detach();
    return;
  }
  hosted.object = object;
  hosted.site = site;
  ComPtr<IWebBrowser2> browser;
  if (!url.empty() && SUCCEEDED(object.As(IID_IWebBrowser2, &browser))) {
    ScopedBstr address(url);
    VARIANT empty;
    ::VariantInit(&empty);
    (void)browser->Navigate(address.get(), &empty, &empty, &empty, &empty);
  }
}

void CloseControl(HostedControl& hosted) {
  if (hosted.object) {
    ComPtr<IOleInPlaceObject> inPlace;
    if (SUCCEEDED(hosted.object.As(IID_IOleInPlaceObject, &inPlace)))
      (void)inPlace->InPlaceDeactivate();
    (void)hosted.object->Close(OLECLOSE_NOSAVE);
    (void)hosted.object->SetClientSite(nullptr);
    hosted.object.Reset();
  }
  if (hosted.site) {
    hosted.site->Detach();
    hosted.site.Reset();
  }
}

void FitControl(HWND window, HostedControl& hosted) {
  ComPtr<IOleInPlaceObject> inPlace;
  if (!hosted.object || FAILED(hosted.object.As(IID_IOleInPlaceObject, &inPlace)))
    return;
  RECT area{};
  ::GetClientRect(window, &area);
  (void)inPlace->SetObjectRects(&area, &area);
}

LRESULT CALLBACK HostWindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  try {
    switch (message) {
      case WM_CREATE: {
        auto* hosted = new (std::nothrow) HostedControl;
        if (hosted == nullptr)
          return -1;
        ::SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(hosted));
        const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        CreateControl(window, create != nullptr ? create->lpszName : nullptr, *hosted);
        return 0;
      }
      case WM_SIZE:
        if (HostedControl* hosted = StateOf(window))
          FitControl(window, *hosted);
        return 0;
      case WM_SETFOCUS:
        if (HWND child = ::GetWindow(window, GW_CHILD))
          ::SetFocus(child);
        return 0;
      case WM_DESTROY:
        if (HostedControl* hosted = StateOf(window))
          CloseControl(*hosted);
        break;
      case WM_NCDESTROY:
        delete StateOf(window);
        ::SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        break;
      default:
        break;
    }
  } catch (...) {
  }
  return ::DefWindowProcW(window, message, wParam, lParam);
}

}  // namespace

bool RegisterBrowserHostClass() {
  if (g_registered.load())
    return true;
  WNDCLASSEXW windowClass{};
  windowClass.cbSize = sizeof windowClass;
  windowClass.lpfnWndProc = &HostWindowProc;
  windowClass.hInstance = ModuleInstance();
  windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
  windowClass.lpszClassName = kBrowserHostClass;
  if (::RegisterClassExW(&windowClass) == 0 && ::GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
    return false;
  g_registered.store(true);
  return true;
}

void UnregisterBrowserHostClass() {
  if (g_registered.exchange(false))
    ::UnregisterClassW(kBrowserHostClass, ModuleInstance());
}

ComPtr<IUnknown> ControlOfHostWindow(HWND window) {
  wchar_t className[64] = {};
  if (::GetClassNameW(window, className, 64) == 0 || std::wstring(className) != kBrowserHostClass) {
    return nullptr;
  }
  HostedControl* hosted = StateOf(window);
  if (hosted == nullptr || !hosted->object)
    return nullptr;
  ComPtr<IUnknown> control;
  (void)hosted->object.As(IID_IUnknown, &control);
  return control;
}

}  // namespace tp::host::win32
