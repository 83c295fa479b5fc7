// The Connect COM object.
#include "addin/com/connect_object.h"

#include <new>

#include "addin/com/windows_host.h"
#include "addin/connect.h"
#include "base/text.h"
#include "host/win32/dispatch_event_sink.h"
#include "host/win32/outlook/connection_argument.h"
#include "host/win32/scoped_bstr.h"
#include "host/win32/scoped_variant.h"
#include "host/win32/win32_pictures.h"

namespace tp::addin {
namespace {
using host::win32::ComPtr;
using host::win32::Expose;
using host::win32::InvokeArgument;
using host::win32::QueryEntry;
using host::win32::ScopedBstr;
using host::win32::ScopedVariant;

constexpr QueryEntry kInterfaces[] = {
    Expose<ConnectObject, IDTExtensibility2>(kIidDTExtensibility2),
    Expose<ConnectObject, IDTExtensibility2>(IID_IDispatch),
    Expose<ConnectObject, IDTExtensibility2>(kIidConnect),
    Expose<ConnectObject, FormRegionStartup>(kIidFormRegionStartup),
    Expose<ConnectObject, ISupportErrorInfo>(IID_ISupportErrorInfo),
};

struct Method {
  const wchar_t* name;
  DISPID id;
  UINT argumentCount;
};

constexpr Method kMethods[] = {
    {L"OnConnection", kDispidOnConnection, 4},
    {L"OnDisconnection", kDispidOnDisconnection, 2},
    {L"OnAddInsUpdate", kDispidOnAddInsUpdate, 1},
    {L"OnStartupComplete", kDispidOnStartupComplete, 1},
    {L"OnBeginShutdown", kDispidOnBeginShutdown, 1},
    {L"GetFormRegionStorage", kDispidGetFormRegionStorage, 5},
    {L"BeforeFormRegionShow", kDispidBeforeFormRegionShow, 1},
    {L"GetFormRegionManifest", kDispidGetFormRegionManifest, 2},
    {L"GetFormRegionIcon", kDispidGetFormRegionIcon, 3},
};

const Method* FindMethod(DISPID id) {
  for (const Method& method : kMethods) {
    if (method.id == id)
      return &method;
  }
  return nullptr;
}

}  // namespace

HRESULT ConnectObject::Create(REFIID iid, void** object) {
  try {
    InstallWindowsHost();
    auto connect = std::make_unique<CConnect>();
    ComPtr<ConnectObject> made =
        ComPtr<ConnectObject>::Adopt(new (std::nothrow) ConnectObject(std::move(connect)));
    if (!made)
      return E_OUTOFMEMORY;
    return made->QueryInterface(iid, object);
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

ConnectObject::ConnectObject(std::unique_ptr<CConnect> connect) : m_connect(std::move(connect)) {}

ConnectObject::~ConnectObject() {
  try {
    m_connect.reset();
  } catch (...) {
  }
}

void* ConnectObject::FindInterface(REFIID iid) {
  return host::win32::FindInTable(this, kInterfaces, iid);
}

STDMETHODIMP ConnectObject::GetTypeInfoCount(UINT* count) {
  if (count == nullptr)
    return E_POINTER;
  *count = 0;
  return S_OK;
}

STDMETHODIMP ConnectObject::GetTypeInfo(UINT /*index*/, LCID /*locale*/, ITypeInfo** info) {
  if (info != nullptr)
    *info = nullptr;
  return E_NOTIMPL;
}

STDMETHODIMP ConnectObject::GetIDsOfNames(REFIID /*iid*/, LPOLESTR* names, UINT count,
                                          LCID /*locale*/, DISPID* ids) {
  if (names == nullptr || ids == nullptr)
    return E_POINTER;
  try {
    // The first name is the method; the methods' parameters have no names to offer.
    HRESULT result = S_OK;
    for (UINT i = 0; i < count; ++i)
      ids[i] = DISPID_UNKNOWN;
    for (UINT i = 0; i < count; ++i) {
      const Method* found = nullptr;
      if (i == 0 && names[0] != nullptr) {
        for (const Method& method : kMethods) {
          if (EqualsIgnoreAsciiCase(names[0], method.name))
            found = &method;
        }
      }
      if (found != nullptr) {
        ids[i] = found->id;
      } else {
        result = DISP_E_UNKNOWNNAME;
      }
    }
    return result;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

STDMETHODIMP ConnectObject::Invoke(DISPID id, REFIID /*iid*/, LCID /*locale*/, WORD flags,
                                   DISPPARAMS* parameters, VARIANT* result, EXCEPINFO* exception,
                                   UINT* /*argumentError*/) {
  try {
    const Method* method = FindMethod(id);
    if (method == nullptr || (flags & DISPATCH_METHOD) == 0)
      return DISP_E_MEMBERNOTFOUND;
    const DISPPARAMS none{nullptr, nullptr, 0, 0};
    const DISPPARAMS& arguments = parameters != nullptr ? *parameters : none;
    if (arguments.cArgs != method->argumentCount)
      return DISP_E_BADPARAMCOUNT;
    if (arguments.cArgs != 0 && arguments.rgvarg == nullptr)
      return E_INVALIDARG;
    const HRESULT outcome = InvokeMethod(id, arguments, result);
    if (FAILED(outcome) && exception != nullptr) {
      *exception = EXCEPINFO{};
      exception->scode = outcome;
      return DISP_E_EXCEPTION;
    }
    return outcome;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

HRESULT ConnectObject::InvokeMethod(DISPID id, const DISPPARAMS& parameters, VARIANT* result) {
  // A caller that wants no result still gets the method run.
  ScopedVariant unwanted;
  VARIANT* answer = result != nullptr ? result : unwanted.Receive();
  switch (id) {
    case kDispidOnConnection: {
      const ComPtr<IDispatch> application =
          ScopedVariant::ToDispatch(*InvokeArgument(parameters, 0));
      const int mode = ScopedVariant::ToInt(*InvokeArgument(parameters, 1)).value_or(0);
      return OnConnection(application.get(), mode, nullptr, nullptr);
    }
    case kDispidOnDisconnection:
      return OnDisconnection(ScopedVariant::ToInt(*InvokeArgument(parameters, 0)).value_or(0),
                             nullptr);
    case kDispidOnAddInsUpdate:
      return OnAddInsUpdate(nullptr);
    case kDispidOnStartupComplete:
      return OnStartupComplete(nullptr);
    case kDispidOnBeginShutdown:
      return OnBeginShutdown(nullptr);
    case kDispidGetFormRegionStorage:
      return GetFormRegionStorage(nullptr, nullptr, 0, 0, 0, answer);
    case kDispidBeforeFormRegionShow:
      return BeforeFormRegionShow(nullptr);
    case kDispidGetFormRegionManifest:
    case kDispidGetFormRegionIcon: {
      const std::optional<std::wstring> name =
          ScopedVariant::ToString(*InvokeArgument(parameters, 0));
      if (!name)
        return DISP_E_TYPEMISMATCH;
      const ScopedBstr text(*name);
      if (!text)
        return E_OUTOFMEMORY;
      if (id == kDispidGetFormRegionManifest)
        return GetFormRegionManifest(text.get(), 0, answer);
      return GetFormRegionIcon(text.get(), 0, 0, answer);
    }
    default:
      return DISP_E_MEMBERNOTFOUND;
  }
}

STDMETHODIMP ConnectObject::OnConnection(IDispatch* application, int /*connectMode*/,
                                         IDispatch* /*addInInstance*/, SAFEARRAY** /*custom*/) {
  try {
    host::win32::DispatchConnectionArgument argument(application);
    return m_connect->OnConnection(argument);
  } catch (...) {
    return E_UNEXPECTED;
  }
}

STDMETHODIMP ConnectObject::OnDisconnection(int /*removeMode*/, SAFEARRAY** /*custom*/) {
  try {
    return m_connect->OnDisconnection();
  } catch (...) {
    return E_UNEXPECTED;
  }
}

STDMETHODIMP ConnectObject::OnAddInsUpdate(SAFEARRAY** /*custom*/) {
  try {
    return m_connect->OnAddInsUpdate();
  } catch (...) {
    return E_UNEXPECTED;
  }
}

STDMETHODIMP ConnectObject::OnStartupComplete(SAFEARRAY** /*custom*/) {
  try {
    return m_connect->OnStartupComplete();
  } catch (...) {
    return E_UNEXPECTED;
  }
}

STDMETHODIMP ConnectObject::OnBeginShutdown(SAFEARRAY** /*custom*/) {
  try {
    return m_connect->OnBeginShutdown();
  } catch (...) {
    return E_UNEXPECTED;
  }
}

STDMETHODIMP ConnectObject::GetFormRegionStorage(BSTR /*formRegionName*/, IDispatch* /*item*/,
                                                 long /*locale*/, int /*mode*/, int /*size*/,
                                                 VARIANT* /*storage*/) {
  return m_connect->GetFormRegionStorage();
}

STDMETHODIMP ConnectObject::BeforeFormRegionShow(IDispatch* /*formRegion*/) {
  return m_connect->BeforeFormRegionShow();
}

STDMETHODIMP ConnectObject::GetFormRegionManifest(BSTR formRegionName, long /*locale*/,
                                                  VARIANT* manifest) {
  if (manifest == nullptr)
    return E_INVALIDARG;
  try {
    ScopedBstr text(m_connect->GetFormRegionManifest(ScopedBstr::ToWide(formRegionName)));
    if (!text)
      return E_OUTOFMEMORY;
    const HRESULT cleared = ::VariantClear(manifest);
    if (FAILED(cleared))
      return cleared;
    manifest->vt = VT_BSTR;
    manifest->bstrVal = text.Take();
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

STDMETHODIMP ConnectObject::GetFormRegionIcon(BSTR formRegionName, long /*locale*/, int /*icon*/,
                                              VARIANT* result) {
  try {
    const std::unique_ptr<host::Picture> made =
        m_connect->GetFormRegionIcon(ScopedBstr::ToWide(formRegionName));
    const auto* picture = dynamic_cast<const host::win32::Win32Picture*>(made.get());
    if (picture == nullptr || !picture->picture())
      return S_OK;  // no icon yet: Outlook shows its own
    if (result == nullptr)
      return E_POINTER;
    const HRESULT cleared = ::VariantClear(result);
    if (FAILED(cleared))
      return cleared;
    ComPtr<IPictureDisp> handed = picture->picture();
    result->vt = VT_DISPATCH;
    result->pdispVal = handed.Detach();
    return S_OK;
  } catch (const std::bad_alloc&) {
    return E_OUTOFMEMORY;
  } catch (...) {
    return E_UNEXPECTED;
  }
}

STDMETHODIMP ConnectObject::InterfaceSupportsErrorInfo(REFIID iid) {
  return IsEqualIID(iid, kIidConnect) ? S_OK : S_FALSE;
}

}  // namespace tp::addin
