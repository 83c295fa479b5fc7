// The Connect COM object that Outlook creates: IDispatch and _IDTExtensibility2 (early and
// late bound), IConnect and ISupportErrorInfo, forwarding to the add-in object CConnect. No
// C++ exception leaves a method that Outlook calls.
#pragma once

#include <memory>

#include "addin/com/addin_interfaces.h"
#include "host/win32/com_object.h"

namespace tp {
class CConnect;
}

namespace tp::addin {

class ConnectObject final
    : public host::win32::ComObject<ConnectObject, IDTExtensibility2, ISupportErrorInfo> {
 public:
  // The class factory's creation function: installs the Windows host (first creation in the
  // process), makes the CConnect and queries the new object for `iid`.
  static HRESULT Create(REFIID iid, void** object);

  void* FindInterface(REFIID iid);

  // IDispatch: the five methods of _IDTExtensibility2 under DISPIDs 1 to 5.
  STDMETHODIMP GetTypeInfoCount(UINT* count) override;
  STDMETHODIMP GetTypeInfo(UINT index, LCID locale, ITypeInfo** info) override;
  STDMETHODIMP GetIDsOfNames(REFIID iid, LPOLESTR* names, UINT count, LCID locale,
                             DISPID* ids) override;
  STDMETHODIMP Invoke(DISPID id, REFIID iid, LCID locale, WORD flags, DISPPARAMS* parameters,
                      VARIANT* result, EXCEPINFO* exception, UINT* argumentError) override;

  // _IDTExtensibility2.
  STDMETHODIMP OnConnection(IDispatch* application, int connectMode, IDispatch* addInInstance,
                            SAFEARRAY** custom) override;
  STDMETHODIMP OnDisconnection(int removeMode, SAFEARRAY** custom) override;
  STDMETHODIMP OnAddInsUpdate(SAFEARRAY** custom) override;
  STDMETHODIMP OnStartupComplete(SAFEARRAY** custom) override;
  STDMETHODIMP OnBeginShutdown(SAFEARRAY** custom) override;

  // ISupportErrorInfo: S_OK for IConnect only.
  STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override;

 private:
  explicit ConnectObject(std::unique_ptr<CConnect> connect);
  ~ConnectObject() override;

  HRESULT InvokeMethod(DISPID id, const DISPPARAMS& parameters);

  std::unique_ptr<CConnect> connect_;
};

}  // namespace tp::addin
