// Fake COM objects standing in for Outlook's: a scriptable IDispatch whose members answer by
// name, with connection points that fire events at advised sinks and an optional window, the
// way Outlook's objects look to the add-in.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "host/win32/com_object.h"
#include "host/win32/com_ptr.h"

namespace tp::testing {

using host::win32::ComObject;
using host::win32::ComPtr;

// The DISPID of a member name, the same for every fake object (as for every Outlook object of
// one kind), so that the adapters' DISPID cache holds across objects.
DISPID FakeDispid(const std::wstring& name);

class FakeConnectionPoint final : public ComObject<FakeConnectionPoint, IConnectionPoint> {
 public:
  static ComPtr<FakeConnectionPoint> Create(const IID& diid);
  void* FindInterface(REFIID iid);

  size_t AdviseCount() const { return m_sinks.size(); }
  int advised_total() const { return m_advisedTotal; }
  // Calls Invoke on every advised sink, arguments in declaration order; the last failure, or
  // S_OK.
  HRESULT Fire(DISPID id, std::vector<VARIANT> arguments = {});

  STDMETHODIMP GetConnectionInterface(IID* iid) override;
  STDMETHODIMP GetConnectionPointContainer(IConnectionPointContainer** container) override;
  STDMETHODIMP Advise(IUnknown* sink, DWORD* cookie) override;
  STDMETHODIMP Unadvise(DWORD cookie) override;
  STDMETHODIMP EnumConnections(IEnumConnections** connections) override;

 private:
  explicit FakeConnectionPoint(const IID& diid) : m_diid(diid) {}
  ~FakeConnectionPoint() override = default;

  IID m_diid;
  std::map<DWORD, ComPtr<IDispatch>> m_sinks;
  DWORD m_nextCookie = 0x100;
  int m_advisedTotal = 0;
};

class FakeDispatch final
    : public ComObject<FakeDispatch, IDispatch, IConnectionPointContainer, IOleWindow> {
 public:
  // Arguments in declaration order; `result` may be null.
  using Member =
      std::function<HRESULT(const std::vector<const VARIANT*>& arguments, VARIANT* result)>;

  static ComPtr<FakeDispatch> Create();
  void* FindInterface(REFIID iid);

  void Set(const std::wstring& name, Member member);
  void SetString(const std::wstring& name, const std::wstring& value);
  void SetInt(const std::wstring& name, int32_t value);
  void SetBool(const std::wstring& name, bool value);
  // An object member; null answers an empty VT_DISPATCH.
  void SetObject(const std::wstring& name, ComPtr<IDispatch> value);
  // An object member that answers this object itself (Application.Application).
  void SetSelf(const std::wstring& name);
  // A further interface id under which QueryInterface answers this IDispatch.
  void AnswerTo(const IID& iid) { m_extraIids.push_back(iid); }
  FakeConnectionPoint& AddConnectionPoint(const IID& diid);
  FakeConnectionPoint* ConnectionPoint(const IID& diid);
  void SetWindow(HWND window) { m_window = window; }
  void FailNameLookups(HRESULT result) { m_nameLookupFailure = result; }

  int NameLookups(const std::wstring& name) const;
  // The members invoked, in order.
  const std::vector<std::wstring>& calls() const { return m_calls; }

  // IDispatch.
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                             DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                      VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;
  // IConnectionPointContainer.
  STDMETHODIMP EnumConnectionPoints(IEnumConnectionPoints** points) override;
  STDMETHODIMP FindConnectionPoint(REFIID iid, IConnectionPoint** point) override;
  // IOleWindow.
  STDMETHODIMP GetWindow(HWND* window) override;
  STDMETHODIMP ContextSensitiveHelp(BOOL enter) override;

 private:
  FakeDispatch() = default;
  ~FakeDispatch() override = default;

  std::map<DISPID, std::wstring> m_names;
  std::map<std::wstring, Member> m_members;
  std::map<std::wstring, int> m_lookups;
  std::vector<std::wstring> m_calls;
  std::vector<IID> m_extraIids;
  std::vector<std::pair<IID, ComPtr<FakeConnectionPoint>>> m_points;
  HWND m_window = nullptr;
  HRESULT m_nameLookupFailure = S_OK;
};

// VARIANT values for results and event arguments; the caller owns and clears them.
VARIANT StringVariant(const std::wstring& text);
VARIANT DispatchVariant(IDispatch* object);
void SetResult(VARIANT* result, const VARIANT& value);

}  // namespace tp::testing
