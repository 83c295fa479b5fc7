// Dispatch event sinks.
#include "host/win32/dispatch_event_sink.h"

#include <new>

namespace tp::host::win32 {

const VARIANT* InvokeArgument(const DISPPARAMS& parameters, UINT index) {
  if (parameters.rgvarg == nullptr || index >= parameters.cArgs)
    return nullptr;
  return &parameters.rgvarg[parameters.cArgs - 1 - index];
}

ComPtr<DispatchEventSink> DispatchEventSink::Create(const IID& diid, DispatchEventRouter* router) {
  return ComPtr<DispatchEventSink>::Adopt(new (std::nothrow) DispatchEventSink(diid, router));
}

void* DispatchEventSink::FindInterface(REFIID iid) {
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, m_diid)) {
    return static_cast<IDispatch*>(this);
  }
  return nullptr;
}

HRESULT DispatchEventSink::Advise(IUnknown* source) {
  if (m_cookie != kNotAdvised)
    return E_FAIL;
  if (source == nullptr)
    return E_POINTER;
  ComPtr<IConnectionPointContainer> container;
  HRESULT result = source->QueryInterface(IID_IConnectionPointContainer, container.ReceiveVoid());
  if (FAILED(result))
    return result;
  ComPtr<IConnectionPoint> point;
  result = container->FindConnectionPoint(m_diid, point.Receive());
  if (FAILED(result))
    return result;
  if (!point)
    return E_POINTER;
  DWORD cookie = kNotAdvised;
  result = point->Advise(static_cast<IDispatch*>(this), &cookie);
  if (FAILED(result))
    return result;
  m_point = point;
  m_cookie = cookie;
  return S_OK;
}

HRESULT DispatchEventSink::Unadvise() {
  if (m_cookie == kNotAdvised || !m_point)
    return CONNECT_E_NOCONNECTION;
  const HRESULT result = m_point->Unadvise(m_cookie);
  m_point.Reset();
  m_cookie = kNotAdvised;
  return result;
}

STDMETHODIMP DispatchEventSink::GetTypeInfoCount(UINT* count) {
  if (count == nullptr)
    return E_POINTER;
  *count = 0;
  return S_OK;
}

STDMETHODIMP DispatchEventSink::GetTypeInfo(UINT /*index*/, LCID /*locale*/, ITypeInfo** info) {
  if (info != nullptr)
    *info = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP DispatchEventSink::GetIDsOfNames(REFIID /*iid*/, LPOLESTR* /*names*/, UINT /*count*/,
                                              LCID /*locale*/, DISPID* /*ids*/) {
  return E_NOTIMPL;
}

STDMETHODIMP DispatchEventSink::Invoke(DISPID id, REFIID /*iid*/, LCID /*locale*/, WORD /*flags*/,
                                       DISPPARAMS* parameters, VARIANT* /*result*/,
                                       EXCEPINFO* /*exception*/, UINT* /*argumentError*/) {
  try {
    if (m_router == nullptr)
      return S_OK;
    // A handler may unadvise this sink (Quit does); stay alive until the call returns.
    ComPtr<DispatchEventSink> keepAlive(this);
    const DISPPARAMS none{nullptr, nullptr, 0, 0};
    return m_router->OnEvent(id, parameters != nullptr ? *parameters : none);
  } catch (...) {
    return E_UNEXPECTED;
  }
}

}  // namespace tp::host::win32
