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
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch) || IsEqualIID(iid, diid_)) {
    return static_cast<IDispatch*>(this);
  }
  return nullptr;
}

HRESULT DispatchEventSink::Advise(IUnknown* source) {
  if (cookie_ != kNotAdvised)
    return E_FAIL;
  if (source == nullptr)
    return E_POINTER;
  ComPtr<IConnectionPointContainer> container;
  HRESULT result = source->QueryInterface(IID_IConnectionPointContainer, container.ReceiveVoid());
  if (FAILED(result))
    return result;
  ComPtr<IConnectionPoint> point;
  result = container->FindConnectionPoint(diid_, point.Receive());
  if (FAILED(result))
    return result;
  if (!point)
    return E_POINTER;
  DWORD cookie = kNotAdvised;
  result = point->Advise(static_cast<IDispatch*>(this), &cookie);
  if (FAILED(result))
    return result;
  point_ = point;
  cookie_ = cookie;
  return S_OK;
}

HRESULT DispatchEventSink::Unadvise() {
  if (cookie_ == kNotAdvised || !point_)
    return CONNECT_E_NOCONNECTION;
  const HRESULT result = point_->Unadvise(cookie_);
  point_.Reset();
  cookie_ = kNotAdvised;
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
    if (router_ == nullptr)
      return S_OK;
    // A handler may unadvise this sink (Quit does); stay alive until the call returns.
    ComPtr<DispatchEventSink> keepAlive(this);
    const DISPPARAMS none{nullptr, nullptr, 0, 0};
    return router_->OnEvent(id, parameters != nullptr ? *parameters : none);
  } catch (...) {
    return E_UNEXPECTED;
  }
}

}  // namespace tp::host::win32
