// A sink for one dispatch event interface of a COM event source (Outlook's application,
// explorer and inspectors): the IDispatch the source calls, advised by DIID through
// IConnectionPointContainer, keeping its cookie for the explicit unadvise. Invoke hands each
// event to a router, which reads the arguments with InvokeArgument.
#pragma once

#include "host/win32/com_object.h"
#include "host/win32/com_ptr.h"

namespace tp::host::win32 {

class DispatchEventRouter {
 public:
  // One event. Unknown DISPIDs are the router's to ignore.
  virtual HRESULT OnEvent(DISPID id, const DISPPARAMS& parameters) = 0;

 protected:
  ~DispatchEventRouter() = default;
};

// The index-th argument in declaration order (IDispatch::Invoke passes them last first);
// null when there are fewer.
const VARIANT* InvokeArgument(const DISPPARAMS& parameters, UINT index);

class DispatchEventSink final : public ComObject<DispatchEventSink, IDispatch> {
 public:
  static constexpr DWORD kNotAdvised = 0xFEFEFEFE;

  // Null when out of memory.
  static ComPtr<DispatchEventSink> Create(const IID& diid, DispatchEventRouter* router);

  // E_FAIL when already advised; otherwise the HRESULT of finding the connection point and
  // advising it.
  HRESULT Advise(IUnknown* source);
  // Unadvises the connection point it advised; the cookie is back to kNotAdvised afterwards
  // whatever the source answered. CONNECT_E_NOCONNECTION when not advised.
  HRESULT Unadvise();
  DWORD cookie() const { return m_cookie; }
  // The router is going away: later events are accepted and ignored.
  void Disconnect() { m_router = nullptr; }

  void* FindInterface(REFIID iid);

  // IDispatch.
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                             DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                      VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

 private:
  DispatchEventSink(const IID& diid, DispatchEventRouter* router)
      : m_diid(diid), m_router(router) {}
  ~DispatchEventSink() override = default;

  IID m_diid;
  DispatchEventRouter* m_router;
  ComPtr<IConnectionPoint> m_point;
  DWORD m_cookie = kNotAdvised;
};

}  // namespace tp::host::win32
