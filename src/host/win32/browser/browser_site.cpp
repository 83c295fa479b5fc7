// The hosted control's sites.
#include "host/win32/browser/browser_site.h"

#include <new>

// clang-format off
#include <olectl.h>
// clang-format on

namespace tp::host::win32 {

// --- BrowserFrame ------------------------------------------------------------------------

ComPtr<BrowserFrame> BrowserFrame::Create(HWND window) {
  return ComPtr<BrowserFrame>::Adopt(new (std::nothrow) BrowserFrame(window));
}

void* BrowserFrame::FindInterface(REFIID iid) {
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleWindow) ||
      IsEqualIID(iid, IID_IOleInPlaceUIWindow) || IsEqualIID(iid, IID_IOleInPlaceFrame)) {
    return static_cast<IOleInPlaceFrame*>(this);
  }
  return nullptr;
}

STDMETHODIMP BrowserFrame::GetWindow(HWND* window) {
  if (window == nullptr)
    return E_POINTER;
  *window = m_window;
  return S_OK;
}

STDMETHODIMP BrowserFrame::SetActiveObject(IOleInPlaceActiveObject* object, LPCOLESTR) {
  m_active = ComPtr<IOleInPlaceActiveObject>(object);
  return S_OK;
}

// --- BrowserSite -------------------------------------------------------------------------

ComPtr<BrowserSite> BrowserSite::Create(HWND window) {
  ComPtr<BrowserFrame> frame = BrowserFrame::Create(window);
  if (!frame)
    return nullptr;
  return ComPtr<BrowserSite>::Adopt(new (std::nothrow) BrowserSite(window, std::move(frame)));
}

void* BrowserSite::FindInterface(REFIID iid) {
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IOleClientSite))
    return static_cast<IOleClientSite*>(this);
  if (IsEqualIID(iid, IID_IOleWindow) || IsEqualIID(iid, IID_IOleInPlaceSite))
    return static_cast<IOleInPlaceSite*>(this);
  if (IsEqualIID(iid, IID_IDispatch))
    return static_cast<IDispatch*>(this);
  if (IsEqualIID(iid, IID_IDocHostUIHandler))
    return static_cast<IDocHostUIHandler*>(this);
  return nullptr;
}

STDMETHODIMP BrowserSite::GetMoniker(DWORD, DWORD, IMoniker** moniker) {
  return NoObject(moniker);
}

STDMETHODIMP BrowserSite::GetContainer(IOleContainer** container) {
  if (container != nullptr)
    *container = nullptr;
  return E_NOINTERFACE;
}

STDMETHODIMP BrowserSite::GetWindow(HWND* window) {
  if (window == nullptr)
    return E_POINTER;
  *window = m_window;
  return S_OK;
}

STDMETHODIMP BrowserSite::GetWindowContext(IOleInPlaceFrame** frame, IOleInPlaceUIWindow** document,
                                           LPRECT position, LPRECT clip,
                                           LPOLEINPLACEFRAMEINFO info) {
  if (frame == nullptr || document == nullptr || position == nullptr || clip == nullptr ||
      info == nullptr) {
    return E_POINTER;
  }
  *document = nullptr;
  *frame = nullptr;
  if (m_frame) {
    m_frame->AddRef();
    *frame = m_frame.get();
  }
  ::GetClientRect(m_window, position);
  *clip = *position;
  info->cb = sizeof(OLEINPLACEFRAMEINFO);
  info->fMDIApp = FALSE;
  info->hwndFrame = m_window;
  info->haccel = nullptr;
  info->cAccelEntries = 0;
  return S_OK;
}

STDMETHODIMP BrowserSite::GetTypeInfoCount(UINT* count) {
  if (count == nullptr)
    return E_POINTER;
  *count = 0;
  return S_OK;
}

STDMETHODIMP BrowserSite::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  return NoObject(info);
}

STDMETHODIMP BrowserSite::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS*, VARIANT* result,
                                 EXCEPINFO*, UINT*) {
  // The control runs in user mode, without grab handles or hatching.
  bool value = false;
  switch (id) {
    case DISPID_AMBIENT_USERMODE:
      value = true;
      break;
    case DISPID_AMBIENT_SHOWGRABHANDLES:
    case DISPID_AMBIENT_SHOWHATCHING:
      value = false;
      break;
    default:
      return DISP_E_MEMBERNOTFOUND;
  }
  if (result == nullptr)
    return E_POINTER;
  ::VariantInit(result);
  result->vt = VT_BOOL;
  result->boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
  return S_OK;
}

STDMETHODIMP BrowserSite::ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) {
  return E_NOTIMPL;  // the control shows its own menu
}

STDMETHODIMP BrowserSite::GetOptionKeyPath(LPOLESTR* key, DWORD) {
  return NoObject(key);
}

STDMETHODIMP BrowserSite::GetDropTarget(IDropTarget*, IDropTarget** target) {
  return NoObject(target);
}

STDMETHODIMP BrowserSite::GetExternal(IDispatch** external) {
  return NoObject(external);
}

STDMETHODIMP BrowserSite::TranslateUrl(DWORD, LPWSTR, LPWSTR* translated) {
  return NoObject(translated);
}

STDMETHODIMP BrowserSite::FilterDataObject(IDataObject*, IDataObject** filtered) {
  return NoObject(filtered);
}

}  // namespace tp::host::win32
