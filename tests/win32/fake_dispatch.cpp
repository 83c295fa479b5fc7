// Fake Outlook-like COM objects.
#include "fake_dispatch.h"

#include <new>

#include "host/win32/dispatch_event_sink.h"
#include "host/win32/scoped_bstr.h"

namespace tp::testing {

DISPID FakeDispid(const std::wstring& name) {
  static std::map<std::wstring, DISPID> ids;
  auto found = ids.find(name);
  if (found != ids.end())
    return found->second;
  const DISPID id = 0x1000 + static_cast<DISPID>(ids.size());
  ids.emplace(name, id);
  return id;
}

VARIANT StringVariant(const std::wstring& text) {
  VARIANT value;
  ::VariantInit(&value);
  value.vt = VT_BSTR;
  value.bstrVal = ::SysAllocStringLen(text.data(), static_cast<UINT>(text.size()));
  return value;
}

VARIANT DispatchVariant(IDispatch* object) {
  VARIANT value;
  ::VariantInit(&value);
  value.vt = VT_DISPATCH;
  value.pdispVal = object;
  if (object != nullptr)
    object->AddRef();
  return value;
}

void SetResult(VARIANT* result, const VARIANT& value) {
  if (result == nullptr)
    return;
  ::VariantClear(result);
  ::VariantCopy(result, const_cast<VARIANT*>(&value));
}

// --- FakeConnectionPoint ------------------------------------------------------------------

ComPtr<FakeConnectionPoint> FakeConnectionPoint::Create(const IID& diid) {
  return ComPtr<FakeConnectionPoint>::Adopt(new (std::nothrow) FakeConnectionPoint(diid));
}

void* FakeConnectionPoint::FindInterface(REFIID iid) {
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IConnectionPoint)) {
    return static_cast<IConnectionPoint*>(this);
  }
  return nullptr;
}

HRESULT FakeConnectionPoint::Fire(DISPID id, std::vector<VARIANT> arguments) {
  std::vector<VARIANT> reversed(arguments.rbegin(), arguments.rend());
  DISPPARAMS parameters{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  HRESULT outcome = S_OK;
  // A sink may unadvise itself while handling the event: call a snapshot.
  const std::map<DWORD, ComPtr<IDispatch>> sinks = m_sinks;
  for (const auto& [cookie, sink] : sinks) {
    const HRESULT result = sink->Invoke(id, IID_NULL, LOCALE_USER_DEFAULT, DISPATCH_METHOD,
                                        &parameters, nullptr, nullptr, nullptr);
    if (FAILED(result))
      outcome = result;
  }
  for (VARIANT& argument : arguments)
    ::VariantClear(&argument);
  return outcome;
}

STDMETHODIMP FakeConnectionPoint::GetConnectionInterface(IID* iid) {
  if (iid == nullptr)
    return E_POINTER;
  *iid = m_diid;
  return S_OK;
}

STDMETHODIMP FakeConnectionPoint::GetConnectionPointContainer(
    IConnectionPointContainer** container) {
  if (container != nullptr)
    *container = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP FakeConnectionPoint::Advise(IUnknown* sink, DWORD* cookie) {
  if (sink == nullptr || cookie == nullptr)
    return E_POINTER;
  // Like Outlook, ask the sink for the event interface itself.
  ComPtr<IDispatch> events;
  if (FAILED(sink->QueryInterface(m_diid, events.ReceiveVoid())))
    return CONNECT_E_CANNOTCONNECT;
  *cookie = m_nextCookie++;
  m_sinks.emplace(*cookie, events);
  ++m_advisedTotal;
  return S_OK;
}

STDMETHODIMP FakeConnectionPoint::Unadvise(DWORD cookie) {
  return m_sinks.erase(cookie) != 0 ? S_OK : CONNECT_E_NOCONNECTION;
}

STDMETHODIMP FakeConnectionPoint::EnumConnections(IEnumConnections** connections) {
  if (connections != nullptr)
    *connections = nullptr;
  return E_NOTIMPL;
}

// --- FakeDispatch -------------------------------------------------------------------------

ComPtr<FakeDispatch> FakeDispatch::Create() {
  return ComPtr<FakeDispatch>::Adopt(new (std::nothrow) FakeDispatch());
}

void* FakeDispatch::FindInterface(REFIID iid) {
  if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDispatch)) {
    return static_cast<IDispatch*>(this);
  }
  for (const IID& extra : m_extraIids) {
    if (IsEqualIID(iid, extra))
      return static_cast<IDispatch*>(this);
  }
  if (IsEqualIID(iid, IID_IConnectionPointContainer) && !m_points.empty()) {
    return static_cast<IConnectionPointContainer*>(this);
  }
  if (IsEqualIID(iid, IID_IOleWindow) && m_window != nullptr) {
    return static_cast<IOleWindow*>(this);
  }
  return nullptr;
}

void FakeDispatch::Set(const std::wstring& name, Member member) {
  m_names[FakeDispid(name)] = name;
  m_members[name] = std::move(member);
}

void FakeDispatch::SetString(const std::wstring& name, const std::wstring& value) {
  Set(name, [value](const std::vector<const VARIANT*>&, VARIANT* result) {
    VARIANT text = StringVariant(value);
    SetResult(result, text);
    ::VariantClear(&text);
    return S_OK;
  });
}

void FakeDispatch::SetInt(const std::wstring& name, int32_t value) {
  Set(name, [value](const std::vector<const VARIANT*>&, VARIANT* result) {
    VARIANT number;
    ::VariantInit(&number);
    number.vt = VT_I4;
    number.lVal = value;
    SetResult(result, number);
    return S_OK;
  });
}

void FakeDispatch::SetBool(const std::wstring& name, bool value) {
  Set(name, [value](const std::vector<const VARIANT*>&, VARIANT* result) {
    VARIANT flag;
    ::VariantInit(&flag);
    flag.vt = VT_BOOL;
    flag.boolVal = value ? VARIANT_TRUE : VARIANT_FALSE;
    SetResult(result, flag);
    return S_OK;
  });
}

void FakeDispatch::SetObject(const std::wstring& name, ComPtr<IDispatch> value) {
  Set(name, [value](const std::vector<const VARIANT*>&, VARIANT* result) {
    VARIANT object = DispatchVariant(value.get());
    SetResult(result, object);
    ::VariantClear(&object);
    return S_OK;
  });
}

void FakeDispatch::SetSelf(const std::wstring& name) {
  Set(name, [this](const std::vector<const VARIANT*>&, VARIANT* result) {
    VARIANT object = DispatchVariant(static_cast<IDispatch*>(this));
    SetResult(result, object);
    ::VariantClear(&object);
    return S_OK;
  });
}

FakeConnectionPoint& FakeDispatch::AddConnectionPoint(const IID& diid) {
  m_points.emplace_back(diid, FakeConnectionPoint::Create(diid));
  return *m_points.back().second.get();
}

FakeConnectionPoint* FakeDispatch::ConnectionPoint(const IID& diid) {
  for (auto& [iid, point] : m_points) {
    if (IsEqualIID(iid, diid))
      return point.get();
  }
  return nullptr;
}

int FakeDispatch::NameLookups(const std::wstring& name) const {
  auto found = m_lookups.find(name);
  return found == m_lookups.end() ? 0 : found->second;
}

STDMETHODIMP FakeDispatch::GetTypeInfoCount(UINT* count) {
  *count = 0;
  return S_OK;
}

STDMETHODIMP FakeDispatch::GetTypeInfo(UINT, LCID, ITypeInfo** info) {
  *info = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP FakeDispatch::GetIDsOfNames(REFIID, LPOLESTR* names, UINT count, LCID, DISPID* ids) {
  if (count != 1)
    return E_INVALIDARG;
  const std::wstring name = names[0];
  ++m_lookups[name];
  if (FAILED(m_nameLookupFailure))
    return m_nameLookupFailure;
  if (m_members.count(name) == 0) {
    ids[0] = DISPID_UNKNOWN;
    return DISP_E_UNKNOWNNAME;
  }
  ids[0] = FakeDispid(name);
  return S_OK;
}

STDMETHODIMP FakeDispatch::Invoke(DISPID id, REFIID, LCID, WORD, DISPPARAMS* parameters,
                                  VARIANT* result, EXCEPINFO*, UINT*) {
  auto name = m_names.find(id);
  if (name == m_names.end())
    return DISP_E_MEMBERNOTFOUND;
  m_calls.push_back(name->second);
  std::vector<const VARIANT*> arguments;
  if (parameters != nullptr) {
    for (UINT i = 0; i < parameters->cArgs; ++i) {
      arguments.push_back(host::win32::InvokeArgument(*parameters, i));
    }
  }
  if (result != nullptr)
    ::VariantInit(result);
  // The member may replace itself (or this object's members); call a copy.
  const Member member = m_members[name->second];
  return member(arguments, result);
}

STDMETHODIMP FakeDispatch::EnumConnectionPoints(IEnumConnectionPoints** points) {
  *points = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP FakeDispatch::FindConnectionPoint(REFIID iid, IConnectionPoint** point) {
  if (point == nullptr)
    return E_POINTER;
  *point = nullptr;
  FakeConnectionPoint* found = ConnectionPoint(iid);
  if (found == nullptr)
    return CONNECT_E_NOCONNECTION;
  found->AddRef();
  *point = found;
  return S_OK;
}

STDMETHODIMP FakeDispatch::GetWindow(HWND* window) {
  if (window == nullptr)
    return E_POINTER;
  *window = m_window;
  return S_OK;
}

STDMETHODIMP FakeDispatch::ContextSensitiveHelp(BOOL) {
  return E_NOTIMPL;
}

}  // namespace tp::testing
