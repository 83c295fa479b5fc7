// The display's answers to the HTML document's host (IDocHostUIHandler): no 3-D border, the
// control's own context menu, ShowUI and HideUI passed to the document's default handler when
// there is one, E_NOTIMPL (the browser's own behaviour) for everything else. The hosting
// window's client site gives them from the start; after the first navigation of active
// content the display installs its own handler on the document (ICustomDoc::SetUIHandler).
#pragma once

#include "host/win32/com_object.h"
#include "host/win32/com_ptr.h"
#include "host/win32/win32_api.h"

// clang-format off
#include <mshtmhst.h>
// clang-format on

namespace tp::host::win32 {

// The handler the display installs on a document; `fallback` is the handler of the document's
// client site (may be null).
class InstalledUiHandler final : public ComObject<InstalledUiHandler, IDocHostUIHandler> {
 public:
  static ComPtr<InstalledUiHandler> Create(ComPtr<IDocHostUIHandler> fallback);
  void* FindInterface(REFIID iid);

  STDMETHODIMP ShowContextMenu(DWORD id, POINT* point, IUnknown* target,
                               IDispatch* object) override;
  STDMETHODIMP GetHostInfo(DOCHOSTUIINFO* info) override;
  STDMETHODIMP ShowUI(DWORD id, IOleInPlaceActiveObject* active, IOleCommandTarget* target,
                      IOleInPlaceFrame* frame, IOleInPlaceUIWindow* document) override;
  STDMETHODIMP HideUI() override;
  STDMETHODIMP UpdateUI() override { return E_NOTIMPL; }
  STDMETHODIMP EnableModeless(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP OnDocWindowActivate(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP OnFrameWindowActivate(BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP ResizeBorder(LPCRECT, IOleInPlaceUIWindow*, BOOL) override { return E_NOTIMPL; }
  STDMETHODIMP TranslateAccelerator(LPMSG, const GUID*, DWORD) override { return E_NOTIMPL; }
  STDMETHODIMP GetOptionKeyPath(LPOLESTR* key, DWORD) override;
  STDMETHODIMP GetDropTarget(IDropTarget*, IDropTarget** target) override;
  STDMETHODIMP GetExternal(IDispatch** external) override;
  STDMETHODIMP TranslateUrl(DWORD, LPWSTR, LPWSTR* translated) override;
  STDMETHODIMP FilterDataObject(IDataObject*, IDataObject** filtered) override;

 private:
  explicit InstalledUiHandler(ComPtr<IDocHostUIHandler> fallback)
      : m_fallback(std::move(fallback)) {}
  ~InstalledUiHandler() override = default;

  ComPtr<IDocHostUIHandler> m_fallback;
};

// GetHostInfo's answer: no 3-D border.
HRESULT AnswerHostInfo(DOCHOSTUIINFO* info);

// An optional out-object the host does not give: cleared, E_NOTIMPL.
template <class T>
HRESULT NoObject(T** object) {
  if (object != nullptr)
    *object = nullptr;
  return E_NOTIMPL;
}

}  // namespace tp::host::win32
