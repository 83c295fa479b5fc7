// Late-bound calls on Outlook's objects with cached DISPIDs.
#include "host/win32/outlook/dispatch_object.h"

#include <map>
#include <mutex>
#include <utility>
#include <vector>

#include "host/win32/scoped_bstr.h"

namespace tp::host::win32 {
namespace {

class DispidCache {
 public:
  HRESULT Find(IDispatch* object, OutlookKind kind, const wchar_t* member, DISPID* id) {
    const std::pair<OutlookKind, std::wstring> key(kind, member);
    {
      std::lock_guard<std::mutex> lock(m_mutex);
      auto found = m_ids.find(key);
      if (found != m_ids.end()) {
        *id = found->second;
        return S_OK;
      }
    }
    LPOLESTR name = const_cast<LPOLESTR>(member);
    const HRESULT result = object->GetIDsOfNames(IID_NULL, &name, 1, LOCALE_SYSTEM_DEFAULT, id);
    if (FAILED(result))
      return result;  // not kept: another object of the kind may know it
    std::lock_guard<std::mutex> lock(m_mutex);
    m_ids.emplace(key, *id);
    return S_OK;
  }

 private:
  std::mutex m_mutex;
  std::map<std::pair<OutlookKind, std::wstring>, DISPID> m_ids;
};

DispidCache& Cache() {
  static DispidCache cache;
  return cache;
}

}  // namespace

HRESULT DispatchObject::Call(const wchar_t* member, std::initializer_list<const VARIANT*> arguments,
                             ScopedVariant* result) const {
  if (!m_object)
    return E_POINTER;
  DISPID id = DISPID_UNKNOWN;
  HRESULT status = Cache().Find(m_object.get(), m_kind, member, &id);
  if (FAILED(status))
    return status;
  // Invoke takes the arguments last first; they stay owned by the caller.
  std::vector<VARIANT> reversed;
  reversed.reserve(arguments.size());
  for (auto argument = std::rbegin(arguments); argument != std::rend(arguments); ++argument) {
    reversed.push_back(**argument);
  }
  DISPPARAMS parameters{reversed.data(), nullptr, static_cast<UINT>(reversed.size()), 0};
  EXCEPINFO exception{};
  UINT argumentError = 0;
  status =
      m_object->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, DISPATCH_METHOD | DISPATCH_PROPERTYGET,
                       &parameters, result->Receive(), &exception, &argumentError);
  if (status == DISP_E_EXCEPTION) {
    if (exception.pfnDeferredFillIn != nullptr)
      exception.pfnDeferredFillIn(&exception);
    if (FAILED(exception.scode))
      status = exception.scode;
  }
  ::SysFreeString(exception.bstrSource);
  ::SysFreeString(exception.bstrDescription);
  ::SysFreeString(exception.bstrHelpFile);
  return status;
}

std::wstring DispatchObject::String(const wchar_t* member) const {
  ScopedVariant value;
  if (FAILED(Call(member, {}, &value)))
    return {};
  return value.AsString().value_or(std::wstring());
}

std::optional<int32_t> DispatchObject::Int(const wchar_t* member) const {
  ScopedVariant value;
  if (FAILED(Call(member, {}, &value)))
    return std::nullopt;
  return value.AsInt();
}

bool DispatchObject::Bool(const wchar_t* member) const {
  ScopedVariant value;
  if (FAILED(Call(member, {}, &value)))
    return false;
  return value.AsBool().value_or(false);
}

DispatchObject DispatchObject::Object(const wchar_t* member, OutlookKind kind,
                                      std::initializer_list<const VARIANT*> arguments) const {
  ScopedVariant value;
  if (FAILED(Call(member, arguments, &value)))
    return {};
  return DispatchObject(value.AsDispatch(), kind);
}

ComPtr<IUnknown> DispatchObject::Unknown(const wchar_t* member) const {
  ScopedVariant value;
  if (FAILED(Call(member, {}, &value)))
    return nullptr;
  return value.AsUnknown();
}

uintptr_t OleWindowOf(IUnknown* object) {
  if (object == nullptr)
    return 0;
  ComPtr<IOleWindow> window;
  if (FAILED(object->QueryInterface(IID_IOleWindow, window.ReceiveVoid())) || !window)
    return 0;
  HWND handle = nullptr;
  if (FAILED(window->GetWindow(&handle)))
    return 0;
  return ToHandleValue(handle);
}

}  // namespace tp::host::win32
