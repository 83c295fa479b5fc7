// Resolving OnConnection's Application argument.
#include "host/win32/outlook/connection_argument.h"

#include "host/win32/outlook/outlook_ids.h"
#include "host/win32/outlook/outlook_objects.h"
#include "host/win32/scoped_variant.h"

namespace tp::host::win32 {

HResult DispatchConnectionArgument::ResolveApplication(
    std::shared_ptr<OutlookApplication>* application, Step* failedStep) {
  *failedStep = Step::kGetIdsOfNames;
  if (!m_argument)
    return ToHResult(E_POINTER);
  wchar_t member[] = L"Application";
  LPOLESTR names[] = {member};
  DISPID id = DISPID_UNKNOWN;
  HRESULT result = m_argument->GetIDsOfNames(IID_NULL, names, 1, LOCALE_SYSTEM_DEFAULT, &id);
  if (FAILED(result))
    return ToHResult(result);

  *failedStep = Step::kInvoke;
  DISPPARAMS none{nullptr, nullptr, 0, 0};
  ScopedVariant value;
  result = m_argument->Invoke(id, IID_NULL, LOCALE_SYSTEM_DEFAULT, DISPATCH_METHOD, &none,
                              value.Receive(), nullptr, nullptr);
  if (FAILED(result))
    return ToHResult(result);
  const ComPtr<IUnknown> object = value.AsUnknown();
  ComPtr<IDispatch> outlook;
  if (!object || FAILED(object.As(kIidOutlookApplication, &outlook)) || !outlook) {
    return hr::kNoInterface;
  }
  *application = MakeApplication(DispatchObject(outlook, OutlookKind::kApplication));
  return hr::kOk;
}

}  // namespace tp::host::win32
