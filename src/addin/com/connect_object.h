// The Connect COM object that Outlook creates: IDispatch, _IDTExtensibility2 and
// _FormRegionStartup (early and late bound), IConnect and ISupportErrorInfo, forwarding to the
// add-in object CConnect. No C++ exception leaves a method that Outlook calls.
#pragma once

#include <memory>

#include "addin/com/addin_interfaces.h"
#include "host/win32/com_object.h"

namespace tp {
class CConnect;
}

namespace tp::addin {

class ConnectObject final : public host::win32::ComObject<ConnectObject, IDTExtensibility2,
                                                          FormRegionStartup, ISupportErrorInfo> {
 public:
  // The class factory's creation function: installs the Windows host (first creation in the
  // process), makes the CConnect and queries the new object for `iid`.
  static HRESULT Create(REFIID iid, void** object);

  void* FindInterface(REFIID iid);

  // IDispatch, shared by both dual interfaces: the five methods of _IDTExtensibility2 under
  // DISPIDs 1 to 5 and the four of _FormRegionStartup under Outlook's DISPIDs.
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

  // _FormRegionStartup. The storage and the show hook are not implemented; the manifest and
  // the icon do not depend on the locale, nor the icon on its kind.
  STDMETHODIMP GetFormRegionStorage(BSTR formRegionName, IDispatch* item, long locale, int mode,
                                    int size, VARIANT* storage) override;
  STDMETHODIMP BeforeFormRegionShow(IDispatch* formRegion) override;
  // E_INVALIDARG without a place for the manifest.
  STDMETHODIMP GetFormRegionManifest(BSTR formRegionName, long locale, VARIANT* manifest) override;
  // S_OK with the result untouched when the sender has no icon yet; E_POINTER when there is a
  // picture but no place for it.
  STDMETHODIMP GetFormRegionIcon(BSTR formRegionName, long locale, int icon,
                                 VARIANT* result) override;

  // ISupportErrorInfo: S_OK for IConnect only.
  STDMETHODIMP InterfaceSupportsErrorInfo(REFIID iid) override;

 private:
  explicit ConnectObject(std::unique_ptr<CConnect> connect);
  ~ConnectObject() override;

  HRESULT InvokeMethod(DISPID id, const DISPPARAMS& parameters, VARIANT* result);

  std::unique_ptr<CConnect> m_connect;
};

}  // namespace tp::addin
