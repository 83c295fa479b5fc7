// The document host UI handler.
#include "host/win32/browser/ui_handler.h"

#include <new>

namespace tp::host::win32 {

HRESULT AnswerHostInfo(DOCHOSTUIINFO* info) {
  if (info == nullptr)
    return E_POINTER;
  info->dwFlags = DOCHOSTUIFLAG_NO3DBORDER;
  return S_OK;
}

ComPtr<InstalledUiHandler> InstalledUiHandler::Create(ComPtr<IDocHostUIHandler> fallback) {
  return ComPtr<InstalledUiHandler>::Adopt(new (std::nothrow)
                                               InstalledUiHandler(std::move(fallback)));
}

void* InstalledUiHandler::FindInterface(REFIID iid) {
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDocHostUIHandler))
    return static_cast<IDocHostUIHandler*>(this);
  return nullptr;
}

STDMETHODIMP InstalledUiHandler::ShowContextMenu(DWORD, POINT*, IUnknown*, IDispatch*) {
  return E_NOTIMPL;  // the control shows its own menu
}

STDMETHODIMP InstalledUiHandler::GetHostInfo(DOCHOSTUIINFO* info) {
  return AnswerHostInfo(info);
}

STDMETHODIMP InstalledUiHandler::ShowUI(DWORD id, IOleInPlaceActiveObject* active,
                                        IOleCommandTarget* target, IOleInPlaceFrame* frame,
                                        IOleInPlaceUIWindow* document) {
  if (!m_fallback)
    return E_NOTIMPL;
  return m_fallback->ShowUI(id, active, target, frame, document);
}

STDMETHODIMP InstalledUiHandler::HideUI() {
  if (!m_fallback)
    return E_NOTIMPL;
  return m_fallback->HideUI();
}

STDMETHODIMP InstalledUiHandler::GetOptionKeyPath(LPOLESTR* key, DWORD) {
  return NoObject(key);
}

STDMETHODIMP InstalledUiHandler::GetDropTarget(IDropTarget*, IDropTarget** target) {
  return NoObject(target);
}

STDMETHODIMP InstalledUiHandler::GetExternal(IDispatch** external) {
  return NoObject(external);
}

STDMETHODIMP InstalledUiHandler::TranslateUrl(DWORD, LPWSTR, LPWSTR* translated) {
  return NoObject(translated);
}

STDMETHODIMP InstalledUiHandler::FilterDataObject(IDataObject*, IDataObject** filtered) {
  return NoObject(filtered);
}

}  // namespace tp::host::win32
